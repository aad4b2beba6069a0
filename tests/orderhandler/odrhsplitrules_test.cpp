// The order split's rules: suite terms, the whole-suite check and the count and money per price level.
#include "orderhandler/cdorderhandlerchangeseat.h"
#include "orderhandler/odrhsplitrules.h"
#include "platform/dataset/clientdataset.h"
#include "statementcatalogue.h"

#include <gtest/gtest.h>

using namespace kav;
using namespace kav::orderhandler;

namespace {

// Three tickets per suite: two bought, one gift.
TSuiteTerms ThreeTicketSuites(TSuiteTerms::Pricing pricing = TSuiteTerms::Pricing::FixedPrice) {
    TSuiteTerms terms;
    terms.pricing = pricing;
    terms.ticketsPerSuite = 3;
    terms.giftsPerSuite = 1;
    terms.levels["B"] = {1360.0, 90, 2};
    terms.levels["C"] = {960.0, 90, 2};
    return terms;
}

std::vector<TSplitSeat> Seats(const std::string& levels, const std::string& statuses = "") {
    std::vector<TSplitSeat> seats;
    for (std::size_t i = 0; i < levels.size(); ++i)
        seats.push_back({std::string(1, levels[i]), statuses.empty() ? "B" : std::string(1, statuses[i])});
    return seats;
}

} // namespace

TEST(SplitRules, SuiteTermsComeFromTheFirstRow) {
    TClientDataSet suite;
    for (const char* name : {"SaleClassCode", "PriceLevel"})
        suite.AddFieldDef(name, TFieldType::ftString, 8);
    suite.AddFieldDef("TicketNum", TFieldType::ftInteger);
    suite.AddFieldDef("TotalPrices", TFieldType::ftFloat);
    suite.AddFieldDef("Discount", TFieldType::ftInteger);
    suite.AddFieldDef("GiftNum", TFieldType::ftInteger);
    suite.CreateDataSet();
    EXPECT_EQ(ReadSuiteTerms(suite).ticketsPerSuite, 0);

    suite.AppendRecord({"SC02", "B", 2, FieldValue(), 100, 1});
    suite.AppendRecord({"SC02", "C", 2, 960.0, 100, 1});
    TSuiteTerms terms = ReadSuiteTerms(suite);
    EXPECT_EQ(terms.pricing, TSuiteTerms::Pricing::WithGifts); // the first row has no suite price
    EXPECT_EQ(terms.ticketsPerSuite, 3);
    EXPECT_EQ(terms.giftsPerSuite, 1);
    EXPECT_FALSE(terms.levels.at("B").totalPrices);
    EXPECT_EQ(terms.levels.at("C").totalPrices, 960.0);

    suite.First();
    suite.Edit();
    suite.FieldByName("GiftNum").Clear();
    suite.Post();
    EXPECT_EQ(ReadSuiteTerms(suite).pricing, TSuiteTerms::Pricing::ByDiscount);
}

TEST(SplitRules, WholeSuites) {
    const TSuiteTerms terms = ThreeTicketSuites();
    struct Case {
        std::string levels, statuses, refusal;
    };
    const Case cases[] = {
        {"BBB", "", ""},
        {"BBBCCC", "", ""},
        {"BBBB", "", "请选择完整的套票座位！"},
        {"BBC", "", "票价等级选择不对，不属于完整套票，请重新选择！"},
        {"BBCCCC", "", "票价等级选择不对，不属于完整套票，请重新选择！"},
        {"BBB", "BBG", ""},                                                 // one gift per suite
        {"BBB", "BGG", "赠票座位的选择不对，不属于完整套票，请重新选择！"}, // two gifts in one suite
        {"BBBCCC", "BBGBBG", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.levels + " " + c.statuses);
        EXPECT_EQ(ValidSuitTicket(Seats(c.levels, c.statuses), terms), c.refusal);
    }
    // Terms without tickets per suite refuse instead of dividing by zero.
    TSuiteTerms missing = terms;
    missing.ticketsPerSuite = 0;
    EXPECT_EQ(ValidSuitTicket(Seats("BBB"), missing), kSuiteTermsMissingText);
}

TEST(SplitRules, CountAndMoneyPerLevel) {
    const std::vector<TOrderDiscountLine> lines = {
        {"A", 99.99, 85, 84.99, 169.98}, {"B", 680, 100, 680, 2040}, {"C", 480, 100, 480, 1440}};
    const auto seats = [](std::initializer_list<std::pair<const char*, double>> list) {
        std::vector<TReclaimSeat> result;
        for (const auto& [level, price] : list)
            result.push_back({level, price});
        return result;
    };

    // Without a suite: the order's ticket price per seat, to the cent; a level without a line is left out.
    EXPECT_EQ(GetReclaimCountAndMoney(seats({{"A", 99.99}, {"A", 99.99}, {"D", 380}}), lines, nullptr, "2"),
              (std::vector<TReclaimLine>{{"A", "99.99", 85, 2, 16998}}));

    const auto suite = [&](TSuiteTerms::Pricing pricing, const char* from) {
        const TSuiteTerms terms = ThreeTicketSuites(pricing);
        return GetReclaimCountAndMoney(seats({{"B", 680},
                                              {"B", 680},
                                              {"B", 680},
                                              {"C", 480},
                                              {"C", 480},
                                              {"C", 480},
                                              {"C", 480},
                                              {"C", 480},
                                              {"C", 480}}),
                                       lines, &terms, from);
    };
    // A fixed price per suite.
    EXPECT_EQ(suite(TSuiteTerms::Pricing::FixedPrice, "2"),
              (std::vector<TReclaimLine>{{"B", "680", 100, 3, 136000}, {"C", "480", 100, 6, 192000}}));
    // Bought tickets at the seat's price, gifts free.
    EXPECT_EQ(suite(TSuiteTerms::Pricing::WithGifts, "2"),
              (std::vector<TReclaimLine>{{"B", "680", 100, 3, 136000}, {"C", "480", 100, 6, 192000}}));
    // The suite's discount over every ticket.
    EXPECT_EQ(suite(TSuiteTerms::Pricing::ByDiscount, "2"),
              (std::vector<TReclaimLine>{{"B", "680", 90, 3, 183600}, {"C", "480", 90, 6, 259200}}));
    // An online order takes its lines' totals.
    EXPECT_EQ(suite(TSuiteTerms::Pricing::FixedPrice, "3"),
              (std::vector<TReclaimLine>{{"B", "680", 100, 3, 204000}, {"C", "480", 100, 6, 144000}}));
}

TEST(SplitRules, OnlyCodesAreOrderCodes) {
    for (const char* code : {"K0100000012", "D0000011", "AB"})
        EXPECT_TRUE(IsOrderCode(code)) << code;
    for (const char* answer : {"", "N", "Y", "K01 0001", "订单", "K0100000012K0100000012", "-1"})
        EXPECT_FALSE(IsOrderCode(answer)) << answer;
}

// The split's statements are the catalogued ones, and an apostrophe in a code stays inside its literal.
TEST(SplitRules, StatementsAreTheCataloguedOnes) {
    using test::CataloguedStatement;
    EXPECT_EQ(SplitReloadOrderSQL("01", "D0000001", "P0001"), CataloguedStatement("split.reload_order").sql);
    EXPECT_EQ(SplitSuiteValuesSQL("P0001", "SC02"), CataloguedStatement("split.suite_values").sql);
    EXPECT_EQ(SplitOrderDiscountSQL("D0000001"), CataloguedStatement("split.order_discount").sql);
    EXPECT_EQ(SplitProductSQL("01", "P0001"), CataloguedStatement("split.product").sql);
    EXPECT_EQ(SplitPlaceSQL("01", "PL01"), CataloguedStatement("split.place").sql);
    EXPECT_NE(SplitOrderDiscountSQL("x' or '1'='1").find("'x'' or ''1''=''1'"), std::string::npos);
}
