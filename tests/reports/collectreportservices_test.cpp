// The collect report services over real sockets: price levels and seat counts of the report cases, and the
// refusals of arguments that are not what they should be.

#include "host/cacollectreport.h"
#include "platform/dataset/clientdataset.h"
#include "reportserver.h"

#include <gmock/gmock.h>

using namespace kav;
using kav::reports::test::ReportServerTest;
using kav::server::e2e::RemoteError;
using ::testing::HasSubstr;

namespace {

class CollectReportServices : public ReportServerTest {
protected:
    void SetUp() override {
        ReportServerTest::SetUp();
        context_ = LoginAs("demo", "demo");
    }

    static void Load(TClientDataSet& rows, const pelio::Variant& packet) {
        rows.SetData(packet.ByteArrayView());
    }

    // "T'01 A 380" per row.
    static std::vector<std::string> Prices(const pelio::Variant& packet) {
        TClientDataSet rows;
        Load(rows, packet);
        std::vector<std::string> prices;
        for (rows.First(); !rows.Eof(); rows.Next())
            prices.push_back(rows.FieldByName("PRODUCTCODE").AsString() + " " +
                             rows.FieldByName("PRICELEVEL").AsString() + " " +
                             std::to_string(rows.FieldByName("PRICE").AsInteger()));
        return prices;
    }

    // "TM01 T'01 A4/2 C3/2 D2/2" per row: levels with seats, total/not sold.
    static std::vector<std::string> Seats(const pelio::Variant& packet) {
        TClientDataSet rows;
        Load(rows, packet);
        std::vector<std::string> seats;
        for (rows.First(); !rows.Eof(); rows.Next()) {
            std::string line =
                rows.FieldByName("MapCode").AsString() + " " + rows.FieldByName("PRODUCTCODE").AsString();
            for (char level : std::string_view("ABCDEFGHJKMN")) {
                const std::string l(1, level);
                const int total = rows.FieldByName(l + "_TotalAmount").AsInteger();
                if (total)
                    line += " " + l + std::to_string(total) + "/" +
                            std::to_string(rows.FieldByName(l + "_HoldAmount").AsInteger());
            }
            seats.push_back(line);
        }
        return seats;
    }

    std::string context_;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, CollectReportServices, ::testing::ValuesIn(server::test::TestBackends()),
                         kav::reports::test::BackendTestName);

TEST_P(CollectReportServices, PriceLevelsOfTheListedPerformances) {
    const std::vector<std::string> expected{"T'01 A 380", "T'01 C 180", "T'01 D 80", "T03 A 100"};
    TCAPerformCollectReport perform(*client_);
    TCAUserCollectReport user(*client_);
    TCAGroupCollectReport group(*client_);
    EXPECT_EQ(Prices(perform.GetPriceLevel(context_, "'T''01', 'T03'")), expected);
    EXPECT_EQ(Prices(user.GetPriceLevel(context_, "'T''01','T03'")), expected);
    EXPECT_EQ(Prices(group.GetPriceLevel(context_, " 'T03' ,'T''01' ")), expected);
    EXPECT_TRUE(Prices(perform.GetPriceLevel(context_, "'NONE'")).empty());

    for (const char* list :
         {"", "  ", "T'01", "'T03',", "'T03' or 1=1", "'T03'; delete from KAV_PRICE_SHOW", "''", "'T03"})
        EXPECT_THAT(RemoteError([&] { perform.GetPriceLevel(context_, list); }), HasSubstr("演出列表"))
            << list;
    EXPECT_THAT(RemoteError([&] { user.GetPriceLevel(context_ + "x", "'T03'"); }), HasSubstr("会话无效"));
    EXPECT_EQ(Prices(perform.GetPriceLevel(context_, "'T03'")).size(), 1u) << "nothing was deleted";
}

TEST_P(CollectReportServices, SeatCountsPerMapAndPerformance) {
    TCAPerformCollectReport perform(*client_);
    const std::string products = "T'01\nT02\r\nT03\n";
    // Free seats now; the added seat of level D counts only when asked for.
    EXPECT_EQ(Seats(perform.GetSeatAmount(context_, "", products, "1899-12-30 00:00:00", "", false, false)),
              (std::vector<std::string>{"TM01 T'01 A4/2 C3/2 D2/2", "TM01 T02 A5/5 B2/1", "TM03 T03 A3/3"}));
    EXPECT_EQ(Seats(perform.GetSeatAmount(context_, "TM01\n", "T'01", "", "", false, true)),
              (std::vector<std::string>{"TM01 T'01 A4/2 C3/2 D3/3"}));
    EXPECT_EQ(Seats(perform.GetSeatAmount(context_, "TM03", products, "", "", false, false)),
              (std::vector<std::string>{"TM03 T03 A3/3"}));
    // By the period: what the ledger had not sold by its end (place reservations and returns included).
    EXPECT_EQ(Seats(perform.GetSeatAmount(context_, "", products, "2025-06-01 00:00:00",
                                          "2025-06-30 23:59:59", true, false)),
              (std::vector<std::string>{"TM01 T'01 A4/1 C3/1 D2/1", "TM01 T02 A5/4 B2/1", "TM03 T03 A3/3"}));
    EXPECT_EQ(Seats(perform.GetSeatAmount(context_, "", "T'01", "", "2025-06-13 00:00:00", true, false)),
              (std::vector<std::string>{"TM01 T'01 A4/2 C3/3 D2/2"}));
    // The period is not used when the end is not set or the flag is off.
    EXPECT_EQ(Seats(perform.GetSeatAmount(context_, "", "T'01", "2025-06-01 00:00:00", "1899-12-30 00:00:00",
                                          true, false)),
              (std::vector<std::string>{"TM01 T'01 A4/2 C3/2 D2/2"}));

    EXPECT_THAT(RemoteError([&] { perform.GetSeatAmount(context_, "", "\n \n", "", "", false, false); }),
                HasSubstr("演出列表为空"));
    EXPECT_THAT(RemoteError([&] { perform.GetSeatAmount(context_, "", "T03", "昨天", "", false, false); }),
                HasSubstr("起始时间 '昨天'"));
    EXPECT_THAT(
        RemoteError([&] { perform.GetSeatAmount(context_, "", "T03", "", "2025-13-01", true, false); }),
        HasSubstr("结束时间"));
    std::string many;
    for (int i = 0; i < 1001; ++i)
        many += "P" + std::to_string(i) + "\n";
    EXPECT_THAT(RemoteError([&] { perform.GetSeatAmount(context_, "", many, "", "", false, false); }),
                HasSubstr("过多"));
}
