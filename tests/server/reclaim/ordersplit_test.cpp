// The seat map services and the order split over real sockets on every test backend, on the demo
// data: a section with its floors and rows, the prices and seats; a whole suite split off with the
// money right to the cent; and every refusal leaving the database as it was.

#include "host/cabackgroundreclaim.h"
#include "host/camapseatshow.h"
#include "host/sqltext.h"
#include "platform/dataset/clientdataset.h"
#include "rpc/exceptions.h"
#include "server/reclaim/ordersplit.h"
#include "server/seed/seed.h"
#include "server/ticketoffice/sqlvalues.h"
#include "serverfixture.h"
#include "services/backgroundreclaim/tpbackgroundreclaim.h"
#include "services/dbpipe/tpdbpipe.h"

#include <functional>
#include <gmock/gmock.h>
#include <map>

using namespace kav;
using namespace kav::server;
using kav::server::e2e::RemoteError;
using kav::server::e2e::ServerFixture;
using pelio::Variant;
using ::testing::HasSubstr;

namespace {

constexpr const char* kSuiteOrder = "D0000011"; // two suites of three seats, levels B and C
constexpr const char* kPlainOrder = "D0000001"; // two A seats and a B seat, no suite

void Load(TClientDataSet& dataset, const Variant& packet) {
    dataset.SetData(packet.ByteArrayView());
}

struct SeatRow {
    std::int64_t code;
    std::string level;
};

class OrderSplitTest : public ServerFixture {
protected:
    void FillDatabase() override { SeedDatabase(database_->Db(), "bench:20"); }

    void SetUp() override {
        ServerFixture::SetUp();
        context_ = LoginAs("U002", "u002");
    }

    std::vector<SeatRow> SeatsOf(const std::string& order) {
        TCABackGroundReclaim reclaim(*client_);
        TClientDataSet seats;
        Load(seats, reclaim.GetOrderSeatsByOrderCode(context_, order));
        std::vector<SeatRow> rows;
        for (seats.First(); !seats.Eof(); seats.Next())
            rows.push_back(
                {seats.FieldByName("SEATCODE").AsLargeInt(), seats.FieldByName("PRICELEVEL").AsString()});
        return rows;
    }

    // The split as a client sends it: the order's database row, a row per seat and the count per level.
    std::string Split(const std::string& order, const std::vector<SeatRow>& seats,
                      pelio::TPelioClient* client = nullptr) {
        client = client ? client : client_.get();
        TTPDBPipe pipe(client);
        const Variant orderRow =
            pipe.GetData(context_, SqlFormat("select * from KAV_ORDER_SHOW where ORDERCODE = '%s'", {order}));
        TClientDataSet seatRows, counts;
        seatRows.AddFieldDef("NODECODE", TFieldType::ftString, 2);
        seatRows.AddFieldDef("SEATCODE", TFieldType::ftInteger);
        seatRows.AddFieldDef("ORDERCODE", TFieldType::ftString, 20);
        seatRows.CreateDataSet();
        counts.AddFieldDef("PriceLevel", TFieldType::ftString, 1);
        counts.AddFieldDef("ReclaimCount", TFieldType::ftInteger);
        counts.CreateDataSet();
        std::map<std::string, int> perLevel;
        std::string list;
        for (const SeatRow& seat : seats) {
            seatRows.AppendRecord({"01", seat.code, order});
            ++perLevel[seat.level];
            list += (list.empty() ? "'" : ",'") + std::to_string(seat.code) + "'";
        }
        for (const auto& [level, count] : perLevel)
            counts.AppendRecord({level, count});
        TCABackGroundReclaim reclaim(*client);
        return reclaim.OrderHandlerSplit(context_, list, orderRow, Variant::ByteArray(seatRows.Data()),
                                         Variant::ByteArray(counts.Data()));
    }

    std::vector<SqlValue> Order(const std::string& order) {
        const auto rows =
            setup_->Select("select SEATCOUNT, RECEIVABLES, ORDERSTATUS, ISSUITE, SALECLASSCODE, "
                           "ORDERPASSWORD, ORDERHANDLERUSER from KAV_ORDER_SHOW where ORDERCODE = ?1",
                           {order});
        return rows.empty() ? std::vector<SqlValue>() : rows.front();
    }

    // Level -> seats and cents of the order's price level lines.
    std::map<std::string, std::pair<std::int64_t, std::int64_t>> Lines(const std::string& order) {
        std::map<std::string, std::pair<std::int64_t, std::int64_t>> lines;
        for (const auto& row :
             setup_->Select("select PRICELEVEL, SEATAMOUNT, TOTALPRICE from "
                            "KAV_ORDER_DISCOUNT_SHOW where ORDERCODE = ?1 and SEATAMOUNT > 0",
                            {order}))
            lines[TextOf(row[0])] = {IntegerOf(row[1]), CentsOf(row[2])};
        return lines;
    }

    std::int64_t Price(const std::string& level) {
        return CentsOf(setup_
                           ->Select("select PRICE from KAV_PRICE_SHOW where PRODUCTCODE = 'P0001' and "
                                    "PRICELEVEL = ?1",
                                    {level})
                           .front()
                           .front());
    }

    // Every order's seats, lines and money still agree.
    void ExpectOrdersHoldTogether() {
        EXPECT_EQ(
            IntegerOf(setup_
                          ->Select("select count(*) from KAV_ORDER_SHOW o where o.ORDERSTATUS not in "
                                   "('C', 'U') and o.SEATCOUNT <> (select count(*) from KAV_SEAT_SHOW s "
                                   "where s.ORDERCODE = o.ORDERCODE)")
                          .front()
                          .front()),
            0);
        EXPECT_EQ(
            IntegerOf(setup_
                          ->Select("select count(*) from KAV_ORDER_SHOW o where o.SEATCOUNT <> (select "
                                   "sum(SEATAMOUNT) from KAV_ORDER_DISCOUNT_SHOW d where d.ORDERCODE = "
                                   "o.ORDERCODE) or abs(o.RECEIVABLES - (select sum(TOTALPRICE) from "
                                   "KAV_ORDER_DISCOUNT_SHOW d where d.ORDERCODE = o.ORDERCODE)) > 0.005")
                          .front()
                          .front()),
            0);
    }

    // The tables a split writes, as text, to see that a refusal changed nothing.
    std::string Snapshot() {
        std::string text;
        for (const char* sql :
             {"select ORDERCODE, SEATCOUNT, RECEIVABLES from KAV_ORDER_SHOW order by ORDERCODE",
              "select ORDERCODE, PRICELEVEL, SEATAMOUNT, TOTALPRICE from KAV_ORDER_DISCOUNT_SHOW order by "
              "ORDERCODE, PRICELEVEL",
              "select SEATCODE, ORDERCODE from KAV_SEAT_SHOW where ORDERCODE is not null order by SEATCODE",
              "select count(*) from KAV_ORDER_CLIENT_SHOW"})
            for (const auto& row : setup_->Select(sql)) {
                for (const auto& value : row)
                    text += TextOf(value) + "|";
                text += "\n";
            }
        return text;
    }

    std::string context_;
};

std::vector<SeatRow> OfLevel(const std::vector<SeatRow>& seats, const std::string& level,
                             std::size_t count = 99) {
    std::vector<SeatRow> chosen;
    for (const SeatRow& seat : seats)
        if (seat.level == level && chosen.size() < count) chosen.push_back(seat);
    return chosen;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, OrderSplitTest, ::testing::ValuesIn(test::TestBackends()),
                         [](const auto& info) { return test::BackendName(info.param); });

TEST(SeatCodeList, OnlyQuotedSeatCodesJoinedByCommas) {
    EXPECT_EQ(ParseSeatCodeList("'1001'"), (std::vector<std::int64_t>{1001}));
    EXPECT_EQ(ParseSeatCodeList("'1001','7','999999999'"), (std::vector<std::int64_t>{1001, 7, 999999999}));
    for (const char* bad :
         {"", "1001", "'1001',", ",'1001'", "'1001' ,'1002'", "'10a1'", "'0'", "'0123'", "''",
          "'1001','1001'", "'1001');delete from KAV_SEAT_SHOW;--", "'1234567890'", "'-5'"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(ParseSeatCodeList(bad), pelio::EosRemoteException);
    }
    std::string many;
    for (int seat = 1; seat <= static_cast<int>(kMaxSplitSeats) + 1; ++seat)
        many += (many.empty() ? "'" : ",'") + std::to_string(seat) + "'";
    EXPECT_THROW(ParseSeatCodeList(many), pelio::EosRemoteException);
}

TEST_P(OrderSplitTest, SectionPricesAndSeatsOfTheMap) {
    TCAMapSeatShow map(*client_);
    TClientDataSet section;
    Load(section, map.GetSection(context_, "P0001", "S0102"));
    ASSERT_EQ(section.RecordCount(), 1);
    EXPECT_EQ(section.FieldByName("CNAME").AsString(), "楼座");
    EXPECT_EQ(section.FieldByName("CELLCOLUMNS").AsInteger(), 150);
    TClientDataSet& floors = section.FieldByName("qryFloor").NestedDataSet();
    ASSERT_EQ(floors.RecordCount(), 2);
    floors.Last();
    EXPECT_EQ(floors.FieldByName("NAME").AsString(), "三层");
    TClientDataSet& rows = floors.FieldByName("qryRow").NestedDataSet();
    EXPECT_EQ(rows.RecordCount(), 12);
    EXPECT_TRUE(rows.Locate("ROWNO", {12}));
    EXPECT_EQ(rows.FieldByName("NAME").AsString(), "12排");
    EXPECT_THAT(RemoteError([&] { map.GetSection(context_, "P0001", "S0201"); }),
                HasSubstr("没有区域 S0201"));

    TClientDataSet prices;
    Load(prices, map.GetPrice(context_, "P0001"));
    EXPECT_EQ(prices.RecordCount(), 8);
    EXPECT_TRUE(prices.Locate("PRICELEVEL", {"B"}));
    EXPECT_EQ(Cents(prices.FieldByName("PRICE").AsFloat()), Price("B"));
    EXPECT_EQ(prices.FieldByName("TOTALSEATS").AsInteger(), 0);

    TCAFreeSaleShow freeSale(*client_);
    TClientDataSet seats;
    Load(seats, freeSale.GetSeat(context_, "S0101", "P0001"));
    EXPECT_GT(seats.RecordCount(), 900);
    for (const char* field : {"NODECODE", "SEATCODE", "FLOORNO", "ROWNO", "SEATNO", "ISADDITION", "ORDERCODE",
                              "STATUS", "KIND", "PRICELEVEL", "X", "Y", "SELECTED", "Description"})
        EXPECT_NE(seats.FindField(field), nullptr) << field;
    EXPECT_TRUE(seats.Locate("ORDERCODE", {kSuiteOrder}));
    EXPECT_EQ(seats.FieldByName("STATUS").AsString(), "B");
    EXPECT_EQ(seats.FieldByName("SELECTED").AsString(), "N");

    TCABackGroundReclaim reclaim(*client_);
    TClientDataSet info;
    Load(info, reclaim.GetReclaimSeatInfo(context_, kSuiteOrder));
    EXPECT_EQ(info.RecordCount(), 6);
    EXPECT_EQ(info.FieldByName("CREATEUSER").AsString(), "U002");
    EXPECT_TRUE(info.FieldByName("PRINTTIME").IsNull());
}

// One whole suite at level B leaves: each order keeps its own seats, lines and money, the new one
// a copy of the order with its own code and password.
TEST_P(OrderSplitTest, AWholeSuitePasses) {
    const std::vector<SeatRow> seats = SeatsOf(kSuiteOrder);
    ASSERT_EQ(seats.size(), 6u);
    const std::string code = Split(kSuiteOrder, OfLevel(seats, "B"));
    EXPECT_THAT(code, ::testing::MatchesRegex("K01[0-9]{8}"));

    const auto old = Order(kSuiteOrder), split = Order(code);
    ASSERT_FALSE(split.empty());
    EXPECT_EQ(IntegerOf(old[0]), 3);
    EXPECT_EQ(IntegerOf(split[0]), 3);
    EXPECT_EQ(CentsOf(old[1]), 2 * Price("C")); // a suite of two bought and one gift ticket
    EXPECT_EQ(CentsOf(split[1]), 2 * Price("B"));
    EXPECT_EQ(TextOf(split[2]), "B");
    EXPECT_EQ(TextOf(split[3]), "Y");
    EXPECT_EQ(TextOf(split[4]), "SC02");
    EXPECT_THAT(TextOf(split[5]), ::testing::MatchesRegex("[0-9]{6}"));
    EXPECT_NE(TextOf(split[5]), TextOf(old[5]));
    EXPECT_EQ(TextOf(split[6]), "U002");
    EXPECT_EQ(Lines(kSuiteOrder),
              (std::map<std::string, std::pair<std::int64_t, std::int64_t>>{{"C", {3, 2 * Price("C")}}}));
    EXPECT_EQ(Lines(code),
              (std::map<std::string, std::pair<std::int64_t, std::int64_t>>{{"B", {3, 2 * Price("B")}}}));
    EXPECT_EQ(SeatsOf(code).size(), 3u);
    EXPECT_EQ(TextOf(setup_->Select("select CNAME from KAV_ORDER_CLIENT_SHOW where ORDERCODE = ?1", {code})
                         .front()
                         .front()),
              "王五");
    ExpectOrdersHoldTogether();

    // The one suite left is the whole order now.
    EXPECT_THAT(RemoteError([&] { Split(kSuiteOrder, OfLevel(SeatsOf(kSuiteOrder), "C")); }),
                HasSubstr("不能将该订单所有座位拆分成一个新订单"));
}

// A line whose total does not divide evenly splits to the cent: both parts add up to the total.
TEST_P(OrderSplitTest, MoneySplitsToTheCent) {
    setup_->Execute(
        "update KAV_ORDER_DISCOUNT_SHOW set TOTALPRICE = TOTALPRICE + 0.01 where ORDERCODE = ?1 and "
        "PRICELEVEL = 'A'",
        {std::string(kPlainOrder)});
    setup_->Execute("update KAV_ORDER_SHOW set RECEIVABLES = RECEIVABLES + 0.01 where ORDERCODE = ?1",
                    {std::string(kPlainOrder)});
    const auto before = Lines(kPlainOrder);
    const std::int64_t receivables = CentsOf(Order(kPlainOrder)[1]);
    const std::string code = Split(kPlainOrder, OfLevel(SeatsOf(kPlainOrder), "A", 1));
    const auto left = Lines(kPlainOrder), moved = Lines(code);
    EXPECT_EQ(moved.at("A").first, 1);
    EXPECT_EQ(moved.at("A").second, (before.at("A").second + 1) / 2); // half of an odd cent rounds up
    EXPECT_EQ(left.at("A").second + moved.at("A").second, before.at("A").second);
    EXPECT_EQ(CentsOf(Order(kPlainOrder)[1]) + CentsOf(Order(code)[1]), receivables);
    EXPECT_EQ(left.at("B"), before.at("B"));
    ExpectOrdersHoldTogether();
}

// Each refusal names its reason and leaves every order, line and seat as it was.
TEST_P(OrderSplitTest, RefusalsChangeNothing) {
    const std::vector<SeatRow> seats = SeatsOf(kSuiteOrder);
    const std::vector<SeatRow> plain = SeatsOf(kPlainOrder);
    const std::string before = Snapshot();
    struct Case {
        const char* what;
        std::function<std::string()> split;
        const char* message;
    };
    const Case cases[] = {
        {"every seat", [&] { return Split(kSuiteOrder, seats); }, "不能将该订单所有座位拆分成一个新订单"},
        {"part of a suite", [&] { return Split(kSuiteOrder, OfLevel(seats, "B", 2)); }, "不是整套票"},
        {"a seat of another order",
         [&] {
             return Split(kSuiteOrder, {OfLevel(seats, "B")[0], plain[0]});
         },
         "已不属于订单 D0000011"},
        {"a paid order", [&] { return Split("D0000002", {SeatsOf("D0000002").front()}); }, "不是预订状态"},
        {"counts the seats do not give",
         [&] {
             TTPDBPipe pipe(client_.get());
             TClientDataSet counts;
             counts.AddFieldDef("PriceLevel", TFieldType::ftString, 1);
             counts.AddFieldDef("ReclaimCount", TFieldType::ftInteger);
             counts.CreateDataSet();
             counts.AppendRecord({"B", 2});
             TClientDataSet rows;
             rows.AddFieldDef("SEATCODE", TFieldType::ftInteger);
             rows.CreateDataSet();
             rows.AppendRecord({plain[0].code});
             TCABackGroundReclaim reclaim(*client_);
             return reclaim.OrderHandlerSplit(
                 context_, "'" + std::to_string(plain[0].code) + "'",
                 pipe.GetData(context_, SqlFormat("select * from KAV_ORDER_SHOW where ORDERCODE = '%s'",
                                                  {kPlainOrder})),
                 Variant::ByteArray(rows.Data()), Variant::ByteArray(counts.Data()));
         },
         "与所选座位不符"},
        {"a list that is not seat codes",
         [&] {
             TCABackGroundReclaim reclaim(*client_);
             return reclaim.OrderHandlerSplit(context_, "'1001' or 1=1", Variant::ByteArray(""),
                                              Variant::ByteArray(""), Variant::ByteArray(""));
         },
         "不是座位号"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_THAT(RemoteError(c.split), HasSubstr(c.message));
        EXPECT_EQ(Snapshot(), before);
    }
}

// A refused try followed by a new selection: the second split sends and moves only its own seats.
// Another order handler splitting the same seats first leaves this one refused, moving nothing.
TEST_P(OrderSplitTest, TheSameSeatsCannotLeaveTwice) {
    const std::vector<SeatRow> seats = SeatsOf(kSuiteOrder);
    EXPECT_THAT(RemoteError([&] { Split(kSuiteOrder, OfLevel(seats, "B", 2)); }), HasSubstr("不是整套票"));
    const std::vector<SeatRow> suiteC = OfLevel(seats, "C");
    auto other = NewClient();
    const std::string first = Split(kSuiteOrder, suiteC, other.get());
    const std::vector<SeatRow> moved = SeatsOf(first);
    EXPECT_EQ(moved.size(), 3u);
    EXPECT_EQ(OfLevel(moved, "C").size(), 3u);
    const std::string before = Snapshot();
    EXPECT_THAT(RemoteError([&] { Split(kSuiteOrder, suiteC); }), HasSubstr("已不属于订单 D0000011"));
    EXPECT_EQ(Snapshot(), before);
    ExpectOrdersHoldTogether();
}
