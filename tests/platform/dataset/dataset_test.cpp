// Field access and conversions, editing and the cursor, bookmarks, change notifications.
#include "datasettesting.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace kav {
namespace {

using testing::Column;
using testing::MakeOrders;

TEST(DataSetFields, ConversionsBetweenTypedAccessors) {
    TClientDataSet ds;
    ds.AddFieldDef("S", TFieldType::ftString, 20);
    ds.AddFieldDef("SI", TFieldType::ftSmallint);
    ds.AddFieldDef("I", TFieldType::ftInteger);
    ds.AddFieldDef("L", TFieldType::ftLargeint);
    ds.AddFieldDef("F", TFieldType::ftFloat);
    ds.AddFieldDef("C", TFieldType::ftCurrency);
    ds.AddFieldDef("B", TFieldType::ftBoolean);
    ds.AddFieldDef("D", TFieldType::ftDateTime);
    ds.CreateDataSet();
    ds.Append();
    ds.FieldByName("s").SetAsString("42");
    ds.FieldByName("si").SetAsString(" 7 ");
    ds.FieldByName("i").SetAsFloat(2.5); // rounds half away from zero
    ds.FieldByName("l").SetAsString("9007199254740993");
    ds.FieldByName("f").SetAsString("0.1");
    ds.FieldByName("c").SetAsFloat(0.1);
    ds.FieldByName("b").SetAsString("Yes");
    ds.FieldByName("d").SetAsString("2026-12-07 19:30");
    ds.Post();

    EXPECT_EQ(ds.FieldByName("S").AsInteger(), 42);
    EXPECT_THROW(ds.FieldByName("S").AsDateTime(), EDatabaseError);
    EXPECT_EQ(ds.FieldByName("SI").AsInteger(), 7);
    EXPECT_EQ(ds.FieldByName("I").AsInteger(), 3);
    EXPECT_EQ(ds.FieldByName("L").AsLargeInt(), 9007199254740993LL); // no detour through double
    EXPECT_EQ(ds.FieldByName("F").AsString(), "0.1");
    EXPECT_EQ(ds.FieldByName("C").AsString(), "0.1");
    EXPECT_TRUE(ds.FieldByName("B").AsBoolean());
    EXPECT_EQ(ds.FieldByName("B").AsString(), "True");
    EXPECT_EQ(ds.FieldByName("D").AsString(), "2026-12-07 19:30:00");
    EXPECT_DOUBLE_EQ(ds.FieldByName("D").AsDateTime(), EncodeDateTime({2026, 12, 7, 19, 30, 0, 0}));
    ds.Edit();
    ds.FieldByName("S").SetAsString(ds.FieldByName("D").AsString()); // a date kept as text reads back
    EXPECT_DOUBLE_EQ(ds.FieldByName("S").AsDateTime(), ds.FieldByName("D").AsDateTime());
    ds.Cancel();

    // Empty text clears a non-text field; nulls read as zero values.
    ds.Edit();
    ds.FieldByName("I").SetAsString("");
    EXPECT_TRUE(ds.FieldByName("I").IsNull());
    EXPECT_EQ(ds.FieldByName("I").AsInteger(), 0);
    EXPECT_EQ(ds.FieldByName("I").AsString(), "");
    ds.Cancel();
    EXPECT_EQ(ds.FieldByName("I").AsInteger(), 3);
}

// Values own their text: short texts inline, long ones on the heap; copies and moves of either
// must keep the text and leave the source valid.
TEST(DataSetFields, ValuesCopyAndMoveTheirText) {
    const std::string longText(100, 'x');
    for (const std::string& text :
         {std::string("short"), std::string(14, 's'), std::string(15, 'l'), longText}) {
        FieldValue original(text);
        FieldValue copy = original;
        EXPECT_EQ(copy.String(), text);
        FieldValue moved = std::move(copy);
        EXPECT_EQ(moved.String(), text);
        EXPECT_TRUE(copy.IsNull()); // NOLINT(bugprone-use-after-move): moved-from values are null
        copy = moved;
        moved = FieldValue(42);
        EXPECT_EQ(copy, original);
        auto& self = copy;
        copy = self;
        EXPECT_EQ(copy.String(), text);
        std::vector<FieldValue> many(50, original);
        many.erase(many.begin()); // moves every element down
        EXPECT_EQ(many.back().String(), text);
    }
    EXPECT_NE(FieldValue("1"), FieldValue(1));
    EXPECT_EQ(FieldValue(7LL), FieldValue(std::int16_t{7})) << "every integer type is an integer";
    EXPECT_EQ(FieldValue(), FieldValue());
}

TEST(DataSetFields, FloatsShowFifteenSignificantDigits) {
    TClientDataSet ds;
    ds.AddFieldDef("F", TFieldType::ftFloat);
    ds.CreateDataSet();
    // Whole numbers take a shortcut; every value must read exactly as %.15g prints it.
    for (double value : {880.0, -5.0, 600.5, 0.1 + 0.2, 123456789012345.0, 999999999999999.0, 1e15, -1e15,
                         1e300, 2.5e-7, -0.0, 4503599627370497.0}) {
        ds.Append();
        ds.FieldByName("F").SetAsFloat(value);
        char expected[32];
        std::snprintf(expected, sizeof expected, "%.15g", value);
        EXPECT_EQ(ds.FieldByName("F").AsString(), value == 0 ? "0" : expected) << expected;
        ds.Post();
    }
}

TEST(DataSetFields, CurrencySumsExactly) {
    TClientDataSet ds;
    ds.AddFieldDef("C", TFieldType::ftCurrency);
    ds.CreateDataSet();
    for (int i = 0; i < 10; ++i)
        ds.AppendRecord({0.1});
    auto& total = ds.AddAggregate("TOTAL", "sum(C)");
    ds.First();
    EXPECT_EQ(total.Value().Float(), 1.0);
}

TEST(DataSetFields, RefusesValuesThatDoNotFit) {
    TClientDataSet ds;
    ds.AddFieldDef("SI", TFieldType::ftSmallint);
    ds.AddFieldDef("I", TFieldType::ftInteger);
    ds.AddFieldDef("D", TFieldType::ftDateTime);
    ds.AddFieldDef("B", TFieldType::ftBoolean);
    ds.AddFieldDef("C", TFieldType::ftCurrency);
    ds.CreateDataSet();
    ds.Append();
    struct Case {
        const char* field;
        FieldValue value;
    };
    for (const auto& c : std::vector<Case>{{"SI", 40000},
                                           {"I", std::int64_t{1} << 40},
                                           {"I", "12abc"},
                                           {"D", "2026-02-30"},
                                           {"B", "maybe"},
                                           {"I", 1e300}}) {
        EXPECT_THROW(ds.FieldByName(c.field).SetValue(c.value), EDatabaseError) << c.field;
        EXPECT_TRUE(ds.FieldByName(c.field).IsNull()) << "a refused value must leave the field as it was";
    }
    try {
        ds.FieldByName("I").SetAsString("x1");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("'x1'"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("'I'"), std::string::npos) << e.what();
    }
}

TEST(DataSetFields, NamesIgnoreCaseAndUnknownNamesAreClear) {
    TClientDataSet ds;
    MakeOrders(ds);
    EXPECT_EQ(&ds.FieldByName("orderCode"), &ds.FieldByName("ORDERCODE"));
    EXPECT_EQ(ds.FindField("nope"), nullptr);
    try {
        ds.FieldByName("NOPE");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Field 'NOPE' not found");
    }
    TClientDataSet dup;
    dup.AddFieldDef("A", TFieldType::ftString);
    dup.AddFieldDef("a", TFieldType::ftInteger);
    EXPECT_THROW(dup.CreateDataSet(), EDatabaseError);
    EXPECT_FALSE(dup.Active());
    for (auto name : {"A;B", " A", ""}) {
        TClientDataSet bad;
        bad.AddFieldDef(name, TFieldType::ftString);
        EXPECT_THROW(bad.CreateDataSet(), EDatabaseError)
            << "'" << name << "' cannot be named in field lists";
    }
}

TEST(DataSetEditing, RequiredReadOnlyAndState) {
    TClientDataSet ds;
    MakeOrders(ds);
    EXPECT_THROW(ds.FieldByName("SEATCOUNT").SetAsInteger(1), EDatabaseError); // browse state
    ds.Append();
    EXPECT_EQ(ds.State(), TDataSetState::dsInsert);
    ds.FieldByName("SEATCOUNT").SetAsInteger(2);
    EXPECT_THROW(ds.Post(), EDatabaseError); // ORDERCODE is required
    EXPECT_EQ(ds.State(), TDataSetState::dsInsert) << "a refused post keeps the edit open";
    ds.FieldByName("ORDERCODE").SetAsString("A1");
    ds.Post();
    EXPECT_EQ(ds.RecordCount(), 1);
    ds.FieldByName("SEATCOUNT").SetReadOnly(true);
    ds.Edit();
    EXPECT_THROW(ds.FieldByName("SEATCOUNT").SetAsInteger(3), EDatabaseError);
    ds.Cancel();
    EXPECT_EQ(ds.FieldByName("SEATCOUNT").AsInteger(), 2);
}

TEST(DataSetEditing, CursorFollowsAppendInsertDeleteAndAutoPost) {
    TClientDataSet ds;
    MakeOrders(ds);
    EXPECT_TRUE(ds.Eof() && ds.Bof() && ds.IsEmpty());
    for (auto code : {"A", "B", "C"})
        ds.AppendRecord({code, 1});
    EXPECT_EQ(ds.RecNo(), 3);
    ds.First();
    ds.Next();
    ds.Insert(); // before B
    ds.FieldByName("ORDERCODE").SetAsString("X");
    ds.Next(); // moving posts the insert
    EXPECT_EQ(Column(ds, "ORDERCODE"), (std::vector<std::string>{"A", "X", "B", "C"}));
    ds.SetRecNo(2);
    EXPECT_EQ(ds.FieldByName("ORDERCODE").AsString(), "X");
    ds.Delete();
    EXPECT_EQ(ds.FieldByName("ORDERCODE").AsString(), "B") << "after a delete the next row is current";
    ds.Last();
    ds.Delete();
    EXPECT_EQ(ds.FieldByName("ORDERCODE").AsString(), "B") << "deleting the last row moves to the new last";
    EXPECT_EQ(ds.RecordCount(), 2);

    // Walking: Eof only after stepping past the end, Bof after First or stepping before it.
    ds.First();
    EXPECT_TRUE(ds.Bof());
    int seen = 0;
    while (!ds.Eof()) {
        ++seen;
        ds.Next();
    }
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(ds.MoveBy(-5), -1);
    EXPECT_TRUE(ds.Bof());
}

TEST(DataSetEditing, BookmarksSurviveReorderingAndDieWithTheirRow) {
    TClientDataSet ds;
    MakeOrders(ds);
    for (auto code : {"C", "A", "B"})
        ds.AppendRecord({code});
    ds.First();
    auto c = ds.GetBookmark();
    ds.SetIndexFieldNames("ORDERCODE");
    ds.First();
    ds.GotoBookmark(c);
    EXPECT_EQ(ds.FieldByName("ORDERCODE").AsString(), "C");
    EXPECT_EQ(ds.RecNo(), 3);
    ds.Delete();
    EXPECT_FALSE(ds.BookmarkValid(c));
    EXPECT_THROW(ds.GotoBookmark(c), EDatabaseError);
}

TEST(DataSetEditing, CopyFromIsIndependentAndEmptyDataSetClearsAll) {
    TClientDataSet source;
    MakeOrders(source);
    source.AppendRecord({"A", 1});
    TClientDataSet copy;
    copy.CopyFrom(source);
    copy.Edit();
    copy.FieldByName("SEATCOUNT").SetAsInteger(9);
    copy.Post();
    EXPECT_EQ(source.FieldByName("SEATCOUNT").AsInteger(), 1);
    EXPECT_EQ(copy.ChangeCount(), 2); // the copied insertion and the edit
    copy.EmptyDataSet();
    EXPECT_EQ(copy.RecordCount(), 0);
    EXPECT_EQ(copy.ChangeCount(), 0);
}

// Records notifications as text, checking that begin/end come in pairs.
class Recorder final : public TDataSetObserver {
public:
    std::vector<std::string> events;
    int open = 0;
    void DataSetBeginInsertRows(int first, int last) override { Begin("insert " + Range(first, last)); }
    void DataSetEndInsertRows() override { --open; }
    void DataSetBeginRemoveRows(int first, int last) override { Begin("remove " + Range(first, last)); }
    void DataSetEndRemoveRows() override { --open; }
    void DataSetRowChanged(int row) override { events.push_back("changed " + std::to_string(row)); }
    void DataSetBeginReset() override { Begin("reset"); }
    void DataSetEndReset() override { --open; }

private:
    void Begin(std::string what) {
        EXPECT_EQ(open, 0) << "nested begin: " << what;
        ++open;
        events.push_back(std::move(what));
    }
    static std::string Range(int a, int b) { return std::to_string(a) + "-" + std::to_string(b); }
};

TEST(DataSetNotifications, ViewChangesAreReportedAsRows) {
    TClientDataSet ds;
    MakeOrders(ds);
    for (auto code : {"A", "C", "E"})
        ds.AppendRecord({code});
    ds.SetIndexFieldNames("ORDERCODE");
    Recorder recorder;
    ds.AddObserver(&recorder);

    ds.AppendRecord({"B"}); // sorts into row 1
    ds.Edit();
    ds.FieldByName("SEATCOUNT").SetAsInteger(5); // shown while editing
    ds.Post();                                   // stays in place
    ds.Edit();
    ds.FieldByName("ORDERCODE").SetAsString("Z");
    ds.Post(); // moves to the end
    ds.Delete();
    EXPECT_EQ(recorder.open, 0);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"insert 1-1", "changed 1", "changed 1", "changed 1",
                                                         "remove 1-1", "insert 3-3", "remove 3-3"}));

    recorder.events.clear();
    ds.DisableControls();
    ds.AppendRecord({"Q"});
    ds.AppendRecord({"R"});
    EXPECT_TRUE(recorder.events.empty());
    ds.EnableControls();
    EXPECT_EQ(recorder.events, std::vector<std::string>{"reset"});

    // New data keeps index and filter and is one reset, however much it changes.
    ds.SetFilter("ORDERCODE > 'B'");
    ds.SetFiltered(true);
    recorder.events.clear();
    ds.SetData(ds.Data());
    EXPECT_EQ(recorder.events, std::vector<std::string>{"reset"});
    EXPECT_EQ(Column(ds, "ORDERCODE"), (std::vector<std::string>{"C", "E", "Q", "R"}));
    ds.RemoveObserver(&recorder);
}

} // namespace
} // namespace kav
