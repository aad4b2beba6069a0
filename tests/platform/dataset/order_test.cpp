// Index order, key search, ranges and Locate.
#include "datasettesting.h"

#include <gtest/gtest.h>

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
    MakeSeats(ds);
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
}

} // namespace
} // namespace kav
