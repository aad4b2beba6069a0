// The composite seat map over real datasets: loading a section, the legends and their counts, the
// selection handed back to the seat rows and a laid-out grid written back, the information panel,
// and selecting seats with mouse and keyboard.
#include "platform/core/inifile.h"
#include "platform/dataset/clientdataset.h"
#include "seatmap/legendgrid.h"
#include "seatmap/seatinfopanel.h"
#include "seatmap/seatmapcomposite.h"
#include "seatmap/seatmapconfig.h"

#include <QLabel>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

using namespace kav;

namespace {

struct Seat {
    int code, x, y;
    const char* level;
    const char* status;
    const char* order;
    int floor = 1, row = 1, seat = 1;
    const char* addition = "N";
};

// Seats of a 10 x 20 section: row 2 holds A seats 101-103 at columns 3-5 and a C seat at column 7;
// 105 is a map-only L seat; 106 is another order's; 107 lies right of the grid and 108 above it.
// Order K1 holds 101-104 and 106 is K2's; only K1's booked seats may be picked.
const Seat kSeats[] = {
    {101, 3, 2, "A", "B", "K1", 1, 2, 1}, {102, 4, 2, "A", "B", "K1", 1, 2, 2},
    {103, 5, 2, "A", "B", "K1", 1, 2, 3}, {104, 7, 2, "C", "B", "K1", 1, 2, 4, "Y"},
    {105, 3, 4, "L", "F", "", 1, 4, 1},   {106, 5, 4, "A", "B", "K2", 300, 4, 3},
    {107, 25, 5, "A", "F", "", 1, 5, 1},  {108, 3, 0, "A", "F", "", 1, 1, 9},
};

void MakeSeats(TClientDataSet& seats, const char* entrepreneur = "") {
    for (const char* name : {"PRICELEVEL", "KIND", "STATUS", "ISADDITION", "SELECTED"})
        seats.AddFieldDef(name, TFieldType::ftString, 1);
    for (const char* name : {"SEATCODE", "X", "Y"})
        seats.AddFieldDef(name, TFieldType::ftInteger);
    for (const char* name : {"FLOORNO", "ROWNO", "SEATNO"})
        seats.AddFieldDef(name, TFieldType::ftSmallint);
    seats.AddFieldDef("ORDERCODE", TFieldType::ftString, 20);
    seats.AddFieldDef("Description", TFieldType::ftString, 64);
    seats.AddFieldDef("IsEntrepreneur", TFieldType::ftString, 1);
    seats.CreateDataSet();
    for (const Seat& s : kSeats)
        seats.AppendRecord({s.level, "N", s.status, s.addition, "N", s.code, s.x, s.y, s.floor, s.row, s.seat,
                            s.order, FieldValue(), entrepreneur});
    seats.MergeChangeLog();
    seats.First();
}

// Level A at 680, C at 84.50, a level without a price and the map-only levels of the split window.
void MakePrices(TClientDataSet& prices) {
    prices.AddFieldDef("PRICELEVEL", TFieldType::ftString, 1);
    prices.AddFieldDef("PRICE", TFieldType::ftFloat);
    prices.AddFieldDef("TOTALSEATS", TFieldType::ftInteger);
    prices.AddFieldDef("PRICEMARK", TFieldType::ftString, 16);
    prices.CreateDataSet();
    prices.AppendRecord({"A", 680.0, 0, "贵宾"});
    prices.AppendRecord({"B", 0.0, 0, ""});
    prices.AppendRecord({"C", 84.5, 0, "学生"});
    for (const char* level : {"L", "S", "X", "Y", "Z"})
        prices.AppendRecord({level});
    prices.MergeChangeLog();
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

QPoint CentreOf(const TKavSeatMapShow& map, int row, int col) {
    return map.CellRect(row, col).center();
}

} // namespace

class CompositeTest : public QObject {
    Q_OBJECT

private:
    TKavSeatMapConfig config_;
    std::unique_ptr<TClientDataSet> section_, floors_, rows_, seats_, prices_;
    std::unique_ptr<TKavSeatMapCompositeShow> map_;

    TKavSeatMapShow& Inner() { return map_->Map(); }
    std::string Selected(int seatCode) {
        seats_->Locate("SEATCODE", {seatCode});
        return seats_->FieldByName("SELECTED").AsString();
    }
    int TotalSeats(const char* level) {
        prices_->Locate("PRICELEVEL", {level});
        return prices_->FieldByName("TOTALSEATS").AsInteger();
    }
    void Click(int row, int col) {
        QTest::mouseClick(&Inner(), Qt::LeftButton, {}, CentreOf(Inner(), row, col));
    }

    void Load(const char* entrepreneur = "") {
        seats_ = std::make_unique<TClientDataSet>();
        MakeSeats(*seats_, entrepreneur);
        map_->SetSeatSource(seats_.get());
        map_->UpdateSection();
        map_->UpdateSeat();
    }

private slots:
    void initTestCase() {
        config_.LoadConfiguratios(IniFile::FromText("[KIND]\nC_NAME=工作票\nP_NAME=媒体票\n"));
    }

    void init() {
        section_ = std::make_unique<TClientDataSet>();
        section_->AddFieldDef("CNAME", TFieldType::ftString, 20);
        section_->AddFieldDef("CELLROWS", TFieldType::ftSmallint);
        section_->AddFieldDef("CELLCOLUMNS", TFieldType::ftSmallint);
        section_->AddFieldDef("STYLE", TFieldType::ftString, 1);
        section_->CreateDataSet();
        section_->AppendRecord({"池座", 10, 20, "1"});
        floors_ = std::make_unique<TClientDataSet>();
        floors_->AddFieldDef("FLOORNO", TFieldType::ftSmallint);
        floors_->AddFieldDef("NAME", TFieldType::ftString, 16);
        floors_->CreateDataSet();
        floors_->AppendRecord({1, "一层"});
        floors_->AppendRecord({300, "三百层"});
        rows_ = std::make_unique<TClientDataSet>();
        rows_->AddFieldDef("ROWNO", TFieldType::ftSmallint);
        rows_->AddFieldDef("NAME", TFieldType::ftString, 16);
        rows_->CreateDataSet();
        rows_->AppendRecord({2, "2排"});
        rows_->AppendRecord({4, "4排"});
        prices_ = std::make_unique<TClientDataSet>();
        MakePrices(*prices_);

        map_ = std::make_unique<TKavSeatMapCompositeShow>();
        map_->SetConfig(config_);
        map_->SetSectionSource(section_.get());
        map_->SetFloorSource(floors_.get());
        map_->SetRowSource(rows_.get());
        map_->SetPriceSource(prices_.get());
        map_->SetFilter(" OrderCode= 'K1' and Status = 'B'");
        map_->SetWorkState("C");
        map_->resize(900, 600);
        map_->show();
        QVERIFY(QTest::qWaitForWindowExposed(map_.get()));
        Load();
    }

    void cleanup() {
        map_.reset();
        seats_.reset();
    }

    // The section sizes the grid; seats inside it load with their state, the filter decides which can
    // be picked, and seats outside the grid are counted and left out.
    void loadsTheSection() {
        QCOMPARE(Inner().RowCount(), 10);
        QCOMPARE(Inner().ColCount(), 20);
        QCOMPARE(Inner().IndicatorLocation(), 1);
        QCOMPARE(Inner().SectionName(), std::string("池座"));
        const TKavCellInfo& c = Inner().Cells(2, 7);
        QCOMPARE(c.SeatCode, 104);
        QCOMPARE(c.PriceLevel, 'C');
        QVERIFY(c.IsAddition);
        QCOMPARE(c.CellStatus, TKavCellStatus::kavcsNormal);
        QCOMPARE(Inner().Cells(4, 5).CellStatus, TKavCellStatus::kavcsLocked); // another order's seat
        QCOMPARE(Inner().Cells(4, 5).FloorNo, std::int16_t{300});              // floors beyond 255 keep
        QCOMPARE(Inner().Cells(4, 3).CellStatus, TKavCellStatus::kavcsLocked);
        QCOMPARE(Inner().Cells(2, 6).CellStatus, TKavCellStatus::kavcsNone);
        QCOMPARE(map_->SkippedSeatCount(), 2);

        // Without a filter every seat can be picked; a filter that matches nothing locks them all.
        map_->SetFilter("");
        map_->UpdateSeat();
        QCOMPARE(Inner().Cells(4, 5).CellStatus, TKavCellStatus::kavcsNormal);
        map_->SetFilter("Status = 'Q'");
        map_->UpdateSeat();
        QCOMPARE(Inner().Cells(2, 3).CellStatus, TKavCellStatus::kavcsLocked);

        // A grid smaller than the seats' positions: they are skipped, never written past the grid.
        section_->Edit();
        section_->FieldByName("CELLCOLUMNS").SetAsInteger(4);
        section_->Post();
        map_->UpdateSection();
        map_->UpdateSeat();
        QCOMPARE(map_->SkippedSeatCount(), 5); // columns 5, 7, 5 and 25, and row 0
        QCOMPARE(Inner().Cells(2, 5).CellStatus, TKavCellStatus::kavcsNone);

        // The screen's bug: no open seat dataset.
        TClientDataSet closed;
        map_->SetSeatSource(&closed);
        QVERIFY_THROWS_EXCEPTION(std::logic_error, map_->UpdateSeat());
        map_->SetSeatSource(nullptr);
        QVERIFY_THROWS_EXCEPTION(std::logic_error, map_->GatherSelectedSeat());
    }

    // Priced levels only, matched to their rows by their exact letter; amounts in whole cents.
    void legendsCountTheSelection() {
        QCOMPARE(map_->PriceList(), std::string("AC"));
        TKavLegendGrid& prices = map_->PriceLegend();
        QCOMPARE(prices.RowCount(), 3);
        QCOMPARE(prices.Text(0, 0), std::string("等级"));
        QCOMPARE(prices.Text(0, 3), std::string("金额"));
        QCOMPARE(prices.Text(1, 1), std::string("    680"));
        QCOMPARE(prices.Sample(2, 0)->PriceLevel, std::string("C"));
        QCOMPARE(map_->CommonLegend().Text(1, 0), std::string("已检票")); // work state C
        QVERIFY(map_->StatusLegend().isHidden());
        QVERIFY(map_->KindLegend().isHidden());

        QSignalSpy changes(map_.get(), &TKavSeatMapCompositeShow::OnSelectionChange);
        Click(2, 3);
        Click(2, 4);
        Click(2, 7);
        Click(4, 5); // locked: nothing
        QCOMPARE(changes.size(), 4);
        QCOMPARE(map_->GetSelectNumByPriceLevel("A"), 2);
        QCOMPARE(map_->GetSelectNumByPriceLevel("C"), 1);
        QCOMPARE(TotalSeats("A"), 2);
        QCOMPARE(TotalSeats("C"), 1);
        QVERIFY(prices_->Locate("PRICELEVEL", {"L"}) && prices_->FieldByName("TOTALSEATS").IsNull());
        QCOMPARE(Trimmed(prices.Text(1, 2)), std::string("2"));
        QCOMPARE(Trimmed(prices.Text(1, 3)), std::string("1360"));
        QCOMPARE(Trimmed(prices.Text(2, 3)), std::string("84.50"));
        QCOMPARE(prices.Text(1, 2).size(), std::size_t{6});
        QCOMPARE(map_->TotalCount(), 3);
        QCOMPARE(map_->TotalCents(), std::int64_t{144450});
        QCOMPARE(Trimmed(map_->TotalLegend().Text(0, 2)), std::string("1444.50"));

        // Counts follow the cells whoever changes them.
        Inner().Cells(2, 3).Selected = false;
        Inner().ClearSelection();
        QCOMPARE(map_->SelectedCellCount(), 0);
        QCOMPARE(map_->TotalCents(), std::int64_t{0});
        QCOMPARE(TotalSeats("A"), 0);

        // In design view selecting seats does not count.
        map_->SetInDesign(true);
        Click(2, 3);
        QCOMPARE(map_->SelectedCellCount(), 1);
        QCOMPARE(map_->GetSelectNumByPriceLevel("A"), 0);
    }

    // "Y" shows statuses and all sixteen kinds by their configured names, "P" seven kinds.
    void legendsFollowTheMarks() {
        Load("Y");
        QVERIFY(!map_->StatusLegend().isHidden());
        QCOMPARE(map_->StatusLegend().Text(3, 0), std::string("已检票"));
        QCOMPARE(map_->KindLegend().RowCount(), 16);
        QCOMPARE(map_->KindLegend().Text(0, 0), std::string("工作票"));
        QCOMPARE(map_->KindLegend().Text(15, 0), std::string("媒体票"));
        QCOMPARE(map_->KindLegend().Sample(15, 0)->Kind, std::string("P"));
        QVERIFY(map_->KindLegend().geometry().top() >= map_->StatusLegend().geometry().bottom());
        Load("P");
        QVERIFY(map_->StatusLegend().isHidden());
        QVERIFY(!map_->KindLegend().isHidden());
        QCOMPARE(map_->KindLegend().RowCount(), 7);
    }

    // The selection goes back into SELECTED, touching only rows whose value changes.
    void gatherSelectedSeats() {
        Click(2, 3);
        Click(2, 7);
        map_->GatherSelectedSeat();
        QCOMPARE(Selected(101), std::string("Y"));
        QCOMPARE(Selected(104), std::string("Y"));
        QCOMPARE(Selected(102), std::string("N"));
        QCOMPARE(Selected(107), std::string("N")); // outside the grid
        QCOMPARE(seats_->ChangeCount(), 2);
        map_->GatherSelectedSeat();
        QCOMPARE(seats_->ChangeCount(), 2);
        map_->ClearSelection();
        map_->GatherSelectedSeat();
        QCOMPARE(Selected(101), std::string("N"));
    }

    // Design view: edited cells go back into their rows, a cleared seat's row is deleted, a new seat
    // appended; an unchanged grid changes nothing; a failure cancels every pending change.
    void gatherSeatInformation() {
        map_->SetInDesign(true);
        seats_->MergeChangeLog();
        map_->GatherSeatInformation();
        QCOMPARE(seats_->ChangeCount(), 0);

        Click(2, 4);
        map_->SetPriceLevel("c");
        QCOMPARE(Inner().Cells(2, 4).PriceLevel, 'c');
        QVERIFY(map_->CanBeReplace(9, 2) && !map_->CanBeReplace(3, 2) && !map_->CanBeReplace(21, 2));
        QVERIFY(map_->ClearACell(5, 2, false));
        QVERIFY(!map_->ClearACell(21, 2, false));
        TKavCellInfo& added = Inner().Cells(8, 9);
        added.CellStatus = TKavCellStatus::kavcsNormal;
        added.SeatNo = 12;
        added.RowNo = 8;
        added.FloorNo = 1;
        added.PriceLevel = 'A';
        int created = 0;
        map_->SetOnNewSeatRecord([&](TClientDataSet& rows) {
            rows.FieldByName("SEATCODE").SetAsInteger(-rows.RecordCount());
            rows.FieldByName("STATUS").SetAsString("F");
            ++created;
        });
        map_->GatherSeatInformation();
        QCOMPARE(created, 1);
        QVERIFY(seats_->Locate("SEATCODE", {102}));
        QCOMPARE(seats_->FieldByName("PRICELEVEL").AsString(), std::string("c"));
        QVERIFY(!seats_->Locate("SEATCODE", {103}));
        QVERIFY(seats_->Locate("SEATNO", {12}));
        QCOMPARE(seats_->FieldByName("X").AsInteger(), 9);
        QCOMPARE(seats_->FieldByName("Y").AsInteger(), 8);
        QVERIFY(seats_->Locate("SEATCODE", {107})); // outside the grid: left alone
        QCOMPARE(seats_->RecordCount(), 8);

        Inner().Cells(2, 3).SeatNo = 44;
        map_->SetOnNewSeatRecord([](TClientDataSet&) { throw std::runtime_error("no seat code"); });
        Inner().Cells(9, 9) = added;
        Inner().Cells(9, 9).SeatCode = 0;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, map_->GatherSeatInformation());
        QCOMPARE(seats_->ChangeCount(), 0);
        QVERIFY(seats_->Locate("SEATCODE", {103}));
    }

    void selectionHelpers() {
        map_->SetFilter("");
        map_->UpdateSeat();
        map_->SetInDesign(true);
        Click(4, 5);
        Click(2, 3);
        Click(2, 3); // unselected again: the current cell is now an unselected one
        QCOMPARE(Inner().SelectedCells(), (std::vector<TKavCellPos>{{4, 5}}));
        QCOMPARE(Inner().Row(), 2);
        QCOMPARE(Inner().Col(), 3);
        QVERIFY(!map_->IsConflict(300, 4, "", false, 3, 5, 4));
        QVERIFY(map_->IsConflict(1, 2, "any", false, 2));
        QVERIFY(!map_->IsConflict(1, 2, "", true, 2)); // added seats are numbered apart
        QVERIFY(map_->IsSelectSameFloor());
        Click(2, 4);
        QVERIFY(!map_->IsSelectSameFloor());
        map_->LockSelectedCells();
        QCOMPARE(Inner().Cells(2, 4).CellStatus, TKavCellStatus::kavcsLocked);
        QCOMPARE(map_->SelectedCellCount(), 0);
    }

    void informationPanel() {
        TClientDataSet remarks;
        remarks.AddFieldDef("SeatCode", TFieldType::ftInteger);
        remarks.AddFieldDef("reservelog", TFieldType::ftString, 64);
        remarks.CreateDataSet();
        remarks.AppendRecord({104, "留给王先生"});
        map_->SetRemarkSource(&remarks);
        TKavSeatInfoPanel& panel = map_->InfoPanel();
        QCOMPARE(panel.height(), 145);

        map_->ShowSeatInformation(7, 2);
        QVERIFY(panel.isVisible());
        QCOMPARE(panel.Value(TKavSeatInfoPanel::Section), std::string("池座"));
        QCOMPARE(panel.Value(TKavSeatInfoPanel::Floor), std::string("一层"));
        QCOMPARE(panel.Value(TKavSeatInfoPanel::Row), std::string("2排"));
        QCOMPARE(panel.Value(TKavSeatInfoPanel::Seat), std::string("加4座"));
        QCOMPARE(panel.Value(TKavSeatInfoPanel::Price), std::string("C 级 (84.5元)"));
        QCOMPARE(panel.Value(TKavSeatInfoPanel::PriceMark), std::string("学生"));
        QCOMPARE(panel.Value(TKavSeatInfoPanel::Remark), std::string("留给王先生"));
        QCOMPARE(map_->CoordinateLabel().text(), QStringLiteral("2,7"));
        QCOMPARE(prices_->RecNo(), 1);

        map_->ShowSeatInformation(3, 4); // a level without a price row
        QCOMPARE(panel.Value(TKavSeatInfoPanel::Price), std::string("L 级"));
        QCOMPARE(panel.Value(TKavSeatInfoPanel::Remark), std::string());
        map_->ShowSeatInformation(6, 2);
        QVERIFY(!panel.isVisible());
        QCOMPARE(panel.Value(TKavSeatInfoPanel::Section), std::string());
        map_->SetRemarkSource(nullptr);
    }

    // Arrows move from seat to seat, Space toggles, Shift extends; the focus cell is described with
    // its names and price.
    void keyboardSelects() {
        Inner().setFocus();
        QTRY_VERIFY(Inner().hasFocus());
        QCOMPARE(Inner().FocusCell(), (TKavCellPos{2, 3}));
        QVERIFY(Inner().accessibleDescription().contains(QStringLiteral("一层 2排 1座 A 级 (680元)")));
        QTest::keyClick(&Inner(), Qt::Key_Space);
        QVERIFY(Inner().Cells(2, 3).Selected);
        QCOMPARE(map_->GetSelectNumByPriceLevel("A"), 1);
        QVERIFY(Inner().accessibleDescription().endsWith(QStringLiteral("已选定")));
        QTest::keyClick(&Inner(), Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&Inner(), Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&Inner(), Qt::Key_Right, Qt::ShiftModifier); // over the aisle at column 6
        QCOMPARE(Inner().FocusCell(), (TKavCellPos{2, 7}));
        QCOMPARE(map_->SelectedCellCount(), 4);
        QCOMPARE(map_->TotalCents(), std::int64_t{3 * 68000 + 8450});
        QVERIFY(Inner().accessibleDescription().contains(QStringLiteral("加4座 C 级 (84.5元)")));
        QTest::keyClick(&Inner(), Qt::Key_Right); // no seat further right: stays
        QCOMPARE(Inner().FocusCell(), (TKavCellPos{2, 7}));
        QTest::keyClick(&Inner(), Qt::Key_Down);
        QCOMPARE(Inner().FocusCell(), (TKavCellPos{2, 7})); // nothing below column 7
        QTest::keyClick(&Inner(), Qt::Key_Left);
        QTest::keyClick(&Inner(), Qt::Key_Down);
        QCOMPARE(Inner().FocusCell(), (TKavCellPos{4, 5}));
        QTest::keyClick(&Inner(), Qt::Key_Space); // locked: stays unselected
        QVERIFY(!Inner().Cells(4, 5).Selected);
        QVERIFY(Inner().accessibleDescription().endsWith(QStringLiteral("不可选")));
    }
};

QTEST_MAIN(CompositeTest)
#include "seatmapcomposite_test.moc"
