// The services of kav-server over real sockets: login, sessions, the data pipe through its proxy
// and the host's access classes, and the ticket office.

#include "host/cadbpipe.h"
#include "host/kavcontext.h"
#include "platform/dataset/clientdataset.h"
#include "rpc/exceptions.h"
#include "server/loginservant.h"
#include "serverfixture.h"
#include "services/dbpipe/tpdbpipe.h"
#include "services/login/tplogin.h"
#include "services/ticketoffice/tpticketoffice.h"

#include <gmock/gmock.h>

using namespace kav;
using namespace kav::server;
using kav::server::e2e::RemoteError;
using kav::server::e2e::ServerFixture;
using ::testing::AllOf;
using ::testing::HasSubstr;

namespace {

void Load(TClientDataSet& dataset, const pelio::Variant& packet) {
    ASSERT_TRUE(packet.IsByteArray());
    dataset.SetData(packet.ByteArrayView());
}

class ServicesTest : public ServerFixture {
protected:
    void SetUp() override {
        ServerFixture::SetUp();
        context_ = LoginAs("demo", "demo");
    }
    std::string context_;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, ServicesTest, ::testing::ValuesIn(test::TestBackends()),
                         [](const auto& info) { return test::BackendName(info.param); });

TEST_P(ServicesTest, LoginIssuesTheUsersContext) {
    TKavContext context;
    context.SetAsString(context_);
    EXPECT_EQ(context.NodeCode(), "01");
    EXPECT_EQ(context.UserCode(), "demo");
    EXPECT_EQ(context.UserName(), "演示售票员");
    EXPECT_EQ(context.GroupCode(), "G01");
    EXPECT_EQ(context.GroupType(), "1");
    EXPECT_EQ(context.Owner().GetOwnerCode(), "C01");
    EXPECT_EQ(context.SiteCode(), "G01");
    EXPECT_EQ(context.SiteName(), "一号售票点");
    EXPECT_FALSE(context.Value("Signature").empty());
    // An apostrophe and Chinese text in a password are only bytes to the hash.
    TKavContext clerk;
    clerk.SetAsString(LoginAs("clerk", "柜台'1"));
    EXPECT_EQ(clerk.UserCode(), "clerk");

    // The venue's site switch names the site for every user while it is on.
    setup_->Execute("insert into KAV_SYSINFO_SHOW (CUSTOMMODULE, CNAME, ISVALID) values ('SITECODE', 'TOLVA', 'N')");
    clerk.SetAsString(LoginAs("demo", "demo"));
    EXPECT_EQ(clerk.SiteCode(), "G01");
    setup_->Execute("update KAV_SYSINFO_SHOW set ISVALID = 'Y' where CUSTOMMODULE = 'SITECODE'");
    clerk.SetAsString(LoginAs("demo", "demo"));
    EXPECT_EQ(clerk.SiteCode(), "TOLVA");
    EXPECT_EQ(clerk.SiteName(), "一号售票点");
}

TEST_P(ServicesTest, RefusedLoginsDoNotTellWhichPartWasWrong) {
    const std::string refused(kLoginRefusedText);
    EXPECT_EQ(RemoteError([&] { LoginAs("demo", "wrong"); }), refused);
    EXPECT_EQ(RemoteError([&] { LoginAs("demo", ""); }), refused);
    EXPECT_EQ(RemoteError([&] { LoginAs("DEMO", "demo"); }), refused);
    EXPECT_EQ(RemoteError([&] { LoginAs("nobody", "demo"); }), refused);
    // Five failures from one address would lock it; a success clears the count.
    EXPECT_FALSE(LoginAs("clerk", "柜台'1").empty());
    EXPECT_EQ(RemoteError([&] { LoginAs("' or '1'='1", "demo"); }), refused);
    EXPECT_EQ(RemoteError([&] { LoginAs("gone", "wrong"); }), refused);
    EXPECT_EQ(RemoteError([&] { LoginAs("gone", "gone"); }), std::string(kUserDisabledText));
    // The connection stays usable after refusals.
    EXPECT_FALSE(LoginAs("demo", "demo").empty());
}

TEST_P(ServicesTest, EveryServiceRefusesAContextThatDoesNotVerify) {
    std::string otherNode = context_;
    otherNode.replace(otherNode.find("NodeCode=01"), 11, "NodeCode=02");
    std::string otherUser = context_;
    otherUser.replace(otherUser.find("UserCode=demo"), 13, "UserCode=dem0");
    const std::string unsigned_ = context_.substr(0, context_.find("Signature="));
    const std::string contexts[] = {otherNode, otherUser, unsigned_, context_ + "NodeCode=02\n",
                                    "",        "garbage"};

    TTPDBPipe pipe(client_.get());
    TTPTicketOffice office(client_.get());
    for (const std::string& context : contexts) {
        SCOPED_TRACE(context);
        EXPECT_THAT(RemoteError([&] { pipe.GetData(context, "select 1 as ONE"); }), HasSubstr("会话无效"));
        EXPECT_THAT(
            RemoteError([&] { pipe.GetMasterDetailData(context, "select 1 as A", "D", "select 1 as B"); }),
            HasSubstr("会话无效"));
        EXPECT_THAT(RemoteError([&] { pipe.ExecSQL(context, "delete from KAV_USER"); }),
                    HasSubstr("会话无效"));
        EXPECT_THAT(RemoteError([&] { office.ReleaseSeat(context, "A1"); }), HasSubstr("会话无效"));
        EXPECT_THAT(RemoteError([&] {
                        office.SaleAccount(context, "", pelio::Variant::ByteArray(""),
                                           pelio::Variant::ByteArray(""), pelio::Variant::ByteArray(""));
                    }),
                    HasSubstr("会话无效"));
    }
    // Nothing was deleted, and the genuine context still works on the same connection.
    EXPECT_EQ(setup_->Select("select USERCODE from KAV_USER").size(), 3u);
    TClientDataSet dataset;
    Load(dataset, pipe.GetData(context_, "select 1 as ONE"));
    EXPECT_EQ(dataset.FieldByName("one").AsInteger(), 1);
}

TEST_P(ServicesTest, GetDataBringsTypedColumnsAndNulls) {
    setup_->Execute(
        "create table E2E_VALUES (CODE varchar(8) not null, N integer, PRICE REAL, AT TIMESTAMP)");
    setup_->Execute("insert into E2E_VALUES values ('a''1', 7, 880.5, '2026-12-07 20:30:00')");
    setup_->Execute("insert into E2E_VALUES values ('张三', null, null, null)");

    TTPDBPipe pipe(client_.get());
    TClientDataSet dataset;
    Load(dataset, pipe.GetData(context_, "select CODE, N, PRICE, AT from E2E_VALUES order by CODE"));
    ASSERT_EQ(dataset.RecordCount(), 2);
    dataset.First();
    EXPECT_EQ(dataset.FieldByName("CODE").AsString(), "a'1");
    EXPECT_EQ(dataset.FieldByName("N").AsInteger(), 7);
    EXPECT_DOUBLE_EQ(dataset.FieldByName("PRICE").AsFloat(), 880.5);
    EXPECT_EQ(FormatDateTimeIso(dataset.FieldByName("AT").AsDateTime()), "2026-12-07 20:30:00");
    dataset.Next();
    EXPECT_EQ(dataset.FieldByName("CODE").AsString(), "张三");
    EXPECT_TRUE(dataset.FieldByName("N").IsNull());
    EXPECT_TRUE(dataset.FieldByName("PRICE").IsNull());
    EXPECT_TRUE(dataset.FieldByName("AT").IsNull());
}

TEST_P(ServicesTest, MasterDetailNestsEachMastersRows) {
    setup_->Execute("create table E2E_MASTER (CODE varchar(8) not null)");
    setup_->Execute("create table E2E_DETAIL (CODE varchar(8) not null, LINE integer not null)");
    setup_->Execute("insert into E2E_MASTER values ('A'), ('B'), ('C')");
    setup_->Execute("insert into E2E_DETAIL values ('A', 1), ('A', 2), ('B', 3)");

    TTPDBPipe pipe(client_.get());
    TClientDataSet orders;
    Load(orders, pipe.GetMasterDetailData(context_, "select CODE from E2E_MASTER order by CODE", "LINES",
                                          "select LINE from E2E_DETAIL where CODE = :CODE order by LINE"));
    ASSERT_EQ(orders.RecordCount(), 3);
    std::vector<int> counts;
    for (orders.First(); !orders.Eof(); orders.Next())
        counts.push_back(orders.FieldByName("LINES").NestedDataSet().RecordCount());
    EXPECT_EQ(counts, (std::vector<int>{2, 1, 0}));
    orders.First();
    TClientDataSet& lines = orders.FieldByName("LINES").NestedDataSet();
    lines.Last();
    EXPECT_EQ(lines.FieldByName("LINE").AsInteger(), 2);
}

TEST_P(ServicesTest, AccessClassesReadAndWriteThroughTheirConnection) {
    TCADBPipe2 pipe(*client_);
    const std::string sql = "update KAV_USER set CNAME = '新名字' where USERCODE = 'clerk'";
    EXPECT_EQ(pipe.ExecSQL(context_, sql), 1);
    TClientDataSet dataset;
    Load(dataset, pipe.GetData(context_, "select CNAME from KAV_USER where USERCODE = 'clerk'"));
    EXPECT_EQ(dataset.FieldByName("CNAME").AsString(), "新名字");

    TCADBPipe reader(*client_);
    Load(dataset, reader.GetData(context_, "select count(*) as N from KAV_USER"));
    EXPECT_EQ(dataset.FieldByName("N").AsInteger(), 3);
}

TEST_P(ServicesTest, RefusedAndFailingStatementsLeaveTheConnectionUsable) {
    TTPDBPipe pipe(client_.get());
    const std::string refusedReads[] = {
        "delete from KAV_USER",
        "update KAV_USER set ISVALID = 'N'",
        "select 1; delete from KAV_USER",
        "select * from NO_SUCH_TABLE",
        "select from",
    };
    for (const std::string& sql : refusedReads) {
        SCOPED_TRACE(sql);
        EXPECT_FALSE(RemoteError([&] { pipe.GetData(context_, sql); }).empty());
    }
    const std::string refusedWrites[] = {
        "delete from KAV_USER; delete from KAV_GROUP",
        "drop table KAV_USER",
        "select * from KAV_USER",
    };
    for (const std::string& sql : refusedWrites) {
        SCOPED_TRACE(sql);
        EXPECT_FALSE(RemoteError([&] { pipe.ExecSQL(context_, sql); }).empty());
    }
    EXPECT_EQ(setup_->Select("select USERCODE from KAV_USER where ISVALID = 'Y'").size(), 2u);
    EXPECT_EQ(setup_->Select("select GROUPCODE from KAV_GROUP").size(), 1u);
    TClientDataSet dataset;
    Load(dataset, pipe.GetData(context_, "select count(*) as N from KAV_USER"));
    EXPECT_EQ(dataset.FieldByName("N").AsInteger(), 3);
}

TEST_P(ServicesTest, AResultTooLargeForAMessageIsRefusedAndTheConnectionStays) {
    TTPDBPipe pipe(client_.get());
    const std::string huge =
        "with recursive N(I) as (select 1 union all select I + 1 from N where I < 40000) "
        "select I, 'abcdefghijklmnopqrstuvwxyz0123456789' || I as T from N";
    // Abandoned as soon as the rows pass what a message can hold, with the same clear message.
    EXPECT_THAT(
        RemoteError([&] { pipe.GetData(context_, huge); }),
        AllOf(HasSubstr("查询结果过大"), HasSubstr("超过消息上限 " + std::to_string(kMaxMessageBytes))));
    EXPECT_THAT(RemoteError([&] { pipe.GetMasterDetailData(context_, "select 1 as K", "ROWS", huge); }),
                HasSubstr("查询结果过大"));
    TClientDataSet dataset;
    Load(dataset, pipe.GetData(context_, "select 1 as ONE"));
    EXPECT_EQ(dataset.RecordCount(), 1);
}

TEST_P(ServicesTest, TicketOfficeLooksUpTheCallersNode) {
    setup_->Execute("insert into KAV_SALECLASS (NODECODE, PRODUCTCODE, SALECLASSCODE, CNAME) values "
                    "('01', 'P1', 'S1', '正价'), ('01', 'P1', 'S2', '套票'), ('02', 'P1', 'S9', '别的节点')");
    setup_->Execute(
        "insert into KAV_SEAT_SHOW (NODECODE, SEATCODE, PRODUCTCODE, SECTIONCODE, FLOORNO, ROWNO, "
        "SEATNO, X, Y, STATUS, PRICELEVEL, ORDERCODE) values "
        "('01', 1, 'P1', 'SEC1', 1, 1, 1, 1, 1, 'B', 'A', 'O1'), "
        "('01', 2, 'P1', 'SEC1', 1, 1, 2, 2, 1, 'O', 'A', 'O1'), "
        "('01', 3, 'P1', 'SEC1', 1, 1, 3, 3, 1, 'F', 'A', null)");

    TTPTicketOffice office(client_.get());
    TClientDataSet dataset;
    Load(dataset, office.GetSaleClass(context_, "P1"));
    EXPECT_EQ(dataset.RecordCount(), 2);
    Load(dataset, office.GetSeat(context_, "SEC1", "P1"));
    EXPECT_EQ(dataset.RecordCount(), 3);
    Load(dataset, office.GetSeatByBatch(context_, "O1' or '1'='1"));
    EXPECT_EQ(dataset.RecordCount(), 0);

    EXPECT_TRUE(office.ISAccountFail(context_, "O1"));
    setup_->Execute("insert into KAV_ACCOUNT_SHOW (NODECODE, ORDERCODE, PKID, PAYMODECODE, RELACCEPTABLES, "
                    "ACCOUNTTIME) values ('01', 'O1', 0, 'X', 100, '2026-12-07 10:00:00')");
    EXPECT_FALSE(office.ISAccountFail(context_, "O1"));
}

TEST_P(ServicesTest, OutputTicketRecordsOneTicketForASeatOfAnOrderAndGetTicketInfoFindsIt) {
    setup_->Execute("insert into KAV_PLACE (NODECODE, PLACECODE, CNAME) values ('01', 'PL1', '音乐厅')");
    setup_->Execute("insert into KAV_PRODUCT (NODECODE, PRODUCTCODE, CNAME, PLACECODE, HAPPENTIME, STATUS) "
                    "values ('01', 'P1', '新年音乐会', 'PL1', '2026-12-31 19:30:00', '5')");
    setup_->Execute("insert into KAV_PRICE_SHOW (NODECODE, PRODUCTCODE, PRICELEVEL, PRICE) values ('01', "
                    "'P1', 'A', 380)");
    setup_->Execute("insert into KAV_SECTION_SHOW (NODECODE, SECTIONCODE, PRODUCTCODE, CNAME) "
                    "values ('01', 'SEC1', 'P1', '池座')");
    setup_->Execute(
        "insert into KAV_FLOOR_SHOW (NODECODE, SECTIONCODE, FLOORNO, NAME) values ('01', 'SEC1', 1, '一层')");
    setup_->Execute("insert into KAV_ROW_SHOW (NODECODE, SECTIONCODE, FLOORNO, ROWNO, NAME) "
                    "values ('01', 'SEC1', 1, 3, '3排')");
    setup_->Execute(
        "insert into KAV_SEAT_SHOW (NODECODE, SEATCODE, PRODUCTCODE, SECTIONCODE, FLOORNO, ROWNO, "
        "SEATNO, X, Y, STATUS, PRICELEVEL, ORDERCODE) values "
        "('01', 7, 'P1', 'SEC1', 1, 3, 12, 12, 3, 'B', 'A', 'O7'), "
        "('01', 8, 'P1', 'SEC1', 1, 3, 13, 13, 3, 'F', 'A', null)");
    setup_->Execute("insert into KAV_ORDER_SHOW (NODECODE, ORDERCODE, PRODUCTCODE, ORDERFROM, ORDERSTATUS, "
                    "SEATCOUNT, RECEIVABLES, CREATETIME) values ('01', 'O7', 'P1', '1', 'R', 1, 380, "
                    "'2026-12-07 09:00:00')");
    setup_->Execute(
        "insert into KAV_ORDER_DISCOUNT_SHOW (NODECODE, ORDERCODE, PRICELEVEL, PRICE, TICKETPRICE, "
        "TOTALPRICE, SEATAMOUNT) values ('01', 'O7', 'A', 380, 380, 380, 1)");

    TTPTicketOffice office(client_.get());
    TClientDataSet ticket;
    // No ticket before the order is paid.
    EXPECT_NE(RemoteError([&] { office.OutputTicket(context_, "7", "", "N", "S1", "P1"); }).find("尚未付款"),
              std::string::npos);
    EXPECT_TRUE(setup_->Select("select BARCODE from KAV_TICKET_SHOW").empty());
    setup_->Execute("insert into KAV_ACCOUNT_SHOW (NODECODE, ORDERCODE, PKID, PAYMODECODE, RELACCEPTABLES, "
                    "ACCOUNTTIME) values ('01', 'O7', 0, 'X', 380, '2026-12-07 10:00:00')");
    Load(ticket, office.OutputTicket(context_, "7", "", "N", "S1", "P1"));
    ASSERT_EQ(ticket.RecordCount(), 1);
    // The client joins these into the full seat name.
    EXPECT_EQ(ticket.FieldByName("SECTIONNAME").AsString() + ticket.FieldByName("FLOORNAME").AsString() +
                  ticket.FieldByName("ROWNAME").AsString() + ticket.FieldByName("SEATNAME").AsString(),
              "池座一层3排12");
    EXPECT_EQ(ticket.FieldByName("ORDERCODE").AsString(), "O7");
    EXPECT_DOUBLE_EQ(ticket.FieldByName("PARVALUE").AsFloat(), 380);
    EXPECT_EQ(ticket.FieldByName("PRINTUSER").AsString(), "demo");
    EXPECT_EQ(ticket.FieldByName("PRODUCTNAME").AsString(), "新年音乐会");
    EXPECT_GT(ticket.FieldByName("OrderHandlerTime").AsDateTime(), EncodeDate(2026, 1, 1));
    const std::string barcode = ticket.FieldByName("BARCODE").AsString();
    EXPECT_EQ(barcode.size(), 16u);
    EXPECT_EQ(setup_->Select("select STATUS from KAV_SEAT_SHOW where SEATCODE = 7").front().front(),
              SqlValue{std::string("O")});

    Load(ticket, office.GetTicketInfo(context_, "O7", "7"));
    ASSERT_EQ(ticket.RecordCount(), 1);
    EXPECT_EQ(ticket.FieldByName("BARCODE").AsString(), barcode);
    Load(ticket, office.GetTicketInfo(context_, "O7", "8"));
    EXPECT_EQ(ticket.RecordCount(), 0);

    // A free seat, an unknown one, another product's and a seat code that is no number get no ticket.
    for (const char* seat : {"8", "99", "7' or '1'='1"}) {
        SCOPED_TRACE(seat);
        EXPECT_FALSE(RemoteError([&] { office.OutputTicket(context_, seat, "", "N", "S1", "P1"); }).empty());
    }
    EXPECT_FALSE(RemoteError([&] { office.OutputTicket(context_, "7", "", "N", "S1", "P2"); }).empty());
    EXPECT_EQ(setup_->Select("select BARCODE from KAV_TICKET_SHOW").size(), 1u);
}
