// What the order grid shows and how it sorts, the caption above it, and the search conditions the
// search panel's values make.
#include "host/kavcontext.h"
#include "orderhandler/odrhcolumns.h"
#include "orderhandler/odrhgridtext.h"
#include "orderhandler/odrhsearchinput.h"
#include "orderhandler/odrhsql.h"
#include "platform/core/contexttext.h"

#include <gtest/gtest.h>

using namespace kav;
using namespace kav::orderhandler;

namespace {

int Column(const char* fieldName) {
    return *FindOrderColumn(fieldName);
}

TodrHOrderInfoRecord Order() {
    TodrHOrderInfoRecord order;
    order.orderCode = "D0000001";
    order.receivables = 880.5;
    order.seatCount = 3;
    order.createUser = "U001";
    order.createUserName = "王售票";
    order.orderTime = EncodeDateTime({2024, 3, 1, 9, 5, 59});
    order.orderStatus = {"B", "未处理"};
    return order;
}

std::unique_ptr<TodrHSeatInfoRecord> Seat(const char* section, const char* floor, const char* row, const char* no,
                                          const char* level) {
    auto seat = std::make_unique<TodrHSeatInfoRecord>();
    seat->sectionName = section;
    seat->floorName = floor;
    seat->rowName = row;
    seat->seatNo = no;
    seat->priceLevel = level;
    return seat;
}

} // namespace

TEST(OrderGridText, CellsFormatMoneyTimesAndPeople) {
    TodrHOrderInfoRecord order = Order();
    EXPECT_EQ(OrderCellText(order, Column("OrderCode")), "D0000001");
    EXPECT_EQ(OrderCellText(order, Column("Receivables")), "  880.50元");
    EXPECT_EQ(OrderCellText(order, Column("SeatCount")), "3");
    EXPECT_EQ(OrderCellText(order, Column("CreateUser")), "U001|王售票");
    EXPECT_EQ(OrderCellText(order, Column("OrderTime")), "2024-03-01 09:05");
    EXPECT_EQ(OrderCellText(order, Column("OrderStatus")), "未处理");
    // An order nobody handled yet shows neither a handler nor a time.
    EXPECT_EQ(OrderCellText(order, Column("OrderHandlerUser")), "");
    EXPECT_EQ(OrderCellText(order, Column("OrderHandlerTime")), "");
    order.orderHandlerUser = "U002";
    order.orderHandlerUserName = "李呼叫";
    EXPECT_EQ(OrderCellText(order, Column("OrderHandlerUser")), "U002|李呼叫");
}

TEST(OrderGridText, ColumnsCompareByTheirKind) {
    TodrHOrderInfoRecord a = Order(), b = Order();
    a.seatCount = 9;
    b.seatCount = 10; // as text "10" would sort first
    EXPECT_LT(CompareOrders(a, b, Column("SeatCount")), 0);
    a.receivables = 100.25;
    b.receivables = 99.75;
    EXPECT_GT(CompareOrders(a, b, Column("Receivables")), 0);
    a.orderTime = b.orderTime + 1.0 / 1440;
    EXPECT_GT(CompareOrders(a, b, Column("OrderTime")), 0);
    a.email = "Zoe@example.com";
    b.email = "adam@example.com";
    EXPECT_GT(CompareOrders(a, b, Column("EMail")), 0);
    b.email = "ZOE@EXAMPLE.COM";
    EXPECT_EQ(CompareOrders(a, b, Column("EMail")), 0);
    EXPECT_EQ(CompareOrders(a, b, -1), 0);
}

TEST(OrderGridText, HintListsTheLoadedSeatsOrSaysHowToLoadThem) {
    TodrHOrderInfoRecord order = Order();
    EXPECT_NE(OrderSeatsHint(order).find("获取座位信息"), std::string::npos);
    order.seats.emplace();
    order.seats->Add(Seat("池座", "一层", "3排", "12号", "A"));
    order.seats->Add(Seat("池座", "一层", "3排", "13号", "B"));
    std::string rule;
    for (int i = 0; i < 17; ++i)
        rule += "－";
    EXPECT_EQ(OrderSeatsHint(order),
              "订单号'D0000001', 座位信息如下：\n" + rule + "\n池座 一层 3排 12号 A级\n池座 一层 3排 13号 B级");
}

TEST(OrderGridText, CaptionsCountAndTotal) {
    EXPECT_EQ(SearchResultCaption(0, 0, 0), "查询结果：未找到订单记录，请确认查询条件是否正确！");
    EXPECT_EQ(SearchResultCaption(2, 5, 1760.5),
              "查询结果：共找到2条订单记录！-----查询的订单座位总数  5  个！,查询的订单总金额  1760.50  元！");
    TodrHOrderInfoRecord order = Order();
    order.productName = "新年音乐会";
    order.productHappenTime = EncodeDateTime({2025, 1, 1, 19, 30});
    EXPECT_EQ(SelectedOrderCaption(order, 5, 10),
              "演出：新年音乐会 2025-01-01 19:30-----查询的订单座位总数  5  个！,查询的订单总金额  10.00  元！");
}

namespace {

// Rights for the search, as the rights object would answer them.
class Rights : public TOrderHandlerRightsAnswers {
public:
    explicit Rights(TOrderHandlerRights rights = {}) { rights_ = rights; }
    void InitialGetPrivileges(const std::string&, const std::string&) override {}
};

TKavContext Context() {
    TContextText values;
    values.SetValue(context_names::NodeCode, "01");
    values.SetValue(context_names::UserCode, "demo");
    values.SetValue(context_names::GroupCode, "G001");
    values.SetValue(context_names::GroupType, "B");
    values.SetValue(context_names::OwnerCode, "OWN1");
    TKavContext context;
    context.SetAsString(values.Format());
    return context;
}

TDetailSearchInput BothSources() {
    TDetailSearchInput input;
    input.viewableSources = {"2", "3"};
    return input;
}

std::optional<EodrSearchConditionType> Refusal(const TDetailSearchInput& input, const TOrderHandlerRights& rights) {
    try {
        ValidateDetailSearch(input, Rights(rights));
    } catch (const EodrSearchCondition& e) {
        return e.Type();
    }
    return std::nullopt;
}

} // namespace

// The checks run in a fixed order; each case fails exactly the first check it breaks.
TEST(DetailSearch, ValidationNamesTheFirstMissingCondition) {
    using enum EodrSearchConditionType;
    TOrderHandlerRights strict;
    strict.mustHaveNameInSearch = strict.mustHavePhoneOrCellPhoneInSearch = strict.mustHaveIDNumberInSearch = true;
    TDetailSearchInput complete = BothSources();
    complete.customerName = "张三";
    complete.cellPhone = "13900000001";
    complete.certificateType = "ID";
    complete.identityNumber = "110";

    struct Case {
        const char* what;
        std::function<void(TDetailSearchInput&)> change;
        std::optional<EodrSearchConditionType> expected;
    };
    const std::vector<Case> cases{
        {"complete", [](TDetailSearchInput&) {}, std::nullopt},
        {"no source", [](TDetailSearchInput& i) { i.viewableSources.clear(); i.customerName.clear(); }, EOrderFromRequired},
        {"custom product, none chosen", [](TDetailSearchInput& i) { i.productRequired = true; }, EProductRequired},
        {"custom product chosen", [](TDetailSearchInput& i) { i.productRequired = true; i.productCodes = "'P1'"; }, std::nullopt},
        {"blank name", [](TDetailSearchInput& i) { i.customerName = "  "; }, ECustomerNameRequired},
        {"telephone instead of cell phone", [](TDetailSearchInput& i) { i.cellPhone.clear(); i.telephone = "010"; }, std::nullopt},
        {"no phone", [](TDetailSearchInput& i) { i.cellPhone = " "; }, EPhoneOrCellPhoneRequired},
        {"no certificate type", [](TDetailSearchInput& i) { i.certificateType.clear(); }, EIDRequired},
        {"no identity number", [](TDetailSearchInput& i) { i.identityNumber.clear(); }, EIDRequired},
    };
    for (const Case& c : cases) {
        TDetailSearchInput input = complete;
        c.change(input);
        EXPECT_EQ(Refusal(input, strict), c.expected) << c.what;
    }
    EXPECT_EQ(Refusal(BothSources(), {}), std::nullopt); // without those rights nothing is demanded
}

TEST(DetailSearch, SourceAndStatusFollowWhatTheUserMayView) {
    const TKavContext context = Context();
    const Rights rights;
    struct Case {
        std::vector<std::string> viewable;
        std::string chosen;
        std::string status;
        std::string expectedFrom; // empty: ignored
        std::string expectedStatus;
    };
    const std::vector<Case> cases{
        {{"2", "3"}, "", "ALL", "", "ALL"},   // 全部 of both: no source clause, no status clause
        {{"2", "3"}, "3", "B", "3", "N"},     // online orders store N for booked
        {{"2", "3"}, "3", "C", "3", "U"},     // and U for cancelled
        {{"2", "3"}, "2", "B", "2", "B"},
        {{"2", "3"}, "2", "ALL", "2", ""},    // ALL with a source chosen adds nothing
        {{"2"}, "", "RA", "2", "RA"},         // 全部 of the call centre alone stays within it
        {{"3"}, "", "B", "3", "N"},           // 全部 of online orders alone
    };
    for (const Case& c : cases) {
        TDetailSearchInput input;
        input.viewableSources = c.viewable;
        input.orderFrom = c.chosen;
        input.orderStatus = c.status;
        const TOrderHandlerSearchCondition condition = MakeSearchCondition(input, rights, context);
        EXPECT_EQ(condition.ignoreOrderFrom, c.expectedFrom.empty()) << c.chosen << c.status;
        if (!c.expectedFrom.empty()) {
            EXPECT_EQ(condition.orderFrom, c.expectedFrom);
        }
        EXPECT_EQ(condition.ignoreOrderStatus, c.expectedStatus.empty()) << c.chosen << c.status;
        if (!c.expectedStatus.empty()) {
            EXPECT_EQ(condition.orderStatus, c.expectedStatus);
        }
    }
    // The full SQL for "全部" and "全部": neither a source nor a status clause.
    TDetailSearchInput all = BothSources();
    all.orderStatus = "ALL";
    const std::string sql = GetOrderInfoSQL("01", MakeSearchCondition(all, rights, context));
    EXPECT_EQ(sql.find("and o.ORDERFROM"), std::string::npos);
    EXPECT_EQ(sql.find("and ORDERSTATUS"), std::string::npos);
}

TEST(DetailSearch, TextsTimesAndGroupScope) {
    const TKavContext context = Context();
    TDetailSearchInput input = BothSources();
    input.customerName = " 张三 ";
    input.memberCardNo = "-1";
    input.identityNumber = "110";
    input.email = "";
    input.createTime = TTimeRange{45000.25, 45001.75};
    TOrderHandlerSearchCondition c = MakeSearchCondition(input, Rights(), context);
    EXPECT_FALSE(c.ignoreCustomerName);
    EXPECT_EQ(c.customerName, "张三");
    EXPECT_TRUE(c.ignoreMemberCardNo);
    EXPECT_FALSE(c.ignoreCertificate); // a number without a type still filters
    EXPECT_TRUE(c.ignoreEmail);
    EXPECT_FALSE(c.ignoreCreateTime);
    EXPECT_EQ(c.createTimeTo, 45001.75);
    EXPECT_TRUE(c.ignoreHandlerTime);
    EXPECT_EQ(c.groupType, "B");
    EXPECT_EQ(c.groupCode, "G001");
    EXPECT_EQ(c.groupScope, 0);

    TOrderHandlerRights centre;
    centre.groupScope = -1;
    centre.canEditOtherUserOrdersInfo = true;
    c = MakeSearchCondition(input, Rights(centre), context);
    EXPECT_EQ(c.groupCode, "OWN1");
    EXPECT_TRUE(c.mayEditOthersOrders);
}
