// Nested tables, master-detail links and clones.
#include "datasettesting.h"

#include <gtest/gtest.h>

namespace kav {
namespace {

using testing::Column;
using testing::MakeOrders;

TEST(Links, NestedCursorFollowsTheMasterRow) {
    TClientDataSet orders;
    orders.AddFieldDef("ORDERCODE", TFieldType::ftString, 10);
    auto& discount = orders.AddFieldDef("OrderDiscountDataSet", TFieldType::ftDataSet);
    discount.nestedFields.push_back(MakeFieldDef("Price", TFieldType::ftFloat));
    discount.nestedFields.push_back(MakeFieldDef("SeatAmount", TFieldType::ftInteger));
    orders.CreateDataSet();
    auto& detail = orders.FieldByName("orderdiscountdataset").NestedDataSet();
    orders.AppendRecord({"O1"});
    detail.AppendRecord({100.0, 2});
    detail.AppendRecord({80.0, 1});
    orders.Append(); // the new row has its own, empty detail at once
    EXPECT_TRUE(detail.IsEmpty());
    orders.FieldByName("ORDERCODE").SetAsString("O2");
    detail.AppendRecord({50.0, 4});
    orders.Post();

    TClientDataSet loaded;
    loaded.SetData(orders.Data());
    auto& loadedDetail = loaded.FieldByName("OrderDiscountDataSet").NestedDataSet();
    std::vector<std::string> description;
    for (loaded.First(); !loaded.Eof(); loaded.Next()) {
        std::string text;
        for (loadedDetail.First(); !loadedDetail.Eof(); loadedDetail.Next())
            text += loadedDetail.FieldByName("Price").AsString() + "X" +
                    loadedDetail.FieldByName("SeatAmount").AsString() + ";";
        description.push_back(text);
    }
    EXPECT_EQ(description, (std::vector<std::string>{"100X2;80X1;", "50X4;"}));
    EXPECT_THROW(loaded.FieldByName("ORDERCODE").NestedDataSet(), EDatabaseError);
}

// Section -> floors -> rows: cursors of every level stay valid while the levels above move, and
// undoing the changes that created the nested rows leaves every level consistent.
TEST(Links, TwoLevelsOfNestingFollowAndUndo) {
    TClientDataSet sections;
    sections.AddFieldDef("SECTIONCODE", TFieldType::ftString, 8);
    auto& floorDef = sections.AddFieldDef("qryFloor", TFieldType::ftDataSet);
    floorDef.nestedFields.push_back(MakeFieldDef("FLOORNO", TFieldType::ftSmallint));
    auto rowDef = MakeFieldDef("qryRow", TFieldType::ftDataSet);
    rowDef.nestedFields.push_back(MakeFieldDef("ROWNO", TFieldType::ftSmallint));
    floorDef.nestedFields.push_back(rowDef);
    sections.CreateDataSet();
    auto& floors = sections.FieldByName("qryFloor").NestedDataSet();
    auto& rows = floors.FieldByName("qryRow").NestedDataSet();
    for (int s = 1; s <= 2; ++s) {
        sections.AppendRecord({"S" + std::to_string(s)});
        for (int f = 1; f <= 2; ++f) {
            floors.AppendRecord({s * 10 + f});
            for (int r = 1; r <= f; ++r)
                rows.AppendRecord({r});
        }
    }
    sections.MergeChangeLog();
    sections.First();
    floors.Last();
    EXPECT_EQ(Column(rows, "ROWNO"), (std::vector<std::string>{"1", "2"}));
    sections.Next();
    EXPECT_EQ(floors.FieldByName("FLOORNO").AsInteger(), 21);
    EXPECT_EQ(Column(rows, "ROWNO"), std::vector<std::string>{"1"});

    floors.AppendRecord({23});
    rows.AppendRecord({7});
    EXPECT_EQ(sections.ChangeCount(), 2);
    sections.CancelUpdates();
    EXPECT_EQ(sections.ChangeCount(), 0);
    EXPECT_EQ(Column(floors, "FLOORNO"), (std::vector<std::string>{"21", "22"}));
    floors.First();
    EXPECT_EQ(Column(rows, "ROWNO"), std::vector<std::string>{"1"});
}

TEST(Links, DetailShowsTheRowsOfTheMastersCurrentKey) {
    TClientDataSet report, pay;
    report.AddFieldDef("PRODUCTCODE", TFieldType::ftString, 8);
    report.CreateDataSet();
    for (auto code : {"P1", "P2", "P3"})
        report.AppendRecord({code});
    pay.AddFieldDef("PRODUCTCODE", TFieldType::ftString, 8);
    pay.AddFieldDef("PAYNAME", TFieldType::ftString, 20);
    pay.CreateDataSet();
    pay.AppendRecord({"P1", "cash"});
    pay.AppendRecord({"P2", "card"});
    pay.AppendRecord({"P1", "card"});
    pay.SetMasterSource(&report, "ProductCode");

    report.First();
    EXPECT_EQ(Column(pay, "PAYNAME"), (std::vector<std::string>{"cash", "card"}));
    report.Next();
    EXPECT_EQ(Column(pay, "PAYNAME"), std::vector<std::string>{"card"});
    report.Next();
    EXPECT_TRUE(pay.IsEmpty());
    report.Edit(); // editing the master's key moves the detail along once posted
    report.FieldByName("PRODUCTCODE").SetAsString("P2");
    report.Post();
    EXPECT_EQ(Column(pay, "PAYNAME"), std::vector<std::string>{"card"});
    // A row appended to the detail belongs to the master's current row.
    pay.Append();
    pay.FieldByName("PAYNAME").SetAsString("voucher");
    pay.Post();
    EXPECT_EQ(pay.FieldByName("PRODUCTCODE").AsString(), "P2");
    EXPECT_EQ(pay.RecordCount(), 2);
    pay.Delete();
    // The detail reloads its data and stays linked.
    pay.SetData(pay.Data());
    EXPECT_EQ(pay.RecordCount(), 1);
    report.Close();
    EXPECT_TRUE(pay.IsEmpty());
    pay.SetMasterSource(nullptr, {});
    EXPECT_EQ(pay.RecordCount(), 3);
    {
        TClientDataSet shortLived;
        shortLived.CopyFrom(pay);
        pay.SetMasterSource(&shortLived, "PRODUCTCODE");
    }
    EXPECT_EQ(pay.RecordCount(), 3) << "the link ends with its master";
    {
        TClientDataSet shortLived;
        shortLived.CopyFrom(pay);
        pay.SetMasterSource(&shortLived, "PRODUCTCODE");
        pay.Close(); // a closed detail outlives its master too
    }
    EXPECT_FALSE(pay.Active());
}

TEST(Links, ClonesShareRecordsButNotCursorIndexOrFilter) {
    TClientDataSet seats;
    MakeOrders(seats);
    for (auto code : {"C", "A", "B"})
        seats.AppendRecord({code, 1, 0.0, "B"});
    TClientDataSet clone;
    clone.CloneCursor(seats);
    clone.SetIndexFieldNames("ORDERCODE");
    EXPECT_EQ(Column(clone, "ORDERCODE"), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(Column(seats, "ORDERCODE"), (std::vector<std::string>{"C", "A", "B"}));
    clone.First();
    seats.Last();
    // A change through one cursor shows in the other, in that cursor's order, and is announced
    // to the other cursor's observers as a row of its own view.
    struct InsertSpy final : TDataSetObserver {
        std::vector<int> rows;
        void DataSetBeginInsertRows(int first, int) override { rows.push_back(first); }
    } spy;
    clone.AddObserver(&spy);
    seats.AppendRecord({"AA"});
    clone.RemoveObserver(&spy);
    EXPECT_EQ(spy.rows, std::vector<int>{1});
    EXPECT_EQ(clone.FieldByName("ORDERCODE").AsString(), "A") << "the clone's cursor stays on its row";
    EXPECT_EQ(Column(clone, "ORDERCODE"), (std::vector<std::string>{"A", "AA", "B", "C"}));
    clone.First();
    clone.Edit();
    clone.FieldByName("SEATCOUNT").SetAsInteger(7);
    clone.Post();
    EXPECT_TRUE(seats.Locate("ORDERCODE", {"A"}));
    EXPECT_EQ(seats.FieldByName("SEATCOUNT").AsInteger(), 7);
    EXPECT_EQ(seats.ChangeCount(), clone.ChangeCount());
    clone.Delete();
    EXPECT_FALSE(seats.Locate("ORDERCODE", {"A"}));
    // Closing the original leaves the clone working.
    seats.Close();
    EXPECT_EQ(clone.RecordCount(), 3);
}

} // namespace
} // namespace kav
