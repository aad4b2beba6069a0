// The order handler's providers against a real kav-server over the statement check's sample rows:
// searches with their bound records, lazy seats, look-ups, the customer write-back, the export
// data set and the background seat fetch.
#include "orderhandler/odrhasyncseats.h"
#include "orderhandler/odrhdataprovider.h"
#include "orderhandler/odrhorderprovider.h"
#include "orderhandler/odrhsql.h"
#include "recordingpipe.h"
#include "rpc/exceptions.h"
#include "serverfixture.h"
#include "services/dbpipe/tpdbpipe.h"

#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <sstream>
#include <thread>

using namespace kav;
using namespace kav::orderhandler;
using kav::orderhandler::test::RecordingPipe;

namespace {

std::vector<std::string> Codes(const TodrHOrderInfoList& list) {
    std::vector<std::string> codes;
    for (const auto& order : list)
        codes.push_back(order->orderCode.str());
    return codes;
}

class OrderProvidersTest : public server::e2e::ServerFixture {
protected:
    void SetUp() override {
        ServerFixture::SetUp();
        std::ifstream in(KAV_SOURCE_DIR "/tests/server/schema/sample_rows.sql");
        ASSERT_TRUE(in);
        std::string text, line;
        while (std::getline(in, line))
            if (!line.starts_with("--")) text += line + "\n";
        std::istringstream statements(text);
        std::string statement;
        while (std::getline(statements, statement, ';'))
            if (statement.find_first_not_of(" \n") != std::string::npos) setup_->Execute(statement);

        context_.SetAsString(LoginAs("demo", "demo"));
        proxy_.emplace(client_.get());
        pipe_.emplace(*proxy_);
        lookups_.emplace(*pipe_, context_);
        TOrderOutsideLookups outside;
        outside.canViewOrders = [](int) { return true; };
        outside.canCustomerToExcel = [this](int column) { return exportColumns_.contains(column); };
        outside.customerTypeName = [](const std::string& type) { return type == "3" ? "普通购票者" : ""; };
        orders_.emplace(*pipe_, context_, *lookups_, outside);
    }

    TOrderHandlerSearchCondition CallCentreOfOwnGroup() const {
        TOrderHandlerSearchCondition c;
        c.orderFrom = "2";
        c.orderStatus = "ALL";
        c.ignoreOrderFrom = c.ignoreOrderStatus = false;
        c.groupType = "B";
        c.groupScope = 0;
        c.groupCode = "G001";
        return c;
    }

    TKavContext context_;
    std::optional<TTPDBPipe> proxy_;
    std::optional<RecordingPipe> pipe_;
    std::optional<TodrHDataProvider> lookups_;
    std::optional<TodrHOrderInfoDataProvider> orders_;
    std::set<int> exportColumns_{1, 3};
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, OrderProvidersTest, ::testing::ValuesIn(server::test::TestBackends()),
                         [](const auto& info) { return server::test::BackendName(info.param); });

TEST_P(OrderProvidersTest, SearchByCodeBindsTheOrderAndLoadsSeatsLazily) {
    const auto list = orders_->SearchOrderHandlerInfoEx("D0000001");
    ASSERT_EQ(list->Count(), 1);
    TodrHOrderInfoRecord& order = list->First();
    EXPECT_EQ(pipe_->sent.at(0), GetOrderInfoSQL("01", "D0000001"));
    EXPECT_EQ(order.customerName, "张三");
    EXPECT_EQ(order.customerCellPhone, "13900000001");
    EXPECT_EQ(order.memberCardNo, ""); // stored as -1
    EXPECT_EQ(order.description, "300X2;280X1;");
    EXPECT_EQ(order.saleClassName, "正价票(100%)");
    EXPECT_EQ(order.productName, "新年音乐会");
    EXPECT_EQ(order.placeName, "岚桥音乐厅");
    EXPECT_EQ(order.createUser, "U001");
    EXPECT_EQ(order.createUserName, "王售票");
    EXPECT_EQ(order.orderStatus, (TCodeNameItem{"B", "未处理"}));
    EXPECT_EQ(order.orderFrom, (TCodeNameItem{"2", "呼叫中心订单"}));
    EXPECT_EQ(order.shippingWay, (TCodeNameItem{"1", "现场取票"}));
    EXPECT_EQ(order.customerType, (TCodeNameItem{"3", "普通购票者"}));
    EXPECT_EQ(order.seatCount, 3);
    EXPECT_DOUBLE_EQ(order.receivables, 880);
    EXPECT_EQ(FormatDateTimeIso(order.orderTime), "2026-12-01 10:00:00");
    EXPECT_EQ(FormatDateTimeIso(order.productHappenTime), "2026-12-31 19:30:00");

    EXPECT_FALSE(order.HasSeats());
    const std::size_t sentBefore = pipe_->sent.size();
    TodrHSeatInfoList& seats = order.GetSeats();
    ASSERT_EQ(seats.Count(), 3);
    EXPECT_EQ(pipe_->sent.at(sentBefore), GetOrderSeatInfoExSQL("01", "D0000001"));
    EXPECT_EQ(seats.First().seatCode, "1001");
    EXPECT_EQ(seats.First().sectionName, "池座");
    EXPECT_EQ(seats.First().rowName, "1排");
    EXPECT_DOUBLE_EQ(seats.First().price, 300);
    EXPECT_EQ(seats.Last().priceLevel, "B");
    order.GetSeats();
    EXPECT_EQ(pipe_->sent.size(), sentBefore + 1); // kept, not fetched again

    TClientDataSet shown;
    shown.SetData(orders_->GetOrderSeatsInfo());
    EXPECT_EQ(shown.RecordCount(), 3);

    setup_->Execute("update KAV_SEAT_SHOW set STATUS = 'O' where SEATCODE = 1001");
    EXPECT_EQ(order.RefreshSeats().First().status, "O");
}

TEST_P(OrderProvidersTest, PasswordSearchFindsOnlyOrdersOfTheLast360Days) {
    setup_->Execute("update KAV_ORDER_SHOW set CREATETIME = ?1 where ORDERCODE = 'D0000001'",
                    {FormatDateTimeIso(Now() - 1)});
    setup_->Execute(
        "update KAV_ORDER_SHOW set ORDERPASSWORD = '123456', CREATETIME = ?1 where ORDERCODE = 'D0000002'",
        {FormatDateTimeIso(Now() - 400)});
    EXPECT_EQ(Codes(*orders_->SearchOrderHandlerInfoExPS("123456")), std::vector<std::string>{"D0000001"});
    EXPECT_EQ(orders_->SearchOrderHandlerInfoExPS("654321")->Count(), 0);
}

TEST_P(OrderProvidersTest, ConditionSearches) {
    // Orders without seats (D0000004) are never listed.
    EXPECT_EQ(Codes(*orders_->SearchOrderHandlerInfoEx(CallCentreOfOwnGroup())),
              (std::vector<std::string>{"D0000001", "D0000002", "D0000005"}));

    TOrderHandlerSearchCondition online = CallCentreOfOwnGroup();
    online.orderFrom = "3";
    online.orderStatus = "N";
    const auto web = orders_->SearchOrderHandlerInfoEx(online);
    ASSERT_EQ(Codes(*web), std::vector<std::string>{"D0000003"});
    EXPECT_EQ(web->First().createUser, "(DM01)网上售票");
    EXPECT_EQ(web->First().customerName, "大麦购票"); // partner sales hide the customer
    EXPECT_EQ(web->First().identityNumber, "");

    TOrderHandlerSearchCondition byName = CallCentreOfOwnGroup();
    byName.customerName = "O'Brien";
    byName.ignoreCustomerName = false;
    const auto found = orders_->SearchOrderHandlerInfoEx(byName);
    ASSERT_EQ(Codes(*found), std::vector<std::string>{"D0000002"});
    EXPECT_EQ(found->First().certificate.identTypeId, 1);
    EXPECT_EQ(found->First().certificate.name, "身份证");
    EXPECT_EQ(found->First().memberCardNo, "8800001");

    byName.customerName = "nobody";
    EXPECT_EQ(orders_->SearchOrderHandlerInfoEx(byName)->Count(), 0);
}

TEST_P(OrderProvidersTest, LookUps) {
    // Credit companies of the user's site (the demo user's site is its group G01); read once and kept.
    setup_->Execute("insert into KAV_CREDIT_COMPONY values ('01', 'CC09', '本站公司', 'G01', 'Y')");
    EXPECT_EQ(lookups_->GetCreditCompanyList(), (std::vector<TCreditCompanyItem>{{"CC09", "本站公司"}}));
    setup_->Execute("delete from KAV_CREDIT_COMPONY");
    EXPECT_EQ(lookups_->GetCreditCompanyList().size(), 1u);

    EXPECT_EQ(lookups_->GetPlace(),
              (std::vector<TPlaceItem>{{"", ""}, {"PL01", "岚桥音乐厅"}, {"PL02", "小剧场"}}));
    EXPECT_EQ(lookups_->GetProductClass(), (std::vector<TProductClassItem>{{"", ""}, {"PC01", "音乐会"}}));
    EXPECT_EQ(lookups_->GetSections("P0001"),
              (std::vector<TSectionItem>{{"", ""}, {"S0102", "楼座"}, {"S0101", "池座"}}));
    EXPECT_EQ(lookups_->GetPlaceDataSource()->RecordCount(), 2);
    EXPECT_EQ(lookups_->GetCertificateID("PASSPORT"), 2);
    EXPECT_EQ(lookups_->GetCertificateID("XX"), -1);

    EXPECT_EQ(lookups_->GetPayModes("2"), (std::vector<TPayModeItem>{{"X", "现金"}, {"M", "会员卡"}}));
    EXPECT_EQ(lookups_->GetPayModes("1"), (std::vector<TPayModeItem>{{"X", "现金"}})); // empty action module
    EXPECT_EQ(lookups_->GetPayModes("3"), (std::vector<TPayModeItem>{{"W", "网上支付"}}));
    // The print-note look-up sees every pay mode, whatever the last GetPayModes asked for.
    EXPECT_TRUE(lookups_->NeedPrintNote("02", "M"));
    EXPECT_FALSE(lookups_->NeedPrintNote("02", "X"));
    EXPECT_FALSE(orders_->Get_IsPrintNote("", "W"));
    EXPECT_EQ(TodrHDataProvider::GetFeeMemberPayModes(lookups_->GetPayModes("2")), 1);
    EXPECT_EQ(TodrHDataProvider::GetCurrentPayModes("Z", lookups_->GetPayModes("2")), 0);

    EXPECT_EQ(orders_->IsOrderVaildDay(), "Y");
    EXPECT_EQ(orders_->GetSysInfo(), "N");
    EXPECT_FALSE(lookups_->NeedPostPurchaInfo());
    EXPECT_EQ(lookups_->GetConnectUmnByDB(), "Y");
    setup_->Execute("delete from KAV_SYSINFO_SHOW");
    EXPECT_EQ(orders_->IsOrderVaildDay(), "N");
    EXPECT_EQ(lookups_->GetConnectUmnByDB(), "");

    TClientDataSet& products =
        lookups_->SearchProduct("", "", "2026-11-22 00:00:00", "2027-02-05 00:00:00", "");
    EXPECT_EQ(products.RecordCount(), 2); // the void performance is not offered
    lookups_->SearchProduct("PL01", "PC01", "2026-11-22 00:00:00", "2027-02-05 00:00:00", "新年");
    ASSERT_EQ(products.RecordCount(), 1);
    EXPECT_EQ(products.FieldByName("PRODUCTCODE").AsString(), "P0001");
}

TEST_P(OrderProvidersTest, CustomerWriteBack) {
    TCustomerClientInfo info{"D0000001", "O'Neil", "天津", "022-1", "13911112222",
                             "X1",       "改",     "发票", "2",     2};
    EXPECT_TRUE(lookups_->UpdateCustomerClientInfo(info));
    const auto client =
        setup_->Select("select CNAME, IDENTTYPEID from KAV_ORDER_CLIENT_SHOW where ORDERCODE = 'D0000001'");
    ASSERT_EQ(client.size(), 1u);
    EXPECT_EQ(std::get<std::string>(client[0][0]), "O'Neil");
    const auto order =
        setup_->Select("select INVOICEHEAD, FETCHWAY from KAV_ORDER_SHOW where ORDERCODE = 'D0000001'");
    EXPECT_EQ(std::get<std::string>(order[0][0]), "发票");
    EXPECT_EQ(std::get<std::string>(order[0][1]), "2");

    // A first statement that does not answer 1 sends no second one.
    pipe_->sent.clear();
    pipe_->execAnswer = 0;
    EXPECT_FALSE(lookups_->UpdateCustomerClientInfo(info));
    EXPECT_EQ(pipe_->sent.size(), 1u);
    pipe_->execAnswer.reset();

    // A failing second statement raises; the first stays done.
    setup_->Execute("alter table KAV_ORDER_SHOW rename to KAV_ORDER_SHOW_GONE");
    info.name = "第二次";
    EXPECT_THROW(lookups_->UpdateCustomerClientInfo(info), pelio::EosException);
    EXPECT_EQ(
        std::get<std::string>(setup_->Select("select CNAME from KAV_ORDER_CLIENT_SHOW where ORDERCODE = "
                                             "'D0000001'")[0][0]),
        "第二次");
}

// A partner's web order arrives with masked customer details; writing it back keeps the real ones.
TEST_P(OrderProvidersTest, MaskedCustomerKeepsItsRealDetails) {
    TCustomerClientInfo info{"D0000003", "大麦购票", "大麦购票", "123", "123", "", "周末送", "", "1", 0};
    info.customerMasked = true;
    EXPECT_TRUE(lookups_->UpdateCustomerClientInfo(info));
    const auto client = setup_->Select(
        "select CNAME, TEL, CELLPHONE, CADDRESS, IDENTCODE, COMMENT from KAV_ORDER_CLIENT_SHOW where ORDERCODE = "
        "'D0000003'");
    ASSERT_EQ(client.size(), 1u);
    EXPECT_EQ(std::get<std::string>(client[0][0]), "李四");
    EXPECT_EQ(std::get<std::string>(client[0][1]), "021-1");
    EXPECT_EQ(std::get<std::string>(client[0][2]), "13700000003");
    EXPECT_EQ(std::get<std::string>(client[0][3]), "广州");
    EXPECT_EQ(std::get<std::string>(client[0][4]), "440101");
    EXPECT_EQ(std::get<std::string>(client[0][5]), "周末送");
    EXPECT_EQ(std::get<std::string>(setup_->Select("select FETCHWAY from KAV_ORDER_SHOW where ORDERCODE = "
                                                   "'D0000003'")[0][0]),
              "1");
}

TEST_P(OrderProvidersTest, ExportDataSetFollowsTheCustomerExportRights) {
    orders_->SearchOrderHandlerInfoEx(CallCentreOfOwnGroup());
    TClientDataSet& exported = orders_->GetExportExcelDS();
    EXPECT_NE(exported.FindField("CUSTOMERNAME"), nullptr);
    EXPECT_NE(exported.FindField("IDENTCODE"), nullptr);
    EXPECT_EQ(exported.FindField("CUSTOMERCELLPHONE"), nullptr);
    EXPECT_EQ(exported.FindField("CUSTOMERTEL"), nullptr);
    EXPECT_EQ(exported.FieldCount(), 37);
    EXPECT_EQ(exported.Fields(1).DisplayLabel(), "订单编号");
    EXPECT_FALSE(exported.Fields(0).Visible());
    EXPECT_EQ(exported.Fields(1).DisplayWidth(), 30);

    ASSERT_EQ(exported.RecordCount(), 3);
    ASSERT_TRUE(exported.Locate("ORDERCODE", {"D0000002"}));
    EXPECT_EQ(exported.FieldByName("PRODUCTNAME").AsString(), "新年音乐会"); // not cut to its declared size
    EXPECT_EQ(exported.FieldByName("ORDERFROMNAME").AsString(), "呼叫中心订单");
    EXPECT_EQ(exported.FieldByName("CLIENTTYPENAME").AsString(), "普通购票者");
    EXPECT_EQ(exported.FieldByName("FETCHWAYNAME").AsString(), "送票上门");
    EXPECT_EQ(exported.FieldByName("PAYMODENAME").AsString(), "现金");
    EXPECT_EQ(exported.FieldByName("IDENTCODE").AsString(), "110101199001011234");
    EXPECT_TRUE(exported.FieldByName("ContinuedTime").AsString().ends_with("时"));

    TClientDataSet& discounts = orders_->GetDiscountExcelDS();
    EXPECT_EQ(discounts.RecordCount(), 4);
    discounts.SetFilter("OrderCode = 'D0000001'");
    discounts.SetFiltered(true);
    EXPECT_EQ(discounts.RecordCount(), 2);

    exportColumns_ = {1, 2, 3, 4};
    EXPECT_EQ(orders_->GetExportExcelDS().FieldCount(), 39);
}

TEST_P(OrderProvidersTest, BackgroundFetchUsesItsOwnConnection) {
    std::promise<std::pair<std::unique_ptr<TodrHSeatInfoList>, std::thread::id>> delivered;
    {
        TAsyncGetSeatInfo fetch("127.0.0.1", server_->Port());
        fetch.GetSeatInfo(context_, "01", "D0000001",
                          [&](std::unique_ptr<TodrHSeatInfoList>& seats, std::exception_ptr error) {
                              EXPECT_FALSE(error);
                              delivered.set_value({std::move(seats), std::this_thread::get_id()});
                          });
        // The shared connection stays usable meanwhile.
        EXPECT_EQ(orders_->SearchOrderHandlerInfoEx("D0000002")->Count(), 1);
        EXPECT_THROW(fetch.GetSeatInfo(context_, "01", "D0000001", nullptr), std::logic_error);
    }
    auto [seats, thread] = delivered.get_future().get();
    ASSERT_TRUE(seats);
    EXPECT_EQ(seats->Count(), 3);
    EXPECT_NE(thread, std::this_thread::get_id());

    std::promise<std::exception_ptr> failed;
    {
        TAsyncGetSeatInfo fetch("127.0.0.1", server_->Port());
        TKavContext forged;
        forged.SetAsString("NodeCode=01\n");
        fetch.GetSeatInfo(forged, "01", "D0000001",
                          [&](std::unique_ptr<TodrHSeatInfoList>& seats, std::exception_ptr error) {
                              EXPECT_FALSE(seats);
                              failed.set_value(error);
                          });
    }
    EXPECT_TRUE(failed.get_future().get());
}
