// The change log: what is logged, the delta it produces, merge and undo.
#include "datasettesting.h"

#include <gtest/gtest.h>

namespace kav {
namespace {

using testing::Column;
using testing::MakeOrders;

// A dataset with three merged rows A1 B2 C3.
void ThreeRows(TClientDataSet& ds) {
    MakeOrders(ds);
    ds.AppendRecord({"A", 1});
    ds.AppendRecord({"B", 2});
    ds.AppendRecord({"C", 3});
    ds.MergeChangeLog();
}

TEST(ChangeLog, DeltaHoldsOnlyChangesWithTheirStatesAndOldValues) {
    TClientDataSet ds;
    ThreeRows(ds);
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_TRUE(ds.Locate("ORDERCODE", {"A"}));
    ds.Edit();
    ds.FieldByName("SEATCOUNT").SetAsInteger(10);
    ds.Post();
    ds.Edit();
    ds.FieldByName("SEATCOUNT").SetAsInteger(11); // second edit of the same row
    ds.Post();
    EXPECT_EQ(ds.UpdateStatus(), TUpdateStatus::usModified);
    EXPECT_EQ(ds.FieldByName("SEATCOUNT").OldValue(), FieldValue(1));
    EXPECT_TRUE(ds.Locate("ORDERCODE", {"B"}));
    ds.Delete();
    ds.AppendRecord({"D", 4});
    EXPECT_EQ(ds.UpdateStatus(), TUpdateStatus::usInserted);
    ds.AppendRecord({"E", 5});
    ds.Delete(); // inserted then deleted: no trace in the delta
    EXPECT_EQ(ds.ChangeCount(), 6);

    TClientDataSet delta;
    delta.SetData(ds.Delta());
    EXPECT_EQ(delta.RecordCount(), 2) << "the deleted row is logged but not visible";
    delta.First();
    EXPECT_EQ(delta.FieldByName("ORDERCODE").AsString(), "A");
    EXPECT_EQ(delta.UpdateStatus(), TUpdateStatus::usModified);
    EXPECT_EQ(delta.FieldByName("SEATCOUNT").AsInteger(), 11);
    EXPECT_EQ(delta.FieldByName("SEATCOUNT").OldValue(), FieldValue(1))
        << "old value from before the first edit";
    delta.Next();
    EXPECT_EQ(delta.FieldByName("ORDERCODE").AsString(), "D");
    EXPECT_EQ(delta.UpdateStatus(), TUpdateStatus::usInserted);
    // A reader of the delta (the server applying it) sees deleted rows too, with their values.
    delta.SetStatusFilter({TUpdateStatus::usModified, TUpdateStatus::usInserted, TUpdateStatus::usDeleted});
    ASSERT_EQ(delta.RecordCount(), 3);
    delta.First();
    delta.Next();
    EXPECT_EQ(delta.UpdateStatus(), TUpdateStatus::usDeleted);
    EXPECT_EQ(delta.FieldByName("ORDERCODE").AsString(), "B");
    EXPECT_THROW(delta.Edit(), EDatabaseError);
    delta.SetStatusFilter({TUpdateStatus::usDeleted});
    EXPECT_EQ(delta.RecordCount(), 1);
    delta.SetStatusFilter({});
    // The deletion comes back on undo of everything.
    delta.CancelUpdates();
    EXPECT_EQ(Column(delta, "ORDERCODE"), (std::vector<std::string>{"A", "B"}));
}

TEST(ChangeLog, MergeAcceptsAndUndoRestores) {
    TClientDataSet ds;
    ThreeRows(ds);
    ds.First();
    ds.Edit();
    ds.FieldByName("ORDERCODE").SetAsString("A2");
    ds.Post();
    ds.Last();
    ds.Delete();
    ds.AppendRecord({"Z", 9});

    EXPECT_TRUE(ds.UndoLastChange()); // the append
    EXPECT_EQ(Column(ds, "ORDERCODE"), (std::vector<std::string>{"A2", "B"}));
    EXPECT_TRUE(ds.UndoLastChange()); // the delete, back in its place
    EXPECT_EQ(Column(ds, "ORDERCODE"), (std::vector<std::string>{"A2", "B", "C"}));
    EXPECT_EQ(ds.ChangeCount(), 1);
    ds.CancelUpdates();
    EXPECT_EQ(Column(ds, "ORDERCODE"), (std::vector<std::string>{"A", "B", "C"}));
    ds.First();
    EXPECT_EQ(ds.UpdateStatus(), TUpdateStatus::usUnmodified);
    EXPECT_FALSE(ds.UndoLastChange());

    ds.Delete();
    ds.MergeChangeLog();
    EXPECT_EQ(ds.ChangeCount(), 0);
    ds.CancelUpdates();
    EXPECT_EQ(Column(ds, "ORDERCODE"), (std::vector<std::string>{"B", "C"})) << "merged changes stay";
    TClientDataSet empty;
    empty.SetData(ds.Delta());
    EXPECT_TRUE(empty.IsEmpty());
}

// Undoing all changes frees inserted rows; cursors over them (this one, a clone editing one)
// must let go before, and land on a row that still exists.
TEST(ChangeLog, CancelUpdatesAndEmptyingReleaseCursorsOnFreedRows) {
    TClientDataSet ds;
    ThreeRows(ds);
    ds.SetIndexFieldNames("ORDERCODE");
    ds.AppendRecord({"X", 1});
    ds.AppendRecord({"Y", 1});
    TClientDataSet clone;
    clone.CloneCursor(ds);
    clone.Last();
    clone.Edit();
    clone.FieldByName("SEATCOUNT").SetAsInteger(5);
    ds.Locate("ORDERCODE", {"B"});
    ds.CancelUpdates();
    EXPECT_EQ(clone.State(), TDataSetState::dsBrowse) << "the edited row is gone";
    EXPECT_EQ(ds.FieldByName("ORDERCODE").AsString(), "B");
    EXPECT_EQ(clone.RecordCount(), 3);
    ds.AppendRecord({"Z"});
    clone.Last();
    ds.EmptyDataSet();
    EXPECT_TRUE(clone.IsEmpty() && clone.Eof());
    EXPECT_EQ(clone.FieldByName("ORDERCODE").AsString(), "");
}

TEST(ChangeLog, NotLoggingKeepsRowsUnmodified) {
    TClientDataSet ds;
    MakeOrders(ds);
    ds.SetLogChanges(false);
    ds.AppendRecord({"A"});
    ds.AppendRecord({"B"});
    ds.First();
    ds.Delete();
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(ds.UpdateStatus(), TUpdateStatus::usUnmodified);
    ds.CancelUpdates();
    EXPECT_EQ(Column(ds, "ORDERCODE"), std::vector<std::string>{"B"});

    // Rows logged before logging stopped and then removed leave no trace in the log.
    ds.SetLogChanges(true);
    ds.AppendRecord({"C"});
    ds.SetLogChanges(false);
    ds.Delete();
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_FALSE(ds.UndoLastChange());
    EXPECT_EQ(Column(ds, "ORDERCODE"), std::vector<std::string>{"B"});
}

TEST(ChangeLog, NestedChangesCountAndTravelInTheMastersDelta) {
    TClientDataSet ds;
    ds.AddFieldDef("SECTIONCODE", TFieldType::ftString, 8).key = true;
    ds.AddFieldDef("ARENAXY", TFieldType::ftString, 20);
    ds.AddFieldDef("qryFloor", TFieldType::ftDataSet)
        .nestedFields.push_back(MakeFieldDef("FLOORNO", TFieldType::ftSmallint));
    ds.CreateDataSet();
    ds.AppendRecord({"S1"});
    ds.FieldByName("qryFloor").NestedDataSet().AppendRecord({1});
    ds.AppendRecord({"S2"});
    ds.MergeChangeLog();

    ds.First();
    auto& floors = ds.FieldByName("qryFloor").NestedDataSet();
    floors.AppendRecord({2});
    EXPECT_EQ(ds.ChangeCount(), 1);
    TClientDataSet delta;
    delta.SetData(ds.Delta());
    ASSERT_EQ(delta.RecordCount(), 1);
    EXPECT_EQ(delta.FieldByName("SECTIONCODE").AsString(), "S1");
    auto& deltaFloors = delta.FieldByName("qryFloor").NestedDataSet();
    ASSERT_EQ(deltaFloors.RecordCount(), 1);
    EXPECT_EQ(deltaFloors.FieldByName("FLOORNO").AsInteger(), 2);
    EXPECT_EQ(deltaFloors.UpdateStatus(), TUpdateStatus::usInserted);

    ds.CancelUpdates();
    ds.First();
    EXPECT_EQ(Column(ds.FieldByName("qryFloor").NestedDataSet(), "FLOORNO"), std::vector<std::string>{"1"});
}

} // namespace
} // namespace kav
