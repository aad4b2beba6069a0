// Filters on datasets: the expressions windows use, interplay with editing, clones and callbacks.
#include "datasettesting.h"

#include <gtest/gtest.h>

namespace kav {
namespace {

using testing::Column;

void MakeSeatRows(TClientDataSet& ds) {
    ds.AddFieldDef("OrderCode", TFieldType::ftString, 10);
    ds.AddFieldDef("Status", TFieldType::ftString, 1);
    ds.AddFieldDef("SEATCODE", TFieldType::ftInteger);
    ds.AddFieldDef("PRICE", TFieldType::ftCurrency);
    ds.AddFieldDef("HAPPENTIME", TFieldType::ftDateTime);
    ds.CreateDataSet();
    ds.AppendRecord({"O1", "B", 1, 80.0, "2026-12-07 19:30"});
    ds.AppendRecord({"O1", "O", 2, 0.0, "2026-12-08 19:30"});
    ds.AppendRecord({"O2", "B", 3, 120.5, FieldValue()});
    ds.AppendRecord({"O1", "B", 4, FieldValue(), "2026-12-09"});
}

TEST(DataSetFilter, ExpressionsSelectRowsAndFollowEdits) {
    TClientDataSet ds;
    MakeSeatRows(ds);
    struct Case {
        const char* filter;
        std::vector<std::string> seats;
    };
    const std::vector<Case> cases = {
        {" OrderCode= 'O1' and Status = 'B'", {"1", "4"}},
        {"PRICE > 0", {"1", "3"}},
        {"price > 100.25 or seatcode = 2", {"2", "3"}},
        {"not (Status = 'B')", {"2"}},
        {"PRICE is null", {"4"}},
        {"HAPPENTIME >= '2026-12-08'", {"2", "4"}},
        {"OrderCode like '%2' or HAPPENTIME < '2026-12-08'", {"1", "3"}},
    };
    ds.SetFiltered(true);
    for (const auto& c : cases) {
        ds.SetFilter(c.filter);
        EXPECT_EQ(Column(ds, "SEATCODE"), c.seats) << c.filter;
    }

    ds.SetFilter("Status = 'B'");
    ds.First();
    ds.Edit();
    ds.FieldByName("Status").SetAsString("O");
    ds.Post(); // the row leaves the filtered view
    EXPECT_EQ(Column(ds, "SEATCODE"), (std::vector<std::string>{"3", "4"}));
    ds.AppendRecord({"O3", "F", 5}); // appended but filtered out
    EXPECT_EQ(ds.RecordCount(), 2);
    ds.SetFiltered(false);
    EXPECT_EQ(ds.RecordCount(), 5);
    // A filter may be set while filtering is off, and an empty filter shows every row.
    ds.SetFilter("");
    ds.SetFiltered(true);
    EXPECT_EQ(ds.RecordCount(), 5);
}

TEST(DataSetFilter, BadFiltersNameThePositionAndChangeNothing) {
    TClientDataSet ds;
    MakeSeatRows(ds);
    ds.SetFilter("Status = 'B'");
    ds.SetFiltered(true);
    try {
        ds.SetFilter("Status = 'B' and (PRICE > ");
        FAIL();
    } catch (const EFilterError& e) {
        EXPECT_GT(e.Position(), 10u);
    }
    EXPECT_THROW(ds.SetFilter("NOSUCHFIELD = 1"), EFilterError);
    EXPECT_EQ(ds.FilterText(), "Status = 'B'");
    EXPECT_EQ(ds.RecordCount(), 3);
}

TEST(DataSetFilter, ClonesFilterIndependentlyAndCallbacksSeeTheRow) {
    TClientDataSet ds;
    MakeSeatRows(ds);
    ds.SetIndexFieldNames("SEATCODE");
    TClientDataSet selectable;
    selectable.CloneCursor(ds);
    selectable.SetIndexFieldNames("SEATCODE");
    selectable.SetFilter(" OrderCode= 'O1' and Status = 'B'");
    selectable.SetFiltered(true);
    std::vector<bool> canPick;
    for (ds.First(); !ds.Eof(); ds.Next())
        canPick.push_back(selectable.FindKey({ds.FieldByName("SEATCODE").AsInteger()}));
    EXPECT_EQ(canPick, (std::vector<bool>{true, false, false, true}));

    ds.SetOnFilterRecord(
        [](TClientDataSet& row) { return row.FieldByName("SEATCODE").AsInteger() % 2 == 1; });
    ds.SetFiltered(true);
    EXPECT_EQ(Column(ds, "SEATCODE"), (std::vector<std::string>{"1", "3"}));
    ds.SetFilter("PRICE > 100");
    EXPECT_EQ(Column(ds, "SEATCODE"), std::vector<std::string>{"3"}) << "expression and callback both apply";
}

} // namespace
} // namespace kav
