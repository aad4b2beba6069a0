// The ticket office's booking, batch and accounting operations over real sockets, on every test
// backend: what each changes in the database, and that a refused call changes nothing.

#include "salefixture.h"
#include "services/dbpipe/tpdbpipe.h"
#include "statementcatalogue.h"

#include <chrono>
#include <cstdio>
#include <gmock/gmock.h>
#include <set>
#include <thread>

using namespace kav;
using namespace kav::server;
using namespace kav::server::e2e;
using pelio::EosRemoteException;
using pelio::Variant;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

class TicketOfficeTest : public SaleFixture {};

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, TicketOfficeTest, ::testing::ValuesIn(server::test::TestBackends()),
                         [](const auto& info) { return server::test::BackendName(info.param); });

TEST_P(TicketOfficeTest, BookingHoldsTheNamedSeatsForANewOrderThatTheOrderSearchesFind) {
    TClientDataSet order;
    Book(order, true, {101, 102, 201});
    EXPECT_THAT(SeatsOf(order), ElementsAre(101, 102, 201));
    const std::string code = order.FieldByName("ORDERCODE").AsString();
    EXPECT_DOUBLE_EQ(order.FieldByName("RECEIVABLES").AsFloat(), 940);
    EXPECT_EQ(order.FieldByName("ORDERPASSWORD").AsString().size(), 6u);
    EXPECT_EQ(Count("select count(*) from KAV_SEAT_SHOW where STATUS = 'B' and ORDERCODE = '" + code + "'"),
              3);
    EXPECT_EQ(Text("select CREATEUSER from KAV_ORDER_SHOW where ORDERCODE = '" + code + "'"), "demo");

    // The booked-order search of the sale core (inner joins on the price level lines and the
    // customer row) finds it, one row per price level, for any creation period that holds today.
    std::string search = kav::test::CataloguedStatement("salecore.select_order").sql;
    search.replace(search.find("2026-11-01 00:00:00"), 19, "2000-01-01 00:00:00");
    search.replace(search.find("'2026-12-08'"), 12, "'2999-12-31'");
    TTPDBPipe pipe(client_.get());
    TClientDataSet found;
    found.SetData(pipe.GetData(context_, search).ByteArrayView());
    ASSERT_EQ(found.RecordCount(), 2);
    EXPECT_EQ(found.FieldByName("ORDERCODE").AsString(), code);

    // A sale at the window is no booking to collect, but the order handler lists it.
    const std::string sale = BookedOrder(false, {202});
    EXPECT_NE(sale, code);
    found.SetData(pipe.GetData(context_, search).ByteArrayView());
    EXPECT_EQ(found.RecordCount(), 2);
    std::string byCode = kav::test::CataloguedStatement("order.by_code").sql;
    byCode.replace(byCode.find("'D0000001'"), 10, "'" + sale + "'");
    found.SetData(pipe.GetData(context_, byCode).ByteArrayView());
    ASSERT_EQ(found.RecordCount(), 1);
    EXPECT_EQ(found.FieldByName("ORDERSTATUS").AsString(), "B");
    EXPECT_EQ(found.FieldByName("SEATCOUNT").AsInteger(), 1);
}

TEST_P(TicketOfficeTest, OrderCodesAreTheNodeAndItsNextNumberInEightDigitsOrMore) {
    // The database writes the code as the order's rows go in; it must read as the program's own.
    const std::string first = BookedOrder(true, {101});
    ASSERT_EQ(first.size(), 11u);
    EXPECT_EQ(first.substr(0, 3), "K01");
    const std::int64_t number = std::stoll(first.substr(3));
    char next[32];
    std::snprintf(next, sizeof next, "K01%08lld", static_cast<long long>(number + 1));
    EXPECT_EQ(BookedOrder(false, {102}), next);
    for (const auto& [last, code] : {std::pair{99999998, "K0199999999"}, {99999999, "K01100000000"}}) {
        setup_->Execute("update KAV_COUNTER set LASTVALUE = ?1 where NAME = 'ORDER01'", {std::int64_t{last}});
        const std::string booked = BookedOrder(false, {201});
        EXPECT_EQ(booked, code);
        EXPECT_EQ(Count("select count(*) from KAV_SEAT_SHOW where ORDERCODE = '" + booked + "'"), 1);
        EXPECT_EQ(Count("select count(*) from KAV_ORDER_DISCOUNT_SHOW d join KAV_ORDER_CLIENT_SHOW c on "
                        "c.ORDERCODE = d.ORDERCODE where d.ORDERCODE = '" + booked + "'"),
                  1);
        ASSERT_TRUE(office_->ReleaseSeat(context_, booked));
    }
}

TEST_P(TicketOfficeTest, BestSeatsAreTakenTogetherFromTheFrontRows) {
    TClientDataSet order;
    Book(order, false, {}, 3); // row 1 has three together right of the held seat 103
    EXPECT_THAT(SeatsOf(order), ElementsAre(104, 105, 106));
    Book(order, false, {}, 4); // row 1 has two left; row 2 has four together in its middle
    EXPECT_THAT(SeatsOf(order), ElementsAre(202, 203, 204, 205));
    EXPECT_DOUBLE_EQ(order.FieldByName("RECEIVABLES").AsFloat(), 720);

    // 101, 102, 201, 206 and row 3 are left (the map-only 107 is never chosen).
    EXPECT_THAT(RemoteError([&] { Book(order, false, {}, 11); }), HasSubstr("只剩 10 个"));
    EXPECT_THAT(RemoteError([&] { Book(order, false, {}, 0); }), HasSubstr("座位数 0 无效"));
}

TEST_P(TicketOfficeTest, ARefusedBookingChangesNothing) {
    const std::string before = State();
    struct Refused {
        const char* product;
        const char* section;
        std::initializer_list<int> seats;
        const char* message;
    };
    for (const Refused& r :
         {Refused{"P1", "SEC1", {101, 103}, "座位 103 已被占用"},
          Refused{"P1", "SEC1", {101, 901}, "座位 901 不属于"},
          Refused{"P1", "SEC1", {101, 999}, "座位 999 不属于"},
          Refused{"P1", "SEC1", {107}, "票价等级 L 不出售"}, Refused{"P1", "SEC9", {101}, "没有区域 SEC9"},
          Refused{"P9", "SEC1", {101}, "已作废"}, Refused{"P7", "SEC1", {101}, "演出 P7 不存在"}}) {
        SCOPED_TRACE(r.message);
        EXPECT_THAT(RemoteError([&] {
                        office_->CreateOrderAndBooking(true, context_, r.product, r.section, 0,
                                                       SeatPacket(r.seats));
                    }),
                    HasSubstr(r.message));
    }
    EXPECT_THAT(RemoteError([&] {
                    office_->CreateOrderAndBooking(true, context_, "P1", "SEC1", 0,
                                                   Variant::ByteArray("junk"));
                }),
                HasSubstr("cdsSeatDelta"));
    EXPECT_EQ(State(), before);
    // The connection that was refused books the next request.
    EXPECT_FALSE(BookedOrder(true, {101}).empty());
}

TEST_P(TicketOfficeTest, ConcurrentBookingsGetDistinctOrdersAndASeatOnlyOnce) {
    // Two sellers book their own row seat by seat, race for seat 206, then take the six seats
    // left one best seat at a time, often choosing the same one at once.
    std::vector<std::string> codes[2];
    int wonRace[2] = {0, 0};
    auto seller = [&](int thread) {
        auto client = NewClient();
        TTPTicketOffice office(client.get());
        auto book = [&](int count, std::initializer_list<int> seats) {
            TClientDataSet order;
            order.SetData(office.CreateOrderAndBooking(true, context_, "P1", "SEC1", count, SeatPacket(seats))
                              .ByteArrayView());
            codes[thread].push_back(order.FieldByName("ORDERCODE").AsString());
        };
        for (int seat = 1; seat <= 5; ++seat)
            book(0, {(thread == 0 ? 200 : 300) + seat});
        try {
            book(0, {206});
            wonRace[thread] = 1;
        } catch (const EosRemoteException&) {
        }
        for (int i = 0; i < 3; ++i)
            book(1, {});
    };
    std::thread first(seller, 0), second(seller, 1);
    first.join();
    second.join();
    EXPECT_EQ(wonRace[0] + wonRace[1], 1);
    std::set<std::string> distinct(codes[0].begin(), codes[0].end());
    distinct.insert(codes[1].begin(), codes[1].end());
    EXPECT_EQ(distinct.size(), 17u);
    EXPECT_EQ(Count("select count(*) from KAV_ORDER_SHOW"), 17);
    // Every seat but the map-only one is held, each by exactly one order.
    EXPECT_EQ(Count("select count(*) from KAV_SEAT_SHOW where SECTIONCODE = 'SEC1' and STATUS = 'F'"), 1);
    EXPECT_EQ(Count("select sum(SEATCOUNT) from KAV_ORDER_SHOW"), 17);
}

TEST_P(TicketOfficeTest, ABestSeatTakenWhileChoosingIsReplacedByTheNextBest) {
    // Another seller holds seat 104, the best single seat, but has not committed yet.
    setup_->Begin();
    setup_->Execute("update KAV_SEAT_SHOW set STATUS = 'B', ORDERCODE = 'OTHER' where SEATCODE = 104");
    std::vector<std::int64_t> seats;
    std::string error;
    std::thread seller([&] {
        auto client = NewClient();
        TTPTicketOffice office(client.get());
        TClientDataSet order;
        try {
            order.SetData(
                office.CreateOrderAndBooking(false, context_, "P1", "SEC1", 1, Empty()).ByteArrayView());
            seats = SeatsOf(order);
        } catch (const std::exception& e) {
            error = e.what();
        }
    });
    // PostgreSQL lets the server read 104 as free and wait for its row; SQLite makes it wait to begin.
    if (GetParam() == Backend::PostgreSQL) {
        auto watcher = database_->Db().Connect();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::get<std::int64_t>(watcher->Select(
                   "select count(*) from pg_stat_activity where wait_event_type = 'Lock'")[0][0]) == 0 &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
    }
    setup_->Commit();
    seller.join();
    EXPECT_EQ(error, "");
    EXPECT_THAT(seats, ElementsAre(105));
}

TEST_P(TicketOfficeTest, AccountingPaysAnOrderOnceForExactlyItsReceivables) {
    const std::string order = BookedOrder(false, {101, 201}); // 380 + 180
    const std::string before = State();
    EXPECT_THAT(AccountError(order, AccountPacket({{order, "X", 500}})),
                HasSubstr("收款金额 500.00 与应收金额 560.00 不符"));
    EXPECT_THAT(AccountError(order, AccountPacket({{order, "X", 560}}), Empty(),
                             PayModePacket({{order, "X", 300}, {order, "H", 200}})),
                HasSubstr("分项支付合计 500.00"));
    EXPECT_THAT(AccountError("NOPE", AccountPacket({{"NOPE", "X", 560}})), HasSubstr("订单 NOPE 不存在"));
    EXPECT_THAT(AccountError(order, AccountPacket({{order, "Q", 560}})), HasSubstr("支付方式 Q 不存在"));
    EXPECT_EQ(State(), before);
    EXPECT_TRUE(office_->ISAccountFail(context_, order));

    EXPECT_EQ(Account(order, AccountPacket({{"", "X", 560}}), CeilingPacket("G01"),
                      PayModePacket({{order, "X", 300}, {order, "H", 260}})),
              1);
    EXPECT_FALSE(office_->ISAccountFail(context_, order));
    const std::string where = " where ORDERCODE = '" + order + "'";
    EXPECT_EQ(Text("select ORDERSTATUS from KAV_ORDER_SHOW" + where), "R");
    EXPECT_EQ(Text("select PAYEE from KAV_ORDER_SHOW" + where), "demo");
    EXPECT_EQ(Text("select PAYMODECODE from KAV_ORDER_SHOW" + where), "X");
    EXPECT_FALSE(Text("select GATHERINGTIME from KAV_ORDER_SHOW" + where).empty());
    EXPECT_EQ(Count("select count(*) from KAV_SEAT_SHOW" + where + " and STATUS = 'O'"), 2);
    EXPECT_DOUBLE_EQ(Money("select sum(RELACCEPTABLES) from KAV_ACCOUNT_SHOW" + where), 560);
    EXPECT_EQ(Count("select count(*) from KAV_PAYMODEMONEY_SHOW" + where), 2);
    // The ledger the reports read: one sale line per price level, and the group's sales raised.
    EXPECT_EQ(Count("select count(*) from KAV_REPORT_SHOW" + where +
                    " and SALESORT = '01' and ACCOUNTUSER = 'demo'"),
              2);
    EXPECT_DOUBLE_EQ(Money("select sum(PRICE) from KAV_REPORT_SHOW" + where), 560);
    EXPECT_DOUBLE_EQ(Money("select ACTUALSALEMONEY from KAV_GROUPMAXSALEMONY"), 560);

    // No second charge, whatever the packets say.
    const std::string paid = State();
    EXPECT_THAT(AccountError(order, AccountPacket({{order, "X", 560}}), CeilingPacket("G01")),
                HasSubstr("不能重复收款"));
    EXPECT_EQ(State(), paid);
}

TEST_P(TicketOfficeTest, TheGroupCeilingIsCheckedByTheServer) {
    const std::string order = BookedOrder(false, {101, 102, 201}); // 940
    setup_->Execute("update KAV_GROUPMAXSALEMONY set ACTUALSALEMONEY = 100");
    const std::string before = State();
    EXPECT_THAT(AccountError(order, AccountPacket({{order, "X", 940}}), CeilingPacket("G01")),
                HasSubstr("销售金额不能超过代理点最高售票金额"));
    // Another group's record is never charged from what a client sends.
    EXPECT_THAT(AccountError(order, AccountPacket({{order, "X", 940}}), CeilingPacket("G99")),
                HasSubstr("G99"));
    EXPECT_EQ(State(), before);

    // A performance that does not count towards the group's ceiling sells without raising it.
    setup_->Execute("insert into KAV_GROUPMAXSALEMONY_PRODUCTSET (NODECODE, PRODUCTCODE, GROUPCODE, STYLE) "
                    "values ('01', 'P1', 'G01', '2')");
    EXPECT_EQ(Account(order, AccountPacket({{order, "X", 940}}), CeilingPacket("G01")), 1);
    EXPECT_DOUBLE_EQ(Money("select ACTUALSALEMONEY from KAV_GROUPMAXSALEMONY"), 100);
}

TEST_P(TicketOfficeTest, EveryRefusedAccountingNamesItsReasonAndChangesNothing) {
    const std::string released = BookedOrder(false, {101, 102});
    setup_->Execute("update KAV_SEAT_SHOW set STATUS = 'F', ORDERCODE = null where SEATCODE = 102");
    const std::string changed = BookedOrder(false, {104});
    setup_->Execute("update KAV_ORDER_SHOW set ORDERSTATUS = 'N' where ORDERCODE = '" + changed + "'");
    const std::string paidBefore = BookedOrder(false, {105});
    setup_->Execute("insert into KAV_ACCOUNT_SHOW (NODECODE, ORDERCODE, PKID, PAYMODECODE, RELACCEPTABLES, "
                    "ACCOUNTTIME) values ('01', '" +
                    paidBefore + "', 0, 'X', 380, '2024-01-01 10:00:00')");
    const std::string order = BookedOrder(false, {106}); // 380, over the ceiling left once it is 700
    setup_->Execute("update KAV_GROUPMAXSALEMONY set ACTUALSALEMONEY = 700");
    const auto ceilings = [](std::initializer_list<std::pair<const char*, const char*>> rows) {
        Rows values;
        for (const auto& [group, createGroup] : rows)
            values.push_back({"01", group, createGroup, 1000.0});
        return Packet({{"NodeCode"}, {"GroupCode"}, {"CreateGroup"}, {"MaxSaleMoney", TFieldType::ftFloat}},
                      values);
    };
    const struct {
        std::string order;
        double amount;
        Variant ceiling;
        std::string refusal;
    } cases[] = {
        {released, 760, Empty(), "订单 " + released + " 的座位已释放或已出票"},
        {changed, 380, Empty(), "订单 " + changed + " 的状态已改变 (现为 N)"},
        {paidBefore, 380, Empty(), "订单 " + paidBefore + " 已收款, 不能重复收款"},
        {order, 380, ceilings({{"G01", "CG9"}}), "代理点 G01 没有对 CG9 的售票金额记录"},
        // The first of two refusals of the ceiling rows is the one told.
        {order, 380, ceilings({{"G01", "CG1"}, {"G99", "CG1"}}), "销售金额不能超过代理点最高售票金额"},
        {order, 380, ceilings({{"G99", "CG1"}, {"G01", "CG1"}}), "不能记入其他代理点 G99 的售票金额"},
    };
    const std::string before = State();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refusal);
        EXPECT_THAT(AccountError(c.order, AccountPacket({{c.order, "X", c.amount}}), c.ceiling),
                    HasSubstr(c.refusal));
        EXPECT_EQ(State(), before);
    }
}

TEST_P(TicketOfficeTest, ABatchIsAccountedOrReleasedAsAWhole) {
    auto byBatch = [&](const char* batch, std::initializer_list<int> seats) {
        TClientDataSet order;
        order.SetData(
            office_->CreateOrderByBatch(batch, context_, "P1", "SEC1", 0, SeatPacket(seats)).ByteArrayView());
        EXPECT_EQ(order.FieldByName("BATCHCODE").AsString(), batch);
        return order.FieldByName("ORDERCODE").AsString();
    };
    const std::string a = byBatch("BT1", {101}), b = byBatch("BT1", {201, 202});
    const std::string before = State();
    // Every order of the batch must be paid in the same call.
    EXPECT_THAT(BatchAccountError("BT1", AccountPacket({{a, "X", 380}})),
                HasSubstr("订单 " + b + " 没有收款记录"));
    EXPECT_THAT(BatchAccountError("BT1", AccountPacket({{a, "X", 380}, {b, "X", 360}, {"D9", "X", 1}})),
                HasSubstr("订单 D9 不在本次收款之内"));
    EXPECT_EQ(State(), before);
    EXPECT_EQ(office_->BatchAccount(context_, "IsNeedCharge=H\n", "BT1",
                                    AccountPacket({{a, "H", 380}, {b, "H", 360}}), CeilingPacket("G01"),
                                    Empty()),
              1);
    EXPECT_EQ(Count("select count(*) from KAV_ORDER_SHOW where BATCHCODE = 'BT1' and ORDERSTATUS = 'R' and "
                    "PAYMODECODE = 'H'"),
              2);
    EXPECT_DOUBLE_EQ(Money("select ACTUALSALEMONEY from KAV_GROUPMAXSALEMONY"), 740);
    EXPECT_THAT(BatchAccountError("BT1", AccountPacket({{a, "X", 380}})), HasSubstr("没有待收款的订单"));

    // Releasing frees the held seats of the unpaid orders only.
    const std::string c = byBatch("BT2", {102, 203});
    byBatch("BT2", {204});
    EXPECT_FALSE(office_->ReleaseBatch(context_, "BT1"));
    EXPECT_TRUE(office_->ReleaseBatch(context_, "BT2"));
    EXPECT_EQ(Count("select count(*) from KAV_ORDER_SHOW where BATCHCODE = 'BT2' and ORDERSTATUS = 'C'"), 2);
    EXPECT_EQ(
        Count("select count(*) from KAV_SEAT_SHOW where SEATCODE in (102, 203, 204) and STATUS = 'F' and "
              "ORDERCODE is null"),
        3);
    EXPECT_EQ(Count("select count(*) from KAV_SEAT_SHOW where SEATCODE in (101, 201, 202) and STATUS = 'O'"),
              3);
    EXPECT_FALSE(office_->ReleaseBatch(context_, "BT2"));
    EXPECT_THAT(AccountError(c, AccountPacket({{c, "X", 560}})), HasSubstr("已取消"));
}

TEST_P(TicketOfficeTest, SaveFreeBookInfoStoresCustomerRegistrationsAndSaleSort) {
    const std::string order = BookedOrder(true, {101, 102});
    const Variant customer =
        Packet({{"CNAME"}, {"TEL"}, {"IDENTTYPEID", TFieldType::ftInteger}}, {{"O'Brien 张", "010-1234", 1}});
    EXPECT_TRUE(office_->SaveFreeBookInfo(context_, "1", "05", order, customer));
    const std::string where = " where ORDERCODE = '" + order + "'";
    EXPECT_EQ(Text("select CNAME from KAV_ORDER_CLIENT_SHOW" + where), "O'Brien 张");
    EXPECT_EQ(Text("select TEL from KAV_ORDER_CLIENT_SHOW" + where), "010-1234");
    EXPECT_EQ(Text("select SALESORT from KAV_ORDER_SHOW" + where), "05");

    // Per-seat registration: each person names a seat of the order.
    const std::initializer_list<Field> person = {
        {"NAME"}, {"IDNUM"}, {"IDENTTYPEID", TFieldType::ftInteger}, {"SEATCODE", TFieldType::ftInteger}};
    Rows persons = {{"甲", "110101", 1, 101}, {"乙", "110102", 1, 102}};
    EXPECT_TRUE(office_->SaveFreeBookInfo(context_, "2", "", order, Packet(person, persons)));
    EXPECT_EQ(Count("select count(*) from KAV_CLIENTINFO" + where + " and USERREGTYPE = 'S'"), 2);

    const std::string before = State();
    persons.push_back({"丙", "110103", 1, 201}); // not a seat of this order
    for (const auto& [action, sort, data, message] :
         {std::tuple{"2", "", Packet(person, persons), "座位 201 不属于订单"},
          std::tuple{"9", "", Empty(), "操作代码 9 无效"},
          std::tuple{"1", "77", Empty(), "销售类别 77 不存在"},
          std::tuple{"1", "", Packet({{"CNAME"}}, {{"甲"}, {"乙"}}), "多行"}})
        EXPECT_THAT(RemoteError([&] { office_->SaveFreeBookInfo(context_, action, sort, order, data); }),
                    HasSubstr(message));
    EXPECT_EQ(State(), before);

    // Complimentary tickets cost nothing, and the ledger says so.
    EXPECT_TRUE(office_->SaveFreeBookInfo(context_, "1", "08", order, Empty()));
    EXPECT_DOUBLE_EQ(Money("select RECEIVABLES from KAV_ORDER_SHOW" + where), 0);
    EXPECT_EQ(Account(order, AccountPacket({{order, "X", 0}})), 1);
    EXPECT_EQ(Count("select count(*) from KAV_REPORT_SHOW" + where + " and SALESORT = '08' and PRICE = 0"),
              1);
    EXPECT_THAT(RemoteError([&] { office_->SaveFreeBookInfo(context_, "1", "01", order, Empty()); }),
                HasSubstr("不能修改预订信息"));
}

TEST_P(TicketOfficeTest, EveryOperationRefusesATamperedContext) {
    const std::string order = BookedOrder(true, {101});
    std::string tampered = context_;
    tampered.replace(tampered.find("UserCode=demo"), 13, "UserCode=clerk");
    const std::string before = State();
    const std::vector<std::function<void()>> calls = {
        [&] { office_->CreateOrderAndBooking(true, tampered, "P1", "SEC1", 0, SeatPacket({102})); },
        [&] { office_->CreateOrderByBatch("BT", tampered, "P1", "SEC1", 1, Empty()); },
        [&] { office_->ReleaseBatch(tampered, "BT"); },
        [&] {
            office_->SaleAccount(tampered, Params(order), AccountPacket({{order, "X", 380}}), Empty(),
                                 Empty());
        },
        [&] { office_->BatchAccount(tampered, "", "BT", Empty(), Empty(), Empty()); },
        [&] { office_->SaveFreeBookInfo(tampered, "1", "08", order, Empty()); }};
    for (const auto& call : calls)
        EXPECT_THAT(RemoteError(call), HasSubstr("会话无效"));
    EXPECT_EQ(State(), before);
}
