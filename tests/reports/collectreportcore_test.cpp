// What the collect reports share, without a server: prices by level letter, the sale texts, the groups and
// sums of the sale rows, and the orders.

#include "reports/common/collectreportcore.h"

#include <gmock/gmock.h>

using namespace kav;
using namespace kav::reports;

namespace {

void AddRow(TClientDataSet& ds, std::initializer_list<FieldValue> values) {
    ds.AppendRecord(values);
}

} // namespace

TEST(CollectReportCore, PricesGoToTheirLettersColumnWhateverTheRowOrder) {
    TClientDataSet prices;
    prices.AddFieldDef("PRODUCTCODE", TFieldType::ftString, 8);
    prices.AddFieldDef("PRICELEVEL", TFieldType::ftString, 1);
    prices.AddFieldDef("PRICE", TFieldType::ftFloat);
    prices.CreateDataSet();
    // D before A, no B, letters without a column (I, L, Z, empty), and more rows than there are columns.
    AddRow(prices, {"P1", "D", 80.0});
    AddRow(prices, {"P1", "A", 380.0});
    AddRow(prices, {"P1", "C", 180.0});
    for (const char* letter : {"I", "L", "Z", "", "AB"})
        AddRow(prices, {"P1", letter, 999.0});
    for (const char* letter : {"A", "B", "C", "D", "E", "F", "G", "H", "J", "K", "M", "N"})
        AddRow(prices, {"P2", letter, 10.0});
    AddRow(prices, {"P2", "N", 12.0});

    const auto byProduct = PricesByProduct(prices);
    ASSERT_EQ(byProduct.size(), 2u);
    EXPECT_EQ(byProduct.at("P1"), (TLevelPrices{380, 0, 180, 80, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(byProduct.at("P2")[11], 12) << "a level priced twice keeps its last price";
    EXPECT_EQ(LevelSlot("J"), 8u);
    EXPECT_FALSE(LevelSlot("I"));
    EXPECT_FALSE(LevelSlot("a"));
}

TEST(CollectReportCore, SaleTextsFollowTheSaleClassOrTheSort) {
    struct Case {
        const char *sortCode, *sortName, *classCode, *className, *discount;
        const char *code, *sort, *saleClass, *className_;
    };
    const Case cases[] = {
        {"01", "售票", "SC01", "正价票", "100", "01", "售票", "正价票(100%)", "正价票"},
        {"02", "退票", " SC03 ", "八折", "80", "02", "退票", "八折(80%)", "八折"},
        {"01", "售票", "", "", "100", "01", "售票", "普通票(100%)", "普通票"},
        {"02", "退票", "  ", "", "100", "01", "售票", "退票(100%)", "退票"},
        {"05", "提票", "", "", "100", "05", "提票", "提票(100%)", "提票"},
        {"08", "赠票", "", "", "0", "08", "赠票", "赠票(0%)", "赠票"},
    };
    for (const Case& c : cases) {
        const TSaleTexts texts = SaleTextsOf(c.sortCode, c.sortName, c.classCode, c.className, c.discount);
        EXPECT_EQ(texts.sortCode, c.code) << c.sortCode << c.classCode;
        EXPECT_EQ(texts.saleSort, c.sort) << c.sortCode << c.classCode;
        EXPECT_EQ(texts.saleClass, c.saleClass) << c.sortCode << c.classCode;
        EXPECT_EQ(texts.saleClassName, c.className_) << c.sortCode << c.classCode;
    }
    EXPECT_EQ(OrderSourceName("3"), "网上");
    EXPECT_EQ(OrderSourceName(""), "柜台");
}

TEST(CollectReportCore, SaleRowsAddUpPerGroupAndLevel) {
    TClientDataSet packet;
    packet.AddFieldDef("ProductCode", TFieldType::ftString, 8);
    packet.AddFieldDef("SortCode", TFieldType::ftString, 2);
    packet.AddFieldDef("SaleClassCode", TFieldType::ftString, 8);
    packet.AddFieldDef("Discount", TFieldType::ftInteger);
    packet.AddFieldDef("OrderSource", TFieldType::ftString, 1);
    packet.AddFieldDef("PriceLevel", TFieldType::ftString, 1);
    packet.AddFieldDef("Amount", TFieldType::ftInteger);
    packet.AddFieldDef("Price", TFieldType::ftFloat);
    packet.CreateDataSet();
    AddRow(packet, {"P1", "01", "SC01", 100, "1", "C", 1, 0.1});
    AddRow(packet, {"P1", "01", FieldValue(), 100, "1", "A", 1, 80.0}); // no sale class: a group of its own
    AddRow(packet, {"P1", "01", "SC01", 100, "1", "A", 2, 760.0});
    AddRow(packet, {"P1", "01", "SC01", 100, "1", "C", 1, 0.2});   // money in cents: 0.1 + 0.2 is 0.30
    AddRow(packet, {"P1", "01", "SC01", 100, "1", "L", 5, 500.0}); // a map-only level is not counted
    AddRow(packet, {"P1", "01", "SC01", 80, "1", "A", 1, 304.0});
    AddRow(packet, {"P1", "02", "SC01", 100, "1", "A", -1, -380.0});

    TSaleRows rows("ProductCode;SortCode;SaleClassCode;DisCount;ORDERSOURCE;PriceLevel");
    rows.Load(packet.Data());
    std::vector<std::string> groups;
    rows.ForEachGroup([&](TClientDataSet& row, const TLevelSums& sums) {
        std::string line = row.FieldByName("SortCode").AsString() + "/" +
                           row.FieldByName("SaleClassCode").AsString() + "/" +
                           row.FieldByName("Discount").AsString() + ":";
        for (std::size_t i = 0; i < kLevelCount; ++i)
            if (sums.amount[i] || sums.money[i])
                line += " " + std::string(1, FPriceLevel[i]) + std::to_string(sums.amount[i]) + "=" +
                        std::to_string(static_cast<long long>(sums.money[i] * 100));
        groups.push_back(line);
    });
    EXPECT_THAT(groups, ::testing::ElementsAre("01//100: A1=8000", "01/SC01/80: A1=30400",
                                               "01/SC01/100: A2=76000 C2=30", "02/SC01/100: A-1=-38000"));
}

TEST(CollectReportCore, OrdersForTheSortOption) {
    EXPECT_EQ(ReportOrder("PlaceName", ""),
              "PlaceName;HappenTime;ProductName;SortCode;SaleClassName;DisCount;OrderSource");
    EXPECT_EQ(ReportOrder("ProductName", "UserName;"),
              "UserName;ProductName;HappenTime;PlaceName;SortCode;SaleClassName;DisCount;OrderSource");
    EXPECT_EQ(ReportOrder("anything", ""),
              "HappenTime;ProductName;PlaceName;SortCode;SaleClassName;DisCount;OrderSource");
}
