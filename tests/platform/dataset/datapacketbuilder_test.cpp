// Packets written row by row must read back through the dataset's own decoder, and every misuse
// must be refused before it can produce a packet the decoder would reject.
#include "platform/dataset/clientdataset.h"
#include "platform/dataset/datapacketbuilder.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace kav {
namespace {

std::vector<TFieldDef> LineFields() {
    return {MakeFieldDef("QTY", TFieldType::ftInteger)};
}

std::vector<TFieldDef> AllFields() {
    auto lines = MakeFieldDef("Lines", TFieldType::ftDataSet);
    lines.nestedFields = LineFields();
    return {MakeFieldDef("NAME", TFieldType::ftString, 10), MakeFieldDef("S", TFieldType::ftSmallint),
            MakeFieldDef("I", TFieldType::ftInteger),       MakeFieldDef("L", TFieldType::ftLargeint),
            MakeFieldDef("F", TFieldType::ftFloat),         MakeFieldDef("C", TFieldType::ftCurrency),
            MakeFieldDef("B", TFieldType::ftBoolean),       MakeFieldDef("AT", TFieldType::ftDateTime),
            MakeFieldDef("MEMO", TFieldType::ftMemo),       lines};
}

TEST(DataPacketBuilder, RowsReadBackThroughTheDataset) {
    TDataPacketBuilder builder(AllFields());
    TDataPacketBuilder detail(LineFields());
    builder.BeginRow();
    builder.AddString("张三");
    builder.AddInteger(-32768);
    builder.AddInteger(2147483647);
    builder.AddInteger(-5'000'000'000);
    builder.AddFloat(0.1);
    builder.AddFloat(880.125);
    builder.AddBoolean(true);
    builder.AddDateTime(46000.75);
    builder.AddString(std::string(100000, 'x'));
    for (int qty : {3, 4}) {
        detail.BeginRow();
        detail.AddInteger(qty);
    }
    builder.AddNested(detail);
    // A second row of nulls whose nested table is empty.
    builder.BeginRow();
    for (int i = 0; i < 9; ++i)
        builder.AddNull();
    detail.ClearRows();
    builder.AddNested(detail);

    TClientDataSet ds;
    ds.SetData(builder.Packet());
    ASSERT_EQ(ds.RecordCount(), 2);
    ds.First();
    EXPECT_EQ(ds.FieldByName("name").AsString(), "张三");
    EXPECT_EQ(ds.FieldByName("S").AsInteger(), -32768);
    EXPECT_EQ(ds.FieldByName("I").AsInteger(), 2147483647);
    EXPECT_EQ(ds.FieldByName("L").AsLargeInt(), -5'000'000'000);
    EXPECT_DOUBLE_EQ(ds.FieldByName("F").AsFloat(), 0.1);
    EXPECT_DOUBLE_EQ(ds.FieldByName("C").AsCurrency(), 880.125);
    EXPECT_TRUE(ds.FieldByName("B").AsBoolean());
    EXPECT_DOUBLE_EQ(ds.FieldByName("AT").AsDateTime(), 46000.75);
    EXPECT_EQ(ds.FieldByName("MEMO").AsString().size(), 100000u);
    auto& lines = ds.FieldByName("Lines").NestedDataSet();
    ASSERT_EQ(lines.RecordCount(), 2);
    lines.Last();
    EXPECT_EQ(lines.FieldByName("QTY").AsInteger(), 4);
    ds.Next();
    for (int i = 0; i < 9; ++i)
        EXPECT_TRUE(ds.Fields(i).IsNull()) << ds.Fields(i).FieldName();
    EXPECT_EQ(ds.FieldByName("Lines").NestedDataSet().RecordCount(), 0);
    EXPECT_EQ(ds.ChangeCount(), 0);
}

TEST(DataPacketBuilder, RefusesFieldsNoPacketMayHave) {
    auto calculated = MakeFieldDef("X", TFieldType::ftInteger);
    calculated.kind = TFieldKind::fkCalculated;
    auto nestedDuplicate = MakeFieldDef("D", TFieldType::ftDataSet);
    nestedDuplicate.nestedFields = {MakeFieldDef("a", TFieldType::ftString),
                                    MakeFieldDef("A", TFieldType::ftString)};
    for (const auto& fields : std::vector<std::vector<TFieldDef>>{
             {},
             {MakeFieldDef("", TFieldType::ftString)},
             {MakeFieldDef("Name", TFieldType::ftString), MakeFieldDef("NAME", TFieldType::ftInteger)},
             {calculated},
             {nestedDuplicate},
         }) {
        EXPECT_THROW(TDataPacketBuilder{fields}, EDatabaseError);
    }
}

TEST(DataPacketBuilder, RefusesValuesThatDoNotFit) {
    // Each case starts a fresh row of AllFields() and makes one wrong call at some field.
    using Step = std::function<void(TDataPacketBuilder&)>;
    const std::vector<std::pair<const char*, Step>> cases = {
        {"value before BeginRow", [](auto& b) { b.ClearRows(), b.AddNull(); }},
        {"integer into a string", [](auto& b) { b.AddInteger(1); }},
        {"text into a smallint", [](auto& b) { b.AddNull(), b.AddString("1"); }},
        {"smallint overflow", [](auto& b) { b.AddNull(), b.AddInteger(32768); }},
        {"integer overflow", [](auto& b) { b.AddNull(), b.AddNull(), b.AddInteger(-2147483649LL); }},
        {"currency beyond its range",
         [](auto& b) {
             for (int i = 0; i < 5; ++i)
                 b.AddNull();
             b.AddFloat(1e16);
         }},
        {"date-time not a number",
         [](auto& b) {
             for (int i = 0; i < 7; ++i)
                 b.AddNull();
             b.AddDateTime(std::nan(""));
         }},
        {"nested rows of other fields",
         [](auto& b) {
             for (int i = 0; i < 9; ++i)
                 b.AddNull();
             TDataPacketBuilder other({MakeFieldDef("QTY", TFieldType::ftString)});
             b.AddNested(other);
         }},
        {"more values than fields",
         [](auto& b) {
             for (int i = 0; i < 11; ++i)
                 b.AddNull();
         }},
        {"row left incomplete", [](auto& b) { b.AddNull(), b.BeginRow(); }},
        {"packet of an incomplete row", [](auto& b) { b.AddNull(), (void)b.Packet(); }},
    };
    for (const auto& [what, step] : cases) {
        SCOPED_TRACE(what);
        TDataPacketBuilder builder(AllFields());
        builder.BeginRow();
        EXPECT_THROW(step(builder), EDatabaseError);
    }
}

TEST(DataPacketBuilder, ARefusedValueLeavesTheRowToContinue) {
    TDataPacketBuilder builder(
        {MakeFieldDef("S", TFieldType::ftSmallint), MakeFieldDef("T", TFieldType::ftString)});
    builder.BeginRow();
    EXPECT_THROW(builder.AddInteger(40000), EDatabaseError);
    EXPECT_THROW(builder.AddString("x"), EDatabaseError);
    builder.AddInteger(7);
    builder.AddString("x");
    TClientDataSet ds;
    ds.SetData(builder.Packet());
    EXPECT_EQ(ds.FieldByName("S").AsInteger(), 7);
    EXPECT_EQ(ds.FieldByName("T").AsString(), "x");
}

} // namespace
} // namespace kav
