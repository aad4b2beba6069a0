// Tickets over real sockets on every test backend: one ticket per seat of a paid order, its face
// value, the order collected with its last ticket, reprints handing back the same ticket, every
// hand-out in the print log, and bookings released.

#include "salefixture.h"
#include "services/dbpipe/tpdbpipe.h"

#include <gmock/gmock.h>
#include <mutex>
#include <thread>

using namespace kav;
using namespace kav::server;
using namespace kav::server::e2e;
using ::testing::HasSubstr;

namespace {

class TicketOutputTest : public SaleFixture {
protected:
    // A paid order of the seats; answers its code.
    std::string PaidOrder(std::initializer_list<int> seats, double amount) {
        const std::string order = BookedOrder(true, seats);
        EXPECT_EQ(Account(order, AccountPacket({{order, "X", amount}})), 1);
        return order;
    }
    void Output(TClientDataSet& ticket, int seat, const char* isGift = "N") {
        ticket.SetData(
            office_->OutputTicket(context_, std::to_string(seat), "", isGift, "SC1", "P1").ByteArrayView());
    }
    std::string Where(const std::string& order) { return " where ORDERCODE = '" + order + "'"; }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, TicketOutputTest, ::testing::ValuesIn(server::test::TestBackends()),
                         [](const auto& info) { return server::test::BackendName(info.param); });

TEST_P(TicketOutputTest, EachSeatGetsOneTicketAndTheLastCollectsTheOrder) {
    const std::string booked = BookedOrder(true, {104});
    EXPECT_THAT(RemoteError([&] { office_->OutputTicket(context_, "104", "", "N", "SC1", "P1"); }),
                HasSubstr("尚未付款"));
    // The order's price after discount is the face value; a gift ticket's is 0.
    const std::string order = BookedOrder(true, {101, 102, 201});
    setup_->Execute("update KAV_ORDER_DISCOUNT_SHOW set DISCOUNT = 80, TICKETPRICE = 304, TOTALPRICE = 608 "
                    "where ORDERCODE = '" +
                    order + "' and PRICELEVEL = 'A'");
    setup_->Execute("update KAV_ORDER_SHOW set RECEIVABLES = 788" + Where(order));
    // The order's customer, and a person registered for seat 101 only.
    setup_->Execute(
        "insert into KAV_MEMBER_IDENTTYPE (NODECODE, IDENTTYPEID, IDENTTYPENAME, CERTIFICATETYPE) "
        "values ('01', 1, '身份证', 'ID'), ('01', 2, '护照', 'PASSPORT')");
    office_->SaveFreeBookInfo(
        context_, "1", "", order,
        Packet({{"CNAME"}, {"IDENTCODE"}, {"IDENTTYPEID", TFieldType::ftInteger}}, {{"王五", "E123", 2}}));
    office_->SaveFreeBookInfo(context_, "2", "", order,
                              Packet({{"NAME"},
                                      {"IDNUM"},
                                      {"IDENTTYPEID", TFieldType::ftInteger},
                                      {"SEATCODE", TFieldType::ftInteger}},
                                     {{"甲", "110101", 1, 101}}));
    EXPECT_EQ(Account(order, AccountPacket({{order, "X", 788}})), 1);

    TClientDataSet ticket;
    Output(ticket, 101);
    ASSERT_EQ(ticket.RecordCount(), 1);
    EXPECT_DOUBLE_EQ(ticket.FieldByName("PARVALUE").AsFloat(), 304);
    EXPECT_EQ(ticket.FieldByName("DISCOUNTMARK").AsString(), "折");
    // Everything the face prints, but the names the client works out itself.
    for (const char* column :
         {"BARCODE",    "PARVALUE",   "SECTIONNAME",  "SECTIONENAME", "SECTIONDES",       "SECTIONEDES",
          "FLOORNAME",  "FLOORENAME", "ROWNAME",      "SEATNAME",     "SEATDESC",         "HAPPENTIME",
          "VIPMARK",    "GIFTMARK",   "DISCOUNTMARK", "TICKETMARK",   "ORDERNO",          "CLIENTNAME",
          "IDTYPENAME", "IDNUM",      "TICKETSERIAL", "SALETEL",      "ORDERHANDLERTIME", "PRINTTIME",
          "ORDERCODE",  "PRICEMARK",  "MEMBERMARK"})
        EXPECT_NE(ticket.FindField(column), nullptr) << column;
    for (const char* calculated : {"FULLSEATNAME", "QRCODE", "DAYOFWEEK"})
        EXPECT_EQ(ticket.FindField(calculated), nullptr) << calculated;
    EXPECT_EQ(ticket.FieldByName("SECTIONNAME").AsString(), "池座");
    EXPECT_EQ(ticket.FieldByName("SEATNAME").AsString(), "1");
    EXPECT_EQ(ticket.FieldByName("ORDERNO").AsString(), order);
    EXPECT_EQ(ticket.FieldByName("CLIENTNAME").AsString() + ticket.FieldByName("IDTYPENAME").AsString() +
                  ticket.FieldByName("IDNUM").AsString(),
              "甲身份证110101")
        << "the person registered for the seat";

    Output(ticket, 201, "Y");
    EXPECT_DOUBLE_EQ(ticket.FieldByName("PARVALUE").AsFloat(), 0);
    EXPECT_EQ(ticket.FieldByName("GIFTMARK").AsString(), "赠");
    EXPECT_EQ(ticket.FieldByName("CLIENTNAME").AsString() + ticket.FieldByName("IDTYPENAME").AsString() +
                  ticket.FieldByName("IDNUM").AsString(),
              "王五护照E123")
        << "no one registered for the seat: the order's customer";
    EXPECT_EQ(Text("select ORDERSTATUS from KAV_ORDER_SHOW" + Where(order)), "R")
        << "one seat still to print";

    // A seat still booked when its ticket is made (the order was paid elsewhere) is sold by it.
    setup_->Execute("update KAV_SEAT_SHOW set STATUS = 'B' where SEATCODE = 102");
    Output(ticket, 102);
    EXPECT_EQ(Text("select STATUS from KAV_SEAT_SHOW where SEATCODE = 102"), "O");
    EXPECT_EQ(Text("select ORDERSTATUS from KAV_ORDER_SHOW" + Where(order)), "A");
    EXPECT_EQ(Text("select ISPRINT from KAV_ORDER_SHOW" + Where(order)), "Y");
    EXPECT_EQ(Text("select ORDERHANDLERUSER from KAV_ORDER_SHOW" + Where(order)), "demo");
    EXPECT_FALSE(Text("select ORDERHANDLERTIME from KAV_ORDER_SHOW" + Where(order)).empty());
    EXPECT_EQ(Count("select count(*) from KAV_PRINT_LOG" + Where(order) +
                    " and PRINTKIND = 'O' and PRINTUSER = 'demo' and PRINTGROUP = 'G01'"),
              3);
}

TEST_P(TicketOutputTest, ASecondOutputIsRefusedAndAReprintHandsBackTheSameTicket) {
    const std::string order = PaidOrder({101, 102}, 760);
    TClientDataSet ticket;
    Output(ticket, 101);
    const std::string barcode = ticket.FieldByName("BARCODE").AsString();
    EXPECT_THAT(RemoteError([&] { Output(ticket, 101); }), HasSubstr("座位 101 已出票"));
    EXPECT_EQ(Count("select count(*) from KAV_TICKET_SHOW where SEATCODE = 101"), 1);

    ticket.SetData(office_->GetTicketInfo(context_, order, "101").ByteArrayView());
    ASSERT_EQ(ticket.RecordCount(), 1);
    EXPECT_EQ(ticket.FieldByName("BARCODE").AsString(), barcode);
    ticket.SetData(office_->GetTicketInfo(context_, order, "102").ByteArrayView());
    EXPECT_EQ(ticket.RecordCount(), 0) << "no ticket yet, nothing to reprint";
    EXPECT_EQ(Text("select PRINTKIND from KAV_PRINT_LOG where BARCODE = '" + barcode + "' order by PRINTID"),
              "O");
    EXPECT_EQ(
        Count("select count(*) from KAV_PRINT_LOG where PRINTKIND = 'R' and BARCODE = '" + barcode + "'"), 1);
    EXPECT_EQ(Count("select count(*) from KAV_PRINT_LOG"), 2);
    // The print log is read through the pipe like any table of the node.
    TTPDBPipe pipe(client_.get());
    TClientDataSet log;
    log.SetData(pipe.GetData(context_, "select PRINTKIND, PRINTUSER from KAV_PRINT_LOG where NODECODE = '01' "
                                       "order by PRINTID")
                    .ByteArrayView());
    EXPECT_EQ(log.RecordCount(), 2);
}

TEST_P(TicketOutputTest, EveryRefusedTicketNamesItsReasonAndWritesNothing) {
    const std::string cancelled = PaidOrder({101}, 380);
    setup_->Execute("update KAV_ORDER_SHOW set ORDERSTATUS = 'C'" + Where(cancelled));
    const std::string unpriced = PaidOrder({102}, 380);
    setup_->Execute("delete from KAV_ORDER_DISCOUNT_SHOW" + Where(unpriced));
    const struct {
        const char* seat;
        const char* product;
        std::string refusal;
    } cases[] = {
        {"105", "P1", "座位 105 不属于任何订单"}, // free
        {"901", "P9", "座位 901 不属于任何订单"}, // of another performance
        {"103", "P1", "订单 OLD1 不存在"},        // held by an order that is gone
        {"101", "P1", "订单 " + cancelled + " 已取消"},
        {"102", "P1", "订单 " + unpriced + " 没有票价等级 A 的价格"},
        {"1x", "P1", "座位号无效: 1x"},
    };
    const std::string before = State();
    const auto written = [&] {
        return Count("select count(*) from KAV_TICKET_SHOW") + Count("select count(*) from KAV_PRINT_LOG");
    };
    for (const auto& c : cases) {
        EXPECT_THAT(RemoteError([&] { office_->OutputTicket(context_, c.seat, "", "N", "SC1", c.product); }),
                    HasSubstr(c.refusal));
        EXPECT_EQ(written(), 0) << c.seat;
    }
    EXPECT_EQ(State(), before);
}

TEST_P(TicketOutputTest, TwoSellersPrintingOneSeatAtOnceMakeOneTicket) {
    const std::string order = PaidOrder({101, 102}, 760);
    int made = 0;
    std::vector<std::string> refusals;
    std::mutex mutex;
    auto seller = [&](int seat) {
        auto client = NewClient();
        TTPTicketOffice office(client.get());
        try {
            office.OutputTicket(context_, std::to_string(seat), "", "N", "SC1", "P1");
            std::lock_guard lock(mutex);
            ++made;
        } catch (const pelio::EosRemoteException& e) {
            std::lock_guard lock(mutex);
            refusals.push_back(e.what());
        }
    };
    std::vector<std::thread> sellers;
    for (int seat : {101, 101, 102, 102})
        sellers.emplace_back(seller, seat);
    for (auto& s : sellers)
        s.join();
    EXPECT_EQ(made, 2);
    ASSERT_EQ(refusals.size(), 2u);
    for (const std::string& refusal : refusals)
        EXPECT_THAT(refusal, HasSubstr("已出票"));
    EXPECT_EQ(Count("select count(*) from KAV_TICKET_SHOW" + Where(order)), 2);
    EXPECT_EQ(Text("select ORDERSTATUS from KAV_ORDER_SHOW" + Where(order)), "A")
        << "the last of two tickets made at once still collects the order";
}

TEST_P(TicketOutputTest, ReleaseSeatCancelsABookedUnpaidOrderOnly) {
    const std::string order = BookedOrder(true, {101, 102});
    EXPECT_TRUE(office_->ReleaseSeat(context_, order));
    EXPECT_EQ(Text("select ORDERSTATUS from KAV_ORDER_SHOW" + Where(order)), "C");
    EXPECT_EQ(Text("select ORDERHANDLERUSER from KAV_ORDER_SHOW" + Where(order)), "demo");
    EXPECT_EQ(Count("select count(*) from KAV_SEAT_SHOW where SEATCODE in (101, 102) and STATUS = 'F' and "
                    "ORDERCODE is null"),
              2);
    EXPECT_FALSE(office_->ReleaseSeat(context_, order)) << "nothing left to release";
    EXPECT_FALSE(office_->ReleaseSeat(context_, "NOPE"));

    const std::string paid = PaidOrder({201}, 180);
    const std::string before = State();
    EXPECT_THAT(RemoteError([&] { office_->ReleaseSeat(context_, paid); }), HasSubstr("已收款"));
    EXPECT_EQ(State(), before);
    // The seats given back are for sale again.
    EXPECT_FALSE(BookedOrder(true, {101}).empty());
}
