// The composite seat map as a drawing board, over real datasets: the seat editor, moving, copying with
// numbering and deleting seats, their dialogs and messages, undo and redo, assigning levels and kinds
// from the legends, and writing the drawn grid back into the seat rows.
#include "dialogs/dialogresponder.h"
#include "platform/core/inifile.h"
#include "platform/dataset/clientdataset.h"
#include "platform/widgets/modaldialog.h"
#include "seatmap/legendgrid.h"
#include "seatmap/seatmapcomposite.h"
#include "seatmap/seatmapconfig.h"
#include "seatmap/uiseatcopyshow.h"
#include "seatmap/uiseatmoveshow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>
#include <functional>
#include <memory>

using namespace kav;

namespace {

constexpr int no = -1; // a place without a seat

// Row 2 of a 10 x 20 section holds seats 1-3 (codes 201-203) at columns 5-7 and seat 9 (209) at
// column 12; row 5 holds a seat sold to an order (250, locked for the designer) at column 5.
struct Seat {
    int code, x, y, row, seat;
    const char* status;
};
const Seat kSeats[] = {{201, 5, 2, 2, 1, "F"},
                       {202, 6, 2, 2, 2, "F"},
                       {203, 7, 2, 2, 3, "F"},
                       {209, 12, 2, 2, 9, "F"},
                       {250, 5, 5, 5, 1, "O"}};

// Answers our own modal dialogs in place of the user while it lives.
class ModalScript {
public:
    explicit ModalScript(std::function<int(QDialog&)> answer)
        : previous_(SetModalDialogHook([this](QDialog& dialog) {
              ++shown;
              return answer_(dialog);
          })),
          answer_(std::move(answer)) {}
    ~ModalScript() { SetModalDialogHook(previous_); }
    int shown = 0;

private:
    TModalDialogHook previous_;
    std::function<int(QDialog&)> answer_;
};

template <class T> T* Child(QDialog& dialog, const char* name) {
    T* child = dialog.findChild<T*>(QString::fromLatin1(name));
    if (!child) qFatal("no %s in %s", name, qPrintable(dialog.objectName()));
    return child;
}

int Press(QDialog& dialog, const char* button) {
    Child<QPushButton>(dialog, button)->click();
    return dialog.result();
}

} // namespace

class SeatDesignTest : public QObject {
    Q_OBJECT

private:
    TKavSeatMapConfig config_;
    std::unique_ptr<TClientDataSet> section_, floors_, rows_, seats_, prices_;
    std::unique_ptr<TKavSeatMapCompositeShow> map_;
    int nextCode_ = -1;

    TKavSeatMapShow& Inner() { return map_->Map(); }
    const TKavCellInfo& Cell(int row, int col) { return Inner().Cells(row, col); }
    void Select(int row, int col) {
        QTest::mouseClick(&Inner(), Qt::LeftButton, {}, Inner().CellRect(row, col).center());
    }
    // Seat numbers of row `row` from column `from` to `to`, -1 for a place without a seat.
    std::vector<int> SeatsOf(int row, int from, int to) {
        std::vector<int> numbers;
        for (int col = from; col <= to; ++col)
            numbers.push_back(Cell(row, col).CellStatus == TKavCellStatus::kavcsNone ? -1
                                                                                     : Cell(row, col).SeatNo);
        return numbers;
    }
    bool HasRow(int code) { return seats_->Locate("SEATCODE", {code}); }

private slots:
    void initTestCase() { config_.LoadConfiguratios(IniFile::FromText("[KIND]\nZ_NAME=轮椅席\n")); }

    void init() {
        section_ = std::make_unique<TClientDataSet>();
        section_->AddFieldDef("SECTIONCODE", TFieldType::ftString, 8);
        section_->AddFieldDef("CNAME", TFieldType::ftString, 20);
        section_->AddFieldDef("CELLROWS", TFieldType::ftSmallint);
        section_->AddFieldDef("CELLCOLUMNS", TFieldType::ftSmallint);
        section_->AddFieldDef("STYLE", TFieldType::ftString, 1);
        section_->CreateDataSet();
        section_->AppendRecord({"S0101", "池座", 10, 20, "2"});
        floors_ = std::make_unique<TClientDataSet>();
        floors_->AddFieldDef("FLOORNO", TFieldType::ftSmallint);
        floors_->AddFieldDef("NAME", TFieldType::ftString, 16);
        floors_->CreateDataSet();
        floors_->AppendRecord({1, "一层"});
        floors_->AppendRecord({2, "二层"});
        rows_ = std::make_unique<TClientDataSet>();
        rows_->AddFieldDef("ROWNO", TFieldType::ftSmallint);
        rows_->AddFieldDef("NAME", TFieldType::ftString, 16);
        rows_->CreateDataSet();
        for (int row = 1; row <= 6; ++row)
            rows_->AppendRecord({row, std::to_string(row) + "排"});
        prices_ = std::make_unique<TClientDataSet>();
        prices_->AddFieldDef("PRICELEVEL", TFieldType::ftString, 1);
        prices_->AddFieldDef("PRICE", TFieldType::ftFloat);
        prices_->AddFieldDef("TOTALSEATS", TFieldType::ftInteger);
        prices_->AddFieldDef("PRICEMARK", TFieldType::ftString, 16);
        prices_->CreateDataSet();
        prices_->AppendRecord({"A", 680.0, 0, ""});
        prices_->AppendRecord({"B", 480.0, 0, ""});
        for (const char* level : {"L", "S", "X", "Y", "Z"})
            prices_->AppendRecord({level});
        seats_ = std::make_unique<TClientDataSet>();
        for (const char* name : {"PRICELEVEL", "KIND", "STATUS", "ISADDITION", "SELECTED"})
            seats_->AddFieldDef(name, TFieldType::ftString, 1);
        for (const char* name : {"SEATCODE", "X", "Y"})
            seats_->AddFieldDef(name, TFieldType::ftInteger);
        for (const char* name : {"FLOORNO", "ROWNO", "SEATNO"})
            seats_->AddFieldDef(name, TFieldType::ftSmallint);
        seats_->AddFieldDef("DESCRIPTION", TFieldType::ftString, 64);
        seats_->AddFieldDef("IsEntrepreneur", TFieldType::ftString, 1);
        seats_->CreateDataSet();
        for (const Seat& s : kSeats)
            seats_->AppendRecord({"A", "N", s.status, "N", "N", s.code, s.x, s.y, 1, s.row, s.seat, "", "Y"});
        seats_->MergeChangeLog();
        seats_->SetIndexFieldNames("SEATCODE");

        map_ = std::make_unique<TKavSeatMapCompositeShow>();
        map_->SetConfig(config_);
        map_->SetSectionSource(section_.get());
        map_->SetFloorSource(floors_.get());
        map_->SetRowSource(rows_.get());
        map_->SetPriceSource(prices_.get());
        map_->SetSeatSource(seats_.get());
        map_->SetFilter("STATUS = 'F'");
        nextCode_ = -1;
        map_->SetOnNewSeatRecord(
            [this](TClientDataSet& rows) { rows.FieldByName("SEATCODE").SetAsInteger(nextCode_--); });
        map_->SetInDesign(true);
        map_->resize(900, 600);
        map_->show();
        QVERIFY(QTest::qWaitForWindowExposed(map_.get()));
        map_->UpdateSection();
        map_->UpdateSeat();
    }

    void cleanup() {
        map_.reset();
        seats_.reset();
    }

    // Copies count on from their source; every copy is a new seat; numbers never fall below 1 and
    // a copy never repeats a seat the grid already has, whichever cell the map last selected.
    void copyNumbersEachCopy() {
        Select(2, 12); // seat 9
        QCOMPARE(map_->CopySelectedCells(TKavSeatCopy{'L', 1, 'S', 2, 3}), 3);
        QCOMPARE(SeatsOf(2, 9, 12), (std::vector<int>{15, 13, 11, 9}));
        QCOMPARE(Cell(2, 11).SeatCode, 0);
        QCOMPARE(Cell(2, 11).CellStatus, TKavCellStatus::kavcsNormal);
        QCOMPARE(map_->SelectedCellCount(), 0);

        struct Case {
            const char* what;
            TKavSeatCopy copy;
            int row, col;              // the seat copied
            std::vector<int> expected; // seat numbers of the row's columns 1..8 afterwards
        };
        const Case cases[] = {
            // Increment 0 repeats the source's own number: nothing is copied, although the cell is
            // the one the map selected last.
            {"increment 0", {'R', 1, 'S', 0, 3}, 2, 7, {no, no, no, no, 1, 2, 3, no}},
            // Seat 1 counting down: 0 is no seat number, so nothing.
            {"never below 1", {'L', 1, 'S', -1, 3}, 2, 5, {no, no, no, no, 1, 2, 3, no}},
            // 3 + 6 = 9, but seat 9 already exists: no copy.
            {"an existing seat", {'R', 8, 'S', 6, 1}, 2, 7, {no, no, no, no, 1, 2, 3, no}},
            // Too near the edge for all three copies four cells apart: not copied at all.
            {"no room", {'L', 4, 'S', 1, 3}, 2, 6, {no, no, no, no, 1, 2, 3, no}},
            // Two cells apart to the left: seat 5's cell holds seat 1, so that copy is left out and
            // the next one, seat 7, made.
            {"a taken cell", {'L', 2, 'S', 2, 2}, 2, 7, {no, no, 7, no, 1, 2, 3, no}},
        };
        for (const Case& c : cases) {
            Select(c.row, c.col);
            map_->CopySelectedCells(c.copy);
            QVERIFY2(SeatsOf(2, 1, 8) == c.expected, c.what);
        }
    }

    // Row numbers count on too; a copy's row name comes from the row data, empty when it has none.
    void copyNumbersRows() {
        Select(2, 5);
        Select(2, 6);
        QCOMPARE(map_->CopySelectedCells(TKavSeatCopy{'B', 2, 'R', 2, 3}), 6);
        QCOMPARE(Cell(4, 5).RowNo, std::int16_t{4});
        QCOMPARE(Cell(4, 5).SeatNo, std::int16_t{1});
        QCOMPARE(Cell(4, 5).RowName, std::string("4排"));
        QCOMPARE(Cell(8, 6).RowNo, std::int16_t{8});
        QCOMPARE(Cell(8, 6).RowName, std::string()); // no row 8 in the row data
        QCOMPARE(Cell(6, 5).RowNo, std::int16_t{6});
        QCOMPARE(Cell(5, 5).SeatCode, 250); // the sold seat between the copies stays as it is
    }

    // Moving walks from the far end so a block moves whole; a seat whose target is taken stays.
    void moveKeepsBlocksTogether() {
        Select(2, 5);
        Select(2, 6);
        Select(2, 7);
        QCOMPARE(map_->MoveSelectedCells(TKavSeatMove{'R', 1}), 3);
        QCOMPARE(SeatsOf(2, 5, 8), (std::vector<int>{no, 1, 2, 3}));
        QCOMPARE(Cell(2, 8).SeatCode, 203);
        QCOMPARE(Cell(2, 5).SeatCode, 0);

        Select(2, 7);
        Select(2, 12);
        QCOMPARE(map_->MoveSelectedCells(TKavSeatMove{'L', 1}), 1); // seat 2's target holds seat 1
        QCOMPARE(Cell(2, 7).SeatCode, 202);
        QCOMPARE(Cell(2, 11).SeatCode, 209);
        Select(2, 11);
        QCOMPARE(map_->MoveSelectedCells(TKavSeatMove{'B', 9}), 0); // would leave the grid
        QCOMPARE(Cell(2, 11).SeatCode, 209);
    }

    // Deleting leaves locked seats; the rows leave the seat data at the gather, also when an earlier
    // gather failed and when another seat was moved into the emptied cell meanwhile.
    void deletionsSurviveAFailedGather() {
        Select(2, 5);
        Select(2, 6);
        QCOMPARE(map_->DeleteSelectedSeats(), 2);
        QCOMPARE(map_->PendingDeletions(), (TKavSeatCodes{201, 202}));
        QVERIFY(HasRow(201)); // only the cells changed so far

        map_->SetOnNewSeatRecord([](TClientDataSet&) { throw std::runtime_error("no code"); });
        Inner().Cells(3, 3).CellStatus = TKavCellStatus::kavcsNormal; // a new seat
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, map_->GatherSeatInformation());
        QVERIFY(HasRow(201) && HasRow(202));
        QCOMPARE(seats_->ChangeCount(), 0);

        map_->SetOnNewSeatRecord(
            [this](TClientDataSet& rows) { rows.FieldByName("SEATCODE").SetAsInteger(nextCode_--); });
        Select(2, 7);
        map_->MoveSelectedCells(TKavSeatMove{'L', 2}); // seat 203 into seat 201's old cell
        map_->GatherSeatInformation();
        QVERIFY(!HasRow(201) && !HasRow(202));
        QVERIFY(HasRow(203));
        QCOMPARE(seats_->FieldByName("X").AsInteger(), 5);
        QVERIFY(HasRow(-1));

        // A second gather finds the new seat's row by the code written back into its cell.
        map_->GatherSeatInformation();
        QCOMPARE(seats_->RecordCount(), 4);
        QCOMPARE(nextCode_, -2);

        // The sold seat is locked for the designer: selecting and deleting leave it.
        Select(5, 5);
        QCOMPARE(map_->SelectedCellCount(), 0);
        Inner().Cells(5, 5).Selected = true;
        QCOMPARE(map_->DeleteSelectedSeats(), 0);
        QCOMPARE(Cell(5, 5).SeatCode, 250);
    }

    // The editor edits the one selected cell, even after another cell was selected and unselected.
    void editorEditsTheSelectedCell() {
        Select(2, 6);
        Select(2, 12);
        Select(2, 12);
        QCOMPARE(Inner().Col(), 12); // the map's last selected cell
        TKavSeatIdentity identity;
        identity.RowNo = 2;
        identity.SeatNo = 7;
        identity.Description = "靠过道";
        QVERIFY(map_->EditSelectedSeat(identity));
        QCOMPARE(Cell(2, 6).SeatNo, std::int16_t{7});
        QCOMPARE(Cell(2, 6).Description, std::string("靠过道"));
        QCOMPARE(Cell(2, 12).SeatNo, std::int16_t{9});

        // A seat another cell has is refused and changes nothing.
        Select(2, 5);
        identity.SeatNo = 9;
        QVERIFY(!map_->EditSelectedSeat(identity));
        QCOMPARE(Cell(2, 5).SeatNo, std::int16_t{1});
        map_->ClearSelection();

        // An empty cell becomes a normal seat of level A.
        Select(3, 3);
        identity.RowNo = 3;
        identity.SeatNo = 1;
        QVERIFY(map_->EditSelectedSeat(identity));
        QCOMPARE(Cell(3, 3).CellStatus, TKavCellStatus::kavcsNormal);
        QCOMPARE(Cell(3, 3).PriceLevel, 'A');
        QCOMPARE(Cell(3, 3).SeatCode, 0);
    }

    // The commands through their dialogs and messages, as a user meets them.
    void commandsAskFirst() {
        ScriptedDialogResponder messages;
        messages.Push(1).Push(1).Push(1);
        map_->ShowEditor();
        map_->MoveSelectedCells();
        map_->DeleteSelectedCells();
        QCOMPARE(messages.Log().size(), std::size_t{3});
        QCOMPARE(messages.Log()[0].text, std::string("请仅选择一个单元格!!!"));
        QCOMPARE(messages.Log()[1].text, std::string("请先选择单元格"));
        QCOMPARE(messages.Log()[2].text, std::string("请先选择座位!"));

        // The seat editor: the cell's seat offered, OK only once something changed, the lists from
        // the section data; an existing seat is refused with a warning.
        Select(2, 5);
        QStringList offered;
        bool okAtFirst = true;
        {
            ModalScript script([&](QDialog& dialog) {
                for (const char* list : {"Section", "Floor", "Row"})
                    offered << Child<QComboBox>(dialog, list)->currentText();
                okAtFirst = Child<QPushButton>(dialog, "OK")->isEnabled();
                Child<QSpinBox>(dialog, "SeatNo")->setValue(3);
                return Press(dialog, "OK");
            });
            messages.Push(1);
            map_->ShowEditor();
            QCOMPARE(script.shown, 1);
        }
        QCOMPARE(offered,
                 (QStringList{QStringLiteral("池座"), QStringLiteral("一层"), QStringLiteral("2排")}));
        QVERIFY(!okAtFirst);
        QCOMPARE(messages.Log().back().text, std::string("该座位已经存在!!"));
        QCOMPARE(Cell(2, 5).SeatNo, std::int16_t{1});
        int resultOfOk = -1;
        {
            ModalScript script([&](QDialog& dialog) {
                Child<QCheckBox>(dialog, "IsAddition")->setChecked(true);
                Child<QComboBox>(dialog, "Row")->setCurrentIndex(-1);
                resultOfOk = Press(dialog, "OK"); // refused: no row chosen, the dialog stays
                return Press(dialog, "Close");
            });
            messages.Push(1);
            map_->ShowEditor();
        }
        QCOMPARE(messages.Log().back().text, std::string("‘排’不能为空!"));
        QCOMPARE(resultOfOk, 0);
        QVERIFY(!Cell(2, 5).IsAddition);
        map_->ClearSelection();

        // Move and copy remember their last values for the next time.
        Select(2, 12);
        {
            ModalScript script([](QDialog& dialog) {
                Child<QRadioButton>(dialog, "DirectionB")->setChecked(true);
                Child<QSpinBox>(dialog, "Step")->setValue(2);
                return Press(dialog, "OK");
            });
            map_->MoveSelectedCells();
        }
        QCOMPARE(Cell(4, 12).SeatCode, 209);
        TUISeatMoveShow again;
        QCOMPARE(again.Values().Direction, 'B');
        QCOMPARE(again.Values().Step, 2);

        Select(4, 12);
        {
            ModalScript script([](QDialog& dialog) { return Press(dialog, "Close"); });
            map_->CopySelectedCells();
        }
        QCOMPARE(map_->SelectedCellCount(), 1); // closed: nothing done, the selection stays

        messages.Push(7);
        map_->DeleteSelectedCells();
        QCOMPARE(Cell(4, 12).SeatCode, 209);
        messages.Push(6);
        map_->DeleteSelectedCells();
        QCOMPARE(Cell(4, 12).CellStatus, TKavCellStatus::kavcsNone);
        QVERIFY(messages.Problems().empty());
    }

    // Every design command can be undone and redone, deletions included.
    void undoAndRedo() {
        QSignalSpy changes(map_.get(), &TKavSeatMapCompositeShow::OnLayoutChange);
        Select(2, 5);
        map_->MoveSelectedCells(TKavSeatMove{'T', 1});
        Select(2, 12);
        map_->DeleteSelectedSeats();
        Select(1, 5);
        map_->SetPriceLevel("B");
        QCOMPARE(changes.size(), 3);
        QCOMPARE(Cell(1, 5).PriceLevel, 'B');

        map_->Undo();
        QCOMPARE(Cell(1, 5).PriceLevel, 'A');
        map_->Undo();
        QCOMPARE(Cell(2, 12).SeatCode, 209);
        QVERIFY(map_->PendingDeletions().empty());
        map_->Undo();
        QCOMPARE(Cell(2, 5).SeatCode, 201);
        QCOMPARE(Cell(1, 5).CellStatus, TKavCellStatus::kavcsNone);
        QVERIFY(!map_->CanUndo());

        map_->Redo();
        map_->Redo();
        QCOMPARE(Cell(1, 5).SeatCode, 201);
        QCOMPARE(map_->PendingDeletions(), (TKavSeatCodes{209}));
        QVERIFY(map_->CanRedo());

        // A new command drops what was undone; a command that changes nothing leaves no step.
        Select(1, 5);
        map_->SetCellKind("Z");
        QVERIFY(!map_->CanRedo());
        map_->ClearSelection();
        QCOMPARE(map_->MoveSelectedCells(TKavSeatMove{'L', 1}), 0);
        map_->Undo();
        QCOMPARE(Cell(1, 5).Kind, 'N');

        // Loading the seats again starts a fresh history.
        map_->UpdateSeat();
        QVERIFY(!map_->CanUndo() && !map_->CanRedo());
    }

    // In design view a click on a price or kind legend row gives the selected seats that level or kind;
    // the map-only levels are listed there too.
    void legendsAssignLevelsAndKinds() {
        QCOMPARE(map_->PriceList(), std::string("ABLSXYZ"));
        Select(2, 5);
        Select(2, 6);
        TKavLegendGrid& prices = map_->PriceLegend();
        QTest::mouseClick(&prices, Qt::LeftButton, {}, prices.CellRect(3, 1).center()); // "L"
        QCOMPARE(Cell(2, 5).PriceLevel, 'L');
        QCOMPARE(Cell(2, 6).PriceLevel, 'L');
        QCOMPARE(map_->SelectedCellCount(), 0);

        Select(2, 7);
        TKavLegendGrid& kinds = map_->KindLegend();
        const int wheelchair = static_cast<int>(TKavSeatMapConfig::KindCodes.find('Z'));
        QTest::mouseClick(&kinds, Qt::LeftButton, {}, kinds.CellRect(wheelchair, 0).center());
        QCOMPARE(Cell(2, 7).Kind, 'Z');

        // Outside design view the legends only show.
        map_->SetInDesign(false);
        QCOMPARE(map_->PriceList(), std::string("AB"));
        QTest::mouseClick(&prices, Qt::LeftButton, {}, prices.CellRect(1, 1).center());
        QCOMPARE(Cell(2, 5).PriceLevel, 'L');
    }
};

QTEST_MAIN(SeatDesignTest)
#include "seatdesign_test.moc"
