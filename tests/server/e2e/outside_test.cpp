// The outside services the sale windows call, over real sockets on every test backend: ticket
// faces, the sale search rule, the member system, and kav-server's HTTP endpoint.

#include "host/camembersys.h"
#include "host/casalesearchshow.h"
#include "host/caticketfaceshow.h"
#include "salefixture.h"
#include "server/http/httpendpoint.h"
#include "services/dbpipe/tpdbpipe.h"

#include <gmock/gmock.h>
#include <httplib.h>

using namespace kav;
using namespace kav::server;
using namespace kav::server::e2e;
using ::testing::HasSubstr;

namespace {

class OutsideTest : public SaleFixture {
protected:
    void SetUp() override {
        SaleFixture::SetUp();
        setup_->Execute(
            "insert into KAV_MEMBER (NODECODE, MEMBERID, CARDNO, CNAME, CELLPHONE, CARDPASSWORDHASH, "
            "BALANCE, POINTS, ISFEEMEMBER, ISSWIPE) values ('01', 77, '8877', '会员甲', '13900000077', "
            "?1, 500, 40, 'Y', 'Y'), ('02', 78, '8878', '别处会员', null, ?1, 0, 0, 'N', 'N')",
            {PasswordHash("8888")});
    }
    // A paid order of member 77.
    std::string PaidMemberOrder(int seat, double amount) {
        const std::string order = BookedOrder(true, {seat});
        setup_->Execute("update KAV_ORDER_SHOW set MEMBERID = 77 where ORDERCODE = '" + order + "'");
        EXPECT_EQ(Account(order, AccountPacket({{order, "X", amount}})), 1);
        return order;
    }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, OutsideTest, ::testing::ValuesIn(server::test::TestBackends()),
                         [](const auto& info) { return server::test::BackendName(info.param); });

TEST_P(OutsideTest, TicketFacesComeWithTheirElementsAndSections) {
    setup_->Execute(R"(
insert into KAV_TICKETFACE (NODECODE, PRODUCTCODE, TICKETSTYLE, TICKETWIDTH, TICKETHEIGHT) values
    ('01', 'P1', '1', 680, 260), ('01', 'P1', '2', 680, 260), ('02', 'P1', '9', 1, 1);
insert into KAV_TICKETFACE_ELEMENT (NODECODE, PRODUCTCODE, TICKETSTYLE, ELEMENTNO, ELEMENTTYPE, CAPTION,
    ELM_LEFT, ELM_TOP, ELM_WIDTH, ELM_HEIGHT) values
    ('01', 'P1', '1', 2, 'TSField', 'BARCODE', 0, 0, 10, 10), ('01', 'P1', '1', 1, 'TSText', '音乐厅', 0, 0, 10, 10),
    ('01', 'P1', '2', 1, 'TSImage', 'a|b|c', 0, 0, 10, 10);
insert into KAV_TICKETFACE_SECTION (NODECODE, PRODUCTCODE, TICKETSTYLE, SECTIONTYPE, SECTIONCODE) values
    ('01', 'P1', '2', '2', 'SEC2');
)");
    TClientDataSet faces;
    faces.SetData(TCATicketFaceShow(*client_).GetTicketFace(context_, "P1").ByteArrayView());
    ASSERT_EQ(faces.RecordCount(), 2) << "the node's faces only";
    EXPECT_EQ(faces.FieldByName("TICKETSTYLE").AsString(), "1");
    TClientDataSet& elements = faces.FieldByName("qryElement").NestedDataSet();
    ASSERT_EQ(elements.RecordCount(), 2);
    EXPECT_EQ(elements.FieldByName("CAPTION").AsString(), "音乐厅") << "in element order";
    EXPECT_EQ(faces.FieldByName("qrySection").NestedDataSet().RecordCount(), 0);
    faces.Next();
    EXPECT_EQ(faces.FieldByName("qryElement").NestedDataSet().FieldByName("ELEMENTTYPE").AsString(),
              "TSImage");
    TClientDataSet& sections = faces.FieldByName("qrySection").NestedDataSet();
    ASSERT_EQ(sections.RecordCount(), 1);
    EXPECT_EQ(sections.FieldByName("SECTIONCODE").AsString(), "SEC2");
    faces.SetData(TCATicketFaceShow(*client_).GetTicketFace(context_, "P7").ByteArrayView());
    EXPECT_EQ(faces.RecordCount(), 0);
}

TEST_P(OutsideTest, CollectingAndCancellingFollowThePerformanceAndTheGroup) {
    TCASaleSearchShow search(*client_);
    const std::string order = BookedOrder(true, {101});
    struct Case {
        const char* happen;
        const char* saleEnd;
        const char* status;
        bool collect, cancel;
    };
    for (const Case& c : {Case{"2099-12-31 19:30:00", "2099-12-31 18:00:00", "5", true, true},
                          Case{"2099-12-31 19:30:00", "2000-01-01 00:00:00", "5", true, false},
                          Case{"2000-01-01 19:30:00", "2000-01-01 18:00:00", "6", false, false},
                          Case{"2099-12-31 19:30:00", "2099-12-31 18:00:00", "9", false, true}}) {
        SCOPED_TRACE(std::string(c.happen) + " " + c.saleEnd + " " + c.status);
        setup_->Execute(
            "update KAV_PRODUCT set HAPPENTIME = ?1, SALEENDTIME = ?2, STATUS = ?3 where PRODUCTCODE = 'P1'",
            {std::string(c.happen), std::string(c.saleEnd), std::string(c.status)});
        for (const std::string& code : {std::string("P1"), order}) {
            EXPECT_EQ(search.CanExecuteAction(context_, code, "3"), c.collect) << code;
            EXPECT_EQ(search.CanExecuteAction(context_, code, "4"), c.cancel) << code;
        }
    }
    setup_->Execute("update KAV_PRODUCT set SALEENDTIME = null, STATUS = '5' where PRODUCTCODE = 'P1'");
    EXPECT_TRUE(search.CanExecuteAction(context_, "P1", "4")) << "no sale end: no end of cancelling";
    setup_->Execute(
        "insert into KAV_GROUP_ACTION_DENY (NODECODE, GROUPCODE, ACTIONCODE) values ('01', 'G01', '4')");
    EXPECT_FALSE(search.CanExecuteAction(context_, "P1", "4"));
    EXPECT_TRUE(search.CanExecuteAction(context_, "P1", "3"));
    EXPECT_THAT(RemoteError([&] { search.CanExecuteAction(context_, "NOPE", "3"); }), HasSubstr("不存在"));
    EXPECT_THAT(RemoteError([&] { search.CanExecuteAction(context_, "P1", "5"); }), HasSubstr("无效"));
}

TEST_P(OutsideTest, MembersAreFoundWithoutTheirPasswordsWhichTheServerChecks) {
    TCAMemberSys members(*client_);
    TQueryUserInfoConditionRecord byId;
    byId.MemberID = {"77", true};
    const TMemberUserInfoList found = members.QueryUserInfo(context_, byId, "Y");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].CardNo, "8877");
    EXPECT_DOUBLE_EQ(found[0].Balance, 500);
    EXPECT_TRUE(found[0].IsFeeMember);
    EXPECT_TRUE(found[0].IsSwipe);
    TClientDataSet rows;
    rows.SetData(TTPMemberSys(client_.get()).QueryUserInfo(context_, "CardNo=8877\n", "N").ByteArrayView());
    for (int i = 0; i < rows.FieldCount(); ++i)
        EXPECT_THAT(rows.Fields(i).FieldName(), ::testing::Not(HasSubstr("PASSWORD")));

    TQueryUserInfoConditionRecord none, otherNode, injected;
    otherNode.CardNo = {"8878", true};
    injected.CName = {"' or '1'='1", true};
    for (const auto* condition : {&none, &otherNode, &injected})
        EXPECT_TRUE(members.QueryUserInfo(context_, *condition, "H").empty());
    EXPECT_THAT(RemoteError([&] { members.QueryUserInfo(context_, byId, "X"); }), HasSubstr("模式"));

    // Balances are money and the print log is evidence: the pipe reads them and changes neither.
    TTPDBPipe pipe(client_.get());
    EXPECT_THAT(RemoteError([&] { pipe.ExecSQL(context_, "update KAV_MEMBER set BALANCE = 100000"); }),
                HasSubstr("KAV_MEMBER"));
    EXPECT_THAT(RemoteError([&] { pipe.ExecSQL(context_, "delete from KAV_PRINT_LOG"); }),
                HasSubstr("KAV_PRINT_LOG"));
    rows.SetData(pipe.GetData(context_, "select BALANCE from KAV_MEMBER where MEMBERID = 77").ByteArrayView());
    EXPECT_DOUBLE_EQ(rows.FieldByName("BALANCE").AsFloat(), 500);

    EXPECT_TRUE(members.CheckCardPassword(context_, "8877", "8888"));
    EXPECT_FALSE(members.CheckCardPassword(context_, "8877", "8889"));
    EXPECT_FALSE(members.CheckCardPassword(context_, "8878", "8888")) << "another node's card";
}

TEST_P(OutsideTest, APurchaseIsKeptOncePerOrderWhicheverWayItCame) {
    TCAMemberSys members(*client_);
    const std::string byServer = PaidMemberOrder(101, 380), bySoap = PaidMemberOrder(102, 380),
                      byPost = PaidMemberOrder(201, 180);
    EXPECT_TRUE(
        members.SaveSaleInfoByServer(context_, byServer, "MC_MemberID=77\nMC_CostType=现金\n", true, true));
    EXPECT_TRUE(members.SaveSaleInfoByServer(context_, byServer, "MC_MemberID=77\n", true, true)) << "again";
    TMemberInfoRecord record;
    record.OrderCode = bySoap;
    record.MemberID = "77";
    record.Cost = "1"; // the order's own receivables are kept
    record.Tickets = {{"A", "380", "1", "380"}};
    EXPECT_TRUE(members.SaveSaleInfoBySOAP(context_, record, true, false));
    EXPECT_EQ(members.Post(context_, "order_number=" + byPost + "\nMC_MemberID=77\n", "ConsumeInfoPost",
                           false, true),
              "A00006");
    EXPECT_EQ(Count("select count(*) from KAV_MEMBER_PURCHASE"), 3);
    EXPECT_DOUBLE_EQ(Money("select COST from KAV_MEMBER_PURCHASE where ORDERCODE = '" + bySoap + "'"), 380);
    EXPECT_THAT(Text("select DETAIL from KAV_MEMBER_PURCHASE where ORDERCODE = '" + bySoap + "'"),
                HasSubstr("CL=A|380|1|380"));
    EXPECT_EQ(Text("select POSTWAY from KAV_MEMBER_PURCHASE where ORDERCODE = '" + byPost + "'"), "P");

    // A non-member order counts as posted; nothing to keep.
    EXPECT_TRUE(members.SaveSaleInfoByServer(context_, "ANY", "", false, false));
    const std::string unpaid = BookedOrder(true, {202});
    EXPECT_THAT(RemoteError([&] { members.SaveSaleInfoByServer(context_, unpaid, "", false, true); }),
                HasSubstr("尚未付款"));
    EXPECT_THAT(RemoteError([&] {
                    members.SaveSaleInfoByServer(context_, byServer, "MC_MemberID=5\n", false, true);
                }),
                HasSubstr("不是订单"));
    EXPECT_THAT(members.Post(context_, "order_number=" + unpaid + "\n", "ConsumeInfoPost", false, true),
                HasSubstr("E00001"));
    EXPECT_THAT(members.Post(context_, "x=1\n", "Other", false, true), HasSubstr("E00002"));
    EXPECT_EQ(Count("select count(*) from KAV_MEMBER_PURCHASE"), 3);
}

TEST_P(OutsideTest, TheHttpEndpointKeepsTextMessagesAndMemberPosts) {
    THttpEndpoint http(server_->Services());
    http.Start(0);
    httplib::Client web("127.0.0.1", http.Port());
    const std::string order = PaidMemberOrder(101, 380);
    setup_->Execute("update KAV_ORDER_CLIENT_SHOW set CELLPHONE = '13911112222' where ORDERCODE = '" + order +
                    "'");

    const std::string text =
        "2099-12-31 19:30 音乐厅等1张已定,凭123456至音乐厅售票处自助取票机取票【岚桥音乐厅】";
    auto send = [&](const std::string& mobile, const std::string& content) {
        const auto answer = web.Get("/Saleorder/sendmessageforsys?mobile=" + mobile + "&ordercode=" + order +
                                    "&content=" + httplib::detail::encode_query_param(content));
        return answer ? answer->status : -1;
    };
    EXPECT_EQ(send("13911112222", text), 200);
    EXPECT_EQ(Text("select CONTENT from KAV_TEXT_MESSAGE"), text);
    EXPECT_EQ(send("13800000000", text), 404) << "only the order's own cell phone";
    EXPECT_EQ(send("13911112222", std::string(501, 'x')), 400);
    EXPECT_EQ(send("13911112222", ""), 400);
    EXPECT_EQ(Count("select count(*) from KAV_TEXT_MESSAGE"), 1);

    httplib::Params form{{"order_number", order}, {"MC_MemberID", "77"}, {"MC_CostType", "现金"}};
    auto noSession = web.Post("/ConsumeInfoPost", form);
    ASSERT_TRUE(noSession);
    EXPECT_EQ(noSession->status, 401);
    form.emplace("Context", context_);
    auto posted = web.Post("/ConsumeInfoPost", form);
    ASSERT_TRUE(posted);
    EXPECT_EQ(posted->status, 200);
    EXPECT_EQ(posted->body, "A00006");
    EXPECT_EQ(Text("select PAYMODENAME from KAV_MEMBER_PURCHASE where ORDERCODE = '" + order + "'"), "现金");
    form.emplace("bad name", "1");
    EXPECT_THAT(web.Post("/ConsumeInfoPost", form)->body, HasSubstr("E00001"));
}
