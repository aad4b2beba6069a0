// Aggregates by grouping level and calculated fields.
#include "datasettesting.h"

#include <gtest/gtest.h>

namespace kav {
namespace {

using testing::Column;

// USERCODE, PRODUCTCODE, PRICELEVEL, AMOUNT smallint, PRICE float.
void MakeSales(TClientDataSet& ds) {
    ds.AddFieldDef("USERCODE", TFieldType::ftString, 8);
    ds.AddFieldDef("PRODUCTCODE", TFieldType::ftString, 8);
    ds.AddFieldDef("PRICELEVEL", TFieldType::ftString, 1);
    ds.AddFieldDef("AMOUNT", TFieldType::ftSmallint);
    ds.AddFieldDef("PRICE", TFieldType::ftFloat);
    ds.CreateDataSet();
    ds.AppendRecord({"u1", "P1", "A", 2, 200.0});
    ds.AppendRecord({"u2", "P1", "A", 1, 100.0});
    ds.AppendRecord({"u1", "P1", "B", 3, 150.0});
    ds.AppendRecord({"u1", "P2", "A", 1, 90.0});
    ds.AppendRecord({"u1", "P1", "A", 4, 400.0});
}

TEST(Aggregates, ValuesFollowTheGroupOfTheCurrentRow) {
    TClientDataSet ds;
    MakeSales(ds);
    ds.AddIndex("MyIndex", "UserCode;ProductCode;PriceLevel");
    ds.SetIndexName("MyIndex");
    auto& amount = ds.AddAggregate("TotalAmount", "Sum(Amount)", 3, "MyIndex");
    auto& byUser = ds.AddAggregate("UserPrice", "sum( PRICE )", 1, "MyIndex");
    auto& rows = ds.AddAggregate("Rows", "count(*)", 2);
    auto& cheapest = ds.AddAggregate("Cheapest", "min(Price)", 0);
    auto& mean = ds.AddAggregate("Mean", "avg(Amount)", 0);

    ASSERT_TRUE(ds.FindKey({"u1", "P1", "A"}));
    EXPECT_EQ(amount.Value(), FieldValue(6)) << "integer sums stay integers";
    EXPECT_EQ(byUser.Value(), FieldValue(840.0));
    EXPECT_EQ(rows.Value(), FieldValue(3));
    EXPECT_EQ(cheapest.Value(), FieldValue(90.0));
    EXPECT_EQ(mean.Value(), FieldValue(11.0 / 5));
    ASSERT_TRUE(ds.FindKey({"u1", "P1", "B"}));
    EXPECT_EQ(amount.Value(), FieldValue(3));
    EXPECT_EQ(rows.Value(), FieldValue(3));
    ASSERT_TRUE(ds.FindKey({"u2"}));
    EXPECT_EQ(byUser.Value(), FieldValue(100.0));

    // Edits, deletions and filters change the values at once.
    ds.Edit();
    ds.FieldByName("PRICE").SetAsFloat(110);
    ds.Post();
    EXPECT_EQ(byUser.Value(), FieldValue(110.0));
    ASSERT_TRUE(ds.FindKey({"u1", "P1", "A"}));
    ds.Delete();
    ASSERT_TRUE(ds.FindKey({"u1", "P1", "A"}));
    EXPECT_EQ(amount.Value(), FieldValue(4)) << "the first of the group (amount 2) is gone";

    // Another index: aggregates bound to MyIndex go null, level beyond the index raises.
    ds.SetIndexFieldNames("PRODUCTCODE");
    EXPECT_TRUE(amount.Value().IsNull());
    EXPECT_THROW(rows.Value(), EDatabaseError);
    EXPECT_THROW(ds.AddAggregate("Bad", "median(PRICE)"), EDatabaseError);
    EXPECT_THROW(ds.AddAggregate("Bad", "sum(USERCODE)"), EDatabaseError);
    EXPECT_THROW(ds.AddAggregate("Bad", "sum(NOPE)"), EDatabaseError);
}

TEST(Aggregates, WholeTableWithoutIndexAndEmptyGroups) {
    TClientDataSet pay;
    pay.AddFieldDef("PayModeCode", TFieldType::ftString, 1);
    pay.AddFieldDef("PayMoney", TFieldType::ftFloat);
    pay.CreateDataSet();
    auto& total = pay.AddAggregate("TotalPay", "sum(PayMoney)");
    EXPECT_TRUE(total.Value().IsNull());
    pay.AppendRecord({"1", 100.5});
    pay.AppendRecord({"2", FieldValue()});
    pay.AppendRecord({"3", 20.0});
    EXPECT_EQ(total.Value(), FieldValue(120.5));
    pay.Delete();
    EXPECT_EQ(total.Value(), FieldValue(100.5));
}

TEST(CalculatedFields, ComputedPerRowKeptAcrossReloadsAndUsableInIndexes) {
    TClientDataSet ds;
    ds.AddFieldDef("ROWNAME", TFieldType::ftString, 8);
    ds.AddFieldDef("SEATNAME", TFieldType::ftString, 8);
    auto& full = ds.AddFieldDef("FULLSEATNAME", TFieldType::ftString, 20);
    full.kind = TFieldKind::fkInternalCalc;
    int calls = 0;
    ds.SetOnCalcFields([&calls](TClientDataSet& row) {
        ++calls;
        row.FieldByName("FULLSEATNAME")
            .SetAsString(row.FieldByName("ROWNAME").AsString() + "排" +
                         row.FieldByName("SEATNAME").AsString() + "号");
    });
    ds.CreateDataSet();
    ds.AppendRecord({"3", "9"});
    ds.AppendRecord({"1", "2"});
    EXPECT_EQ(ds.FieldByName("FULLSEATNAME").AsString(), "1排2号");
    EXPECT_THROW(ds.FieldByName("ROWNAME").SetAsString("x"), EDatabaseError);
    ds.Edit();
    EXPECT_THROW(ds.FieldByName("FULLSEATNAME").SetAsString("x"), EDatabaseError);
    ds.FieldByName("SEATNAME").SetAsString("5");
    EXPECT_EQ(ds.FieldByName("FULLSEATNAME").AsString(), "1排5号") << "recomputed while editing";
    ds.Post();
    ds.SetIndexFieldNames("FULLSEATNAME");
    EXPECT_EQ(Column(ds, "FULLSEATNAME"), (std::vector<std::string>{"1排5号", "3排9号"}));
    const int before = calls;
    Column(ds, "FULLSEATNAME");
    EXPECT_EQ(calls, before) << "values are cached until the row changes";

    // A packet never carries calculated values; the dataset keeps its calculated field.
    TClientDataSet reloaded;
    auto& calc = reloaded.AddFieldDef("FULLSEATNAME", TFieldType::ftString, 20);
    calc.kind = TFieldKind::fkCalculated;
    reloaded.SetOnCalcFields([](TClientDataSet& row) {
        row.FieldByName("FULLSEATNAME").SetAsString(row.FieldByName("ROWNAME").AsString());
    });
    reloaded.SetData(ds.Data());
    EXPECT_EQ(reloaded.FieldCount(), 3);
    reloaded.First();
    EXPECT_EQ(reloaded.FieldByName("FULLSEATNAME").AsString(), "3");
}

} // namespace
} // namespace kav
