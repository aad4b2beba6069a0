// Index order, key search, ranges and Locate.
#include "datasettesting.h"
#include "platform/dataset/conversions.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace kav {
namespace {

using testing::Column;

// PRICELEVEL string(1), SEATCODE integer, NAME string, PRICE float.
void MakeSeats(TClientDataSet& ds) {
    ds.AddFieldDef("PRICELEVEL", TFieldType::ftString, 1);
    ds.AddFieldDef("SEATCODE", TFieldType::ftInteger);
    ds.AddFieldDef("NAME", TFieldType::ftString, 16);
    ds.AddFieldDef("PRICE", TFieldType::ftFloat);
    ds.CreateDataSet();
    ds.AppendRecord({"B", 3, "Zhang", 80.0});
    ds.AppendRecord({"A", 7, "li", 120.0});
    ds.AppendRecord({"B", 1, "Wang", 90.0});
    ds.AppendRecord({"A", 2, "LI", 120.0});
    ds.AppendRecord({FieldValue(), 5, "Nobody", FieldValue()});
}

TEST(Order, IndexFieldNamesSortsWithNullsFirstAndKeepsInsertionOrderOfTies) {
    TClientDataSet ds;
    MakeSeats(ds);
    ds.SetIndexFieldNames("PriceLevel");
    EXPECT_EQ(Column(ds, "SEATCODE"), (std::vector<std::string>{"5", "7", "2", "3", "1"}));
    ds.SetIndexFieldNames("PRICELEVEL;SEATCODE");
    EXPECT_EQ(Column(ds, "SEATCODE"), (std::vector<std::string>{"5", "2", "7", "1", "3"}));
    // New and edited rows take their place in the order.
    ds.AppendRecord({"A", 4});
    ds.Locate("SEATCODE", {3});
    ds.Edit();
    ds.FieldByName("PRICELEVEL").SetAsString("0");
    ds.Post();
    EXPECT_EQ(ds.RecNo(), 2) << "the cursor follows the edited row";
    EXPECT_EQ(Column(ds, "SEATCODE"), (std::vector<std::string>{"5", "3", "2", "4", "7", "1"}));
    ds.SetIndexFieldNames("");
    EXPECT_EQ(Column(ds, "SEATCODE"), (std::vector<std::string>{"3", "7", "1", "2", "5", "4"}));
    EXPECT_THROW(ds.SetIndexFieldNames("PRICELEVEL;NOPE"), EDatabaseError);
}

TEST(Order, NamedIndexesWithDescendingAndCaseInsensitiveFields) {
    TClientDataSet ds;
    ds.AddIndex("ByCode", "SEATCODE"); // defined and chosen before the dataset opens
    ds.SetIndexName("ByCode");
    MakeSeats(ds);
    EXPECT_EQ(Column(ds, "SEATCODE"), (std::vector<std::string>{"1", "2", "3", "5", "7"}));
    ds.AddIndex("ByLevelDescCode", "PRICELEVEL;SEATCODE", {}, "SEATCODE");
    ds.AddIndex("ByNameNoCase", "NAME", {.descending = false, .caseInsensitive = true});
    ds.AddIndex("Backwards", "SEATCODE", {.descending = true, .caseInsensitive = false});
    ds.SetIndexName("bylevelDESCcode");
    EXPECT_EQ(Column(ds, "SEATCODE"), (std::vector<std::string>{"5", "7", "2", "3", "1"}));
    ds.SetIndexName("ByNameNoCase");
    EXPECT_EQ(Column(ds, "NAME"), (std::vector<std::string>{"li", "LI", "Nobody", "Wang", "Zhang"}));
    ds.SetIndexName("Backwards");
    EXPECT_EQ(Column(ds, "SEATCODE"), (std::vector<std::string>{"7", "5", "3", "2", "1"}));
    EXPECT_TRUE(ds.FindKey({3}));
    EXPECT_EQ(ds.RecNo(), 3);
    EXPECT_THROW(ds.SetIndexName("Missing"), EDatabaseError);
}

TEST(Order, FindKeyFindNearestAndRanges) {
    TClientDataSet ds;
    MakeSeats(ds);
    EXPECT_THROW(ds.FindKey({"A"}), EDatabaseError); // no index
    ds.SetIndexFieldNames("PRICELEVEL;SEATCODE");
    EXPECT_TRUE(ds.FindKey({"B", "1"})); // text converts to the key field's type
    EXPECT_EQ(ds.FieldByName("NAME").AsString(), "Wang");
    EXPECT_TRUE(ds.FindKey({"A"})); // a partial key finds the first row of the group
    EXPECT_EQ(ds.FieldByName("SEATCODE").AsInteger(), 2);
    ds.Last();
    EXPECT_FALSE(ds.FindKey({"C"}));
    EXPECT_EQ(ds.RecNo(), 5) << "a failed search leaves the cursor";
    ds.FindNearest({"A", 5});
    EXPECT_EQ(ds.FieldByName("SEATCODE").AsInteger(), 7);
    ds.FindNearest({"Z"});
    EXPECT_EQ(ds.RecNo(), 5);

    ds.SetRange({"A"}, {"A"});
    EXPECT_EQ(Column(ds, "SEATCODE"), (std::vector<std::string>{"2", "7"}));
    ds.AppendRecord({"A", 9});
    ds.AppendRecord({"C", 1}); // outside the range: stored, not shown
    EXPECT_EQ(Column(ds, "SEATCODE"), (std::vector<std::string>{"2", "7", "9"}));
    ds.SetRange({"A", 5}, {"B", 2});
    EXPECT_EQ(Column(ds, "SEATCODE"), (std::vector<std::string>{"7", "9", "1"}));
    ds.CancelRange();
    EXPECT_EQ(ds.RecordCount(), 7);
}

// Sorting takes shortcuts on 64-bit prefixes of the first key fields; on values chosen to
// collide (shared prefixes, case, null versus minimum, -0, NaN, empty texts) the order must be
// exactly the stable order of the plain comparison, and every row must be found by its key.
TEST(Order, SortedViewEqualsThePlainStableSort) {
    std::mt19937 random(11);
    const std::vector<FieldValue> texts = {FieldValue(), "",           "a",        "A",
                                           "ab",         "abcdefg",    "abcdefgh", "abcdefgX",
                                           "abcdefghij", "ABCDEFGHIJ", "zz",       std::string("a\0", 2)};
    const std::vector<FieldValue> integers = {FieldValue(),
                                              std::numeric_limits<std::int64_t>::min(),
                                              -1,
                                              0,
                                              1,
                                              7,
                                              std::numeric_limits<std::int64_t>::max()};
    const std::vector<FieldValue> floats = {
        FieldValue(), -0.0, 0.0, std::nan(""), -1.5, 1e300, -std::numeric_limits<double>::infinity(), 2.5};
    TClientDataSet ds;
    ds.AddFieldDef("ID", TFieldType::ftInteger);
    ds.AddFieldDef("S", TFieldType::ftString, 12);
    ds.AddFieldDef("I", TFieldType::ftLargeint);
    ds.AddFieldDef("F", TFieldType::ftFloat);
    ds.CreateDataSet();
    for (int id = 0; id < 400; ++id)
        ds.AppendRecord({id, texts[random() % texts.size()], integers[random() % integers.size()],
                         floats[random() % floats.size()]});

    struct Index {
        const char* fields;
        const char* desc;
        bool caseInsensitive;
    };
    for (const auto& index : std::vector<Index>{{"S", "", false},
                                                {"S", "", true},
                                                {"S;I", "S", false},
                                                {"I;F", "", false},
                                                {"F;S", "F", true},
                                                {"F;I;S", "I", false}}) {
        SCOPED_TRACE(std::string(index.fields) + " desc " + index.desc +
                     (index.caseInsensitive ? " ci" : ""));
        ds.AddIndex("X", index.fields, {.descending = false, .caseInsensitive = index.caseInsensitive},
                    index.desc);
        std::vector<int> fields;
        for (const auto& name : SplitFieldNames(index.fields))
            fields.push_back(ds.FieldByName(name).Index());
        auto descending = SplitFieldNames(index.desc);
        ds.SetIndexFieldNames(""); // natural order: row n has ID n
        std::vector<std::vector<FieldValue>> rows(400);
        for (int row = 0; row < 400; ++row)
            for (int f = 0; f < 4; ++f)
                rows[static_cast<std::size_t>(row)].push_back(ds.ValueAt(row, f));
        std::vector<int> expected(400);
        for (int i = 0; i < 400; ++i)
            expected[static_cast<std::size_t>(i)] = i;
        std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
            for (int f : fields) {
                int c = detail::CompareStored(rows[static_cast<std::size_t>(a)][static_cast<std::size_t>(f)],
                                              rows[static_cast<std::size_t>(b)][static_cast<std::size_t>(f)],
                                              index.caseInsensitive);
                const auto& name = ds.Fields(f).FieldName();
                if (std::find(descending.begin(), descending.end(), name) != descending.end()) c = -c;
                if (c != 0) return c < 0;
            }
            return false;
        });
        ds.SetIndexName("X");
        std::vector<int> actual;
        for (int row = 0; row < 400; ++row)
            actual.push_back(static_cast<int>(ds.ValueAt(row, 0).Integer()));
        EXPECT_EQ(actual, expected);
        for (int row = 0; row < 400; row += 7) {
            std::vector<FieldValue> key;
            for (int f : fields)
                key.push_back(ds.ValueAt(row, f));
            ASSERT_TRUE(ds.FindKey(key)) << "row " << row;
            for (std::size_t k = 0; k < fields.size(); ++k)
                EXPECT_EQ(detail::CompareStored(ds.Fields(fields[k]).Value(), key[k], index.caseInsensitive),
                          0);
        }
    }
}

TEST(Order, LocateWithOptionsOnAnyFields) {
    TClientDataSet ds;
    MakeSeats(ds);
    struct Case {
        const char* fields;
        std::vector<FieldValue> values;
        TLocateOptions options;
        int expectedSeat; // 0: not found
    };
    const std::vector<Case> cases = {
        {"NAME", {"LI"}, {}, 2},
        {"name", {"zhANG"}, {.caseInsensitive = true, .partialKey = false}, 3},
        {"NAME", {"Wa"}, {}, 0},
        {"NAME", {"Wa"}, {.caseInsensitive = false, .partialKey = true}, 1},
        {"NAME", {"wA"}, {.caseInsensitive = true, .partialKey = true}, 1},
        {"PRICELEVEL;PRICE", {"B", 80}, {}, 3},
        {"PRICELEVEL;PRICE", {"B", "80.0"}, {}, 3},
        {"PRICELEVEL", {FieldValue()}, {}, 5},
        {"SEATCODE", {42}, {}, 0},
    };
    // Without an index (scan) and with one that begins with the fields (binary search).
    for (auto index : {"", "NAME", "PRICELEVEL;PRICE;SEATCODE", "SEATCODE"}) {
        ds.SetIndexFieldNames(index);
        for (const auto& c : cases) {
            ds.First();
            bool found = ds.Locate(c.fields, c.values, c.options);
            EXPECT_EQ(found, c.expectedSeat != 0) << c.fields << " index " << index;
            if (found) {
                EXPECT_EQ(ds.FieldByName("SEATCODE").AsInteger(), c.expectedSeat)
                    << c.fields << " index " << index;
            }
        }
    }
    EXPECT_THROW(ds.Locate("NAME;PRICE", {"x"}), EDatabaseError);

    ds.SetRecNo(2);
    EXPECT_EQ(ds.Lookup("SEATCODE", {1}, "name"), FieldValue("Wang"));
    EXPECT_EQ(ds.Lookup("SEATCODE", {99}, "NAME"), std::nullopt);
    EXPECT_EQ(ds.RecNo(), 2) << "a lookup leaves the cursor";
}

} // namespace
} // namespace kav
