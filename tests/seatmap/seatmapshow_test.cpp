#include "platform/core/inifile.h"
#include "seatmap/seatmapconfig.h"
#include "seatmap/seatmapshow.h"

#include <QMenu>
#include <QPaintEvent>
#include <QSignalSpy>
#include <QtTest>

using namespace kav;

namespace {

// Records the region of every paint, to see what a change repaints.
class RecordingSeatMap : public TKavSeatMapShow {
public:
    using TKavSeatMapShow::TKavSeatMapShow;
    QRegion painted;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override {
        painted |= event->region();
        ++paints;
        TKavSeatMapShow::paintEvent(event);
    }
};

// Row 5: seats at columns 3-8, the one at column 5 locked; columns 1-2 and 9 on are empty.
// Row 6: seats at columns 3-8.
void FillRows(TKavSeatMapShow& map) {
    for (int row = 5; row <= 6; ++row)
        for (int col = 3; col <= 8; ++col) {
            TKavCellInfo& cell = map.Cells(row, col);
            cell.CellStatus = TKavCellStatus::kavcsNormal;
            cell.PriceLevel = 'A';
            cell.SeatStatus = 'F';
            cell.RowNo = static_cast<std::int16_t>(row);
            cell.SeatNo = static_cast<std::int16_t>(col);
        }
    map.Cells(5, 5).CellStatus = TKavCellStatus::kavcsLocked;
}

QPoint CentreOf(const TKavSeatMapShow& map, int row, int col) {
    return map.CellRect(row, col).center();
}

} // namespace

class SeatMapShowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QWidget> parent_;
    RecordingSeatMap* map_ = nullptr;

    void ShowMap() {
        parent_->show();
        QVERIFY(QTest::qWaitForWindowExposed(parent_.get()));
    }

private slots:
    void init() {
        parent_ = std::make_unique<QWidget>();
        parent_->resize(800, 600);
        map_ = new RecordingSeatMap(parent_.get());
        map_->SetAutoZoom(false);
        map_->resize(700, 560); // 60 x 40 cells of 10 x 12, with room below and right of the grid
        FillRows(*map_);
    }

    void cleanup() { parent_.reset(); }

    void defaultsAndProperties() {
        TKavSeatMapShow map;
        QCOMPARE(map.RowCount(), 40);
        QCOMPARE(map.ColCount(), 60);
        QCOMPARE(map.ColWidth(), 10);
        QCOMPARE(map.RowHeight(), 12);
        QVERIFY(map.AutoZoom());
        QVERIFY(!map.AutoSize());
        QCOMPARE(map.IndicatorLocation(), 2);
        QCOMPARE(map.Line5Color(), TColor(0x00008000));
        QCOMPARE(map.Line10Color(), TColor(0x00000080));
        QCOMPARE(map.WorkState(), std::string("S"));
        QCOMPARE(map.cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(QFontInfo(map.font()).family().contains(QStringLiteral("CJK")), true);

        map.SetAutoZoom(false);
        map.SetColCount(151);
        map.SetRowCount(0);
        map.SetColWidth(60);
        QCOMPARE(map.ColCount(), 60);
        QCOMPARE(map.RowCount(), 40);
        QCOMPARE(map.ColWidth(), 10);
        map.SetColWidth(25);
        QCOMPARE(map.RowHeight(), 30);
        QVERIFY(map.width() >= 25 * 60 && map.height() >= 30 * 40); // the control grows to the grid

        map.SetInDesign(true);
        map.SetShowIndicator(true);
        map.SetInDesign(false);
        QVERIFY(!map.ShowIndicator()); // leaving design view turns the guide lines off

        map.SetShowSeatNo("1");
        QCOMPARE(map.Config().ShowSeatNo, std::string("1"));
        map.SetShowSeatNo("");
        QCOMPARE(map.Config().ShowSeatNo, std::string());
    }

    void checkSizeZoomsAndGrows() {
        TKavSeatMapShow map;
        map.resize(400, 300);
        map.CheckSize();
        QCOMPARE(map.ColWidth(), 10);
        QCOMPARE(map.RowHeight(), 12);
        QCOMPARE(map.size(), QSize(600, 480));
        // Larger controls give larger cells; the control never shrinks.
        map.show();
        QVERIFY(QTest::qWaitForWindowExposed(&map));
        map.resize(1300, 960);
        QCOMPARE(map.ColWidth(), 20);
        QCOMPARE(map.RowHeight(), 24);
        QCOMPARE(map.size(), QSize(1300, 960));
        // AutoSize fits the control to the grid exactly and turns AutoZoom off; AutoZoom turns it back.
        map.SetAutoSize(true);
        QVERIFY(!map.AutoZoom());
        QCOMPARE(map.size(), QSize(20 * 60, 24 * 40));
        map.SetColCount(30);
        QCOMPARE(map.size(), QSize(20 * 30, 24 * 40));
        map.SetAutoZoom(true);
        QVERIFY(!map.AutoSize());
        QCOMPARE(map.ColWidth(), 20);
    }

    void popupMenuZooms() {
        const QList<QAction*> actions = map_->PopupMenu()->actions();
        QCOMPARE(actions.size(), 3);
        QCOMPARE(actions[0]->text(), QStringLiteral("放大"));
        QCOMPARE(actions[1]->text(), QStringLiteral("缩小"));
        QCOMPARE(actions[2]->text(), QStringLiteral("还原"));

        ShowMap();
        map_->SetAutoZoom(true);
        map_->move(30, 40);
        map_->resize(600, 480);
        QCOMPARE(map_->ColWidth(), 10);
        actions[0]->trigger();
        QCOMPARE(map_->size(), QSize(700, 580));
        QCOMPARE(map_->pos(), QPoint(0, 0));
        QCOMPARE(map_->ColWidth(), 11);
        actions[2]->trigger(); // the parent's 800 x 600: 13-pixel columns, 16-pixel rows, so 640 high
        QCOMPARE(map_->ColWidth(), 13);
        QCOMPARE(map_->size(), QSize(800, 640));
        actions[1]->trigger();
        QCOMPARE(map_->size(), QSize(700, 540));
        QCOMPARE(map_->ColWidth(), 11);
    }

    void clickTogglesAndSignals() {
        ShowMap();
        QSignalSpy one(map_, &TKavSeatMapShow::OnSelectACell);
        QSignalSpy cells(map_, &TKavSeatMapShow::OnSelectCells);
        QSignalSpy change(map_, &TKavSeatMapShow::OnSelectionChange);
        QTest::mouseClick(map_, Qt::LeftButton, {}, CentreOf(*map_, 6, 4));
        QVERIFY(map_->Cells(6, 4).Selected);
        QCOMPARE(map_->SelectedCellCount(), 1);
        QCOMPARE(one.size(), 1);
        QCOMPARE(one[0], (QVariantList{4, 6, true}));
        QCOMPARE(cells.size(), 1);
        QCOMPARE(cells[0], (QVariantList{4, 4, 6, 6}));
        QCOMPARE(change.size(), 1);

        QTest::mouseClick(map_, Qt::LeftButton, {}, CentreOf(*map_, 6, 4));
        QVERIFY(!map_->Cells(6, 4).Selected);
        QCOMPARE(one[1], (QVariantList{4, 6, false}));

        // Locked seats and empty places do not change outside design view, but the click is reported.
        QTest::mouseClick(map_, Qt::LeftButton, {}, CentreOf(*map_, 5, 5));
        QTest::mouseClick(map_, Qt::LeftButton, {}, CentreOf(*map_, 5, 1));
        QCOMPARE(map_->SelectedCellCount(), 0);
        QCOMPARE(one.size(), 2);
        QCOMPARE(cells.size(), 4);
        QCOMPARE(change.size(), 4);

        // Other buttons select nothing.
        QTest::mouseClick(map_, Qt::MiddleButton, {}, CentreOf(*map_, 6, 4));
        QCOMPARE(cells.size(), 4);

        map_->ClearSelection();
        QCOMPARE(change.size(), 5);
    }

    void clickOutsideTheGridDoesNothing() {
        ShowMap();
        QSignalSpy cells(map_, &TKavSeatMapShow::OnSelectCells);
        QSignalSpy change(map_, &TKavSeatMapShow::OnSelectionChange);
        QTest::mouseClick(map_, Qt::LeftButton, {}, QPoint(100, 40 * 12 + 5)); // below the last row
        QTest::mouseClick(map_, Qt::LeftButton, {}, QPoint(60 * 10 + 5, 60));  // right of the last column
        QCOMPARE(cells.size(), 0);
        QCOMPARE(change.size(), 0);
    }

    void dragSelectsEitherWayAndInverts() {
        ShowMap();
        QSignalSpy one(map_, &TKavSeatMapShow::OnSelectACell);
        QSignalSpy cells(map_, &TKavSeatMapShow::OnSelectCells);
        map_->SelectCellInRect(CentreOf(*map_, 6, 3).x(), CentreOf(*map_, 6, 3).y(),
                               CentreOf(*map_, 6, 3).x(), CentreOf(*map_, 6, 3).y());
        // Bottom right to top left over rows 5-6, columns 2-4: (6,3) was selected and is now unselected.
        QTest::mousePress(map_, Qt::LeftButton, {}, CentreOf(*map_, 6, 4));
        QTest::mouseMove(map_, CentreOf(*map_, 5, 3));
        QTest::mouseMove(map_, CentreOf(*map_, 5, 2));
        QTest::mouseRelease(map_, Qt::LeftButton, {}, CentreOf(*map_, 5, 2));
        QCOMPARE(cells.last(), (QVariantList{2, 4, 5, 6}));
        QVERIFY(map_->Cells(5, 3).Selected && map_->Cells(5, 4).Selected && map_->Cells(6, 4).Selected);
        QVERIFY(!map_->Cells(6, 3).Selected);
        QVERIFY(!map_->Cells(5, 2).Selected); // empty
        QCOMPARE(map_->SelectedCellCount(), 3);
        // Row by row, left to right.
        QCOMPARE(one.size(), 5);
        QCOMPARE(one[1], (QVariantList{3, 5, true}));
        QCOMPARE(one[2], (QVariantList{4, 5, true}));
        QCOMPARE(one[3], (QVariantList{3, 6, false}));
        QCOMPARE(one[4], (QVariantList{4, 6, true}));

        // The same rectangle the other way round inverts it back.
        QTest::mousePress(map_, Qt::LeftButton, {}, CentreOf(*map_, 5, 2));
        QTest::mouseRelease(map_, Qt::LeftButton, {}, CentreOf(*map_, 6, 4));
        QCOMPARE(cells.last(), (QVariantList{2, 4, 5, 6}));
        QCOMPARE(map_->SelectedCellCount(), 1);
        QVERIFY(map_->Cells(6, 3).Selected);
    }

    void dragFromAboveTheControlStartsAtRowOne() {
        ShowMap();
        QSignalSpy cells(map_, &TKavSeatMapShow::OnSelectCells);
        QTest::mousePress(map_, Qt::LeftButton, {}, CentreOf(*map_, 6, 3));
        QTest::mouseRelease(map_, Qt::LeftButton, {}, QPoint(CentreOf(*map_, 1, 4).x(), -30));
        QCOMPARE(cells.size(), 1);
        QCOMPARE(cells[0], (QVariantList{3, 4, 1, 6}));
        QCOMPARE(map_->SelectedCellCount(), 4); // (5,3) (5,4) (6,3) (6,4)
    }

    void designViewSelectsEmptyButNotLocked() {
        ShowMap();
        map_->SetInDesign(true);
        QSignalSpy one(map_, &TKavSeatMapShow::OnSelectACell);
        QSignalSpy change(map_, &TKavSeatMapShow::OnSelectionChange);
        QTest::mousePress(map_, Qt::LeftButton, {}, CentreOf(*map_, 5, 1));
        QTest::mouseRelease(map_, Qt::LeftButton, {}, CentreOf(*map_, 5, 6));
        QCOMPARE(map_->SelectedCellCount(), 5); // columns 1-4 and 6
        QVERIFY(!map_->Cells(5, 5).Selected);
        QVERIFY(map_->Cells(5, 1).Selected);
        QCOMPARE(map_->Row(), 5);
        QCOMPARE(map_->Col(), 6);
        QCOMPARE(one.size(), 0); // per-cell events belong to selling, not to layout
        QCOMPARE(change.size(), 1);
    }

    void mouseOverReportsCellsInsideTheGrid() {
        ShowMap();
        QSignalSpy over(map_, &TKavSeatMapShow::OnMouseOverCell);
        QTest::mouseMove(map_, CentreOf(*map_, 7, 9));
        QTRY_COMPARE(over.size(), 1);
        QCOMPARE(over[0], (QVariantList{9, 7}));
        QTest::mouseMove(map_, QPoint(650, 100)); // right of the grid
        QTest::mouseMove(map_, CentreOf(*map_, 2, 2));
        QTRY_COMPARE(over.size(), 2);
        QCOMPARE(over[1], (QVariantList{2, 2}));
    }

    // The rubber band inverts the pixels under its outline and leaves the cells inside and outside alone;
    // once the button is up it is gone.
    void rubberBandLeavesCellsAlone() {
        ShowMap();
        const QImage before = map_->grab().toImage();
        const QPoint start = CentreOf(*map_, 4, 2);
        const QPoint end = CentreOf(*map_, 8, 10);
        QTest::mousePress(map_, Qt::LeftButton, {}, start);
        QTest::mouseMove(map_, end);
        const QImage during = map_->grab().toImage();
        const QPoint inside = CentreOf(*map_, 6, 4);
        QCOMPARE(during.pixel(inside), before.pixel(inside));
        QCOMPARE(during.pixel(QPoint(400, 300)), before.pixel(QPoint(400, 300)));
        int inverted = 0;
        for (int x = start.x(); x <= end.x(); ++x) {
            const QColor was = before.pixelColor(x, start.y());
            const QColor now = during.pixelColor(x, start.y());
            inverted += now == QColor(255 - was.red(), 255 - was.green(), 255 - was.blue());
        }
        QVERIFY2(inverted > (end.x() - start.x()) / 3, qPrintable(QString::number(inverted))); // dashed
        QTest::mouseRelease(map_, Qt::LeftButton, {}, end);
        map_->ClearSelection();
        QCOMPARE(map_->grab().toImage(), before);
    }

    // What each cell shows comes from its own state, the map's modes and the configuration given.
    void cellsPaintFromTheirState() {
        TKavSeatMapConfig config;
        config.LoadConfiguratios(
            IniFile::FromText("[LEVEL]\nLEVEL_A=$000000FF\nLEVEL_S=$00FF0000\nLEVEL_L=$0000FF00\n"));
        map_->SetConfig(config);
        map_->SetWorkState("R");
        map_->Cells(6, 8).SeatStatus = 'O';
        map_->Cells(6, 7).Selected = true;
        const auto colourAt = [this](int row, int col) {
            return map_->grab().toImage().pixelColor(map_->CellRect(row, col).center());
        };
        QCOMPARE(colourAt(6, 3), QColor(Qt::red));   // price level A
        QCOMPARE(colourAt(5, 5), QColor(Qt::green)); // locked
        QCOMPARE(colourAt(6, 7), QColor(Qt::blue));  // selected
        QCOMPARE(colourAt(6, 8), QColor(Qt::red));   // sold, but selling shows the level
        map_->SetWorkState("S");
        QCOMPARE(colourAt(6, 8), QColor(Qt::green)); // laying out: taken seats look locked
        QCOMPARE(colourAt(6, 1), ToQColor(TKavSeatMapShow::MapBackground));
        map_->SetInDesign(true);
        map_->Cells(6, 1).Selected = true; // an empty place selected to create a seat
        QCOMPARE(colourAt(6, 1), QColor(Qt::blue));
        map_->SetConfig(_SeatMapConfig()); // `config` ends here
    }

    void stageBoxFollowsTheIndicatorLocation() {
        map_->SetSectionName("A区"); // caption of 14 + 3 bytes: 170 pixels wide, 30 high
        struct Case {
            int location;
            QRect box; // 29 columns less 4 pixels wide, two rows less one pixel high
            int captionLeft;
        };
        const Case cases[] = {{0, QRect(-118, 0, 286, 23), 100},
                              {1, QRect((60 - 3) * 10 - 1 - 120, 0, 286, 23), 0},
                              {2, QRect(270 - 120, 0, 286, 23), 0},
                              {7, QRect(-120, 0, 286, 23), 0}};
        for (const Case& c : cases) {
            map_->SetIndicatorLocation(c.location);
            QCOMPARE(map_->ArenaRect(), c.box.united(QRect(c.captionLeft, 0, 170, 30)));
            const QImage image = map_->grab().toImage();
            const QPoint inBox(std::max(c.box.left(), 0) + 2, 20);
            QCOMPARE(image.pixelColor(inBox), QColor(0x80, 0, 0));
        }
    }

    // Row numbers in black at both ends of rows that hold seats: over the first column and just right
    // of the last one.
    void rowNumbersAtBothEnds() {
        const auto hasDark = [](const QImage& image, const QRect& rect) {
            for (int y = rect.top(); y <= rect.bottom(); ++y)
                for (int x = rect.left(); x <= rect.right(); ++x)
                    if (image.pixelColor(x, y).lightness() < 100) // black text, antialiased
                        return true;
            return false;
        };
        map_->SetShowSeatNo("1");
        const QImage shown = map_->grab().toImage();
        QVERIFY(hasDark(shown, map_->CellRect(5, 1)));
        QVERIFY(hasDark(shown, map_->CellRect(6, 61)));
        QVERIFY(!hasDark(shown, map_->CellRect(7, 1))); // no seats in row 7
        QVERIFY(!hasDark(shown, map_->CellRect(7, 61)));
        map_->SetShowSeatNo("");
        QVERIFY(!hasDark(map_->grab().toImage(), map_->CellRect(6, 61)));
    }

    // A click repaints the cell it toggled and the stage, not the map.
    void clickRepaintsOnlyWhatChanged() {
        ShowMap();
        QTRY_VERIFY(map_->paints > 0);
        map_->painted = QRegion();
        QTest::mouseClick(map_, Qt::LeftButton, {}, CentreOf(*map_, 6, 7));
        QTRY_VERIFY(!map_->painted.isEmpty());
        const QRegion allowed = QRegion(map_->CellRect(6, 7)) | QRegion(map_->ArenaRect());
        QVERIFY(map_->painted.contains(map_->CellRect(6, 7)));
        QCOMPARE(map_->painted.subtracted(allowed), QRegion());
    }
};

QTEST_MAIN(SeatMapShowTest)
#include "seatmapshow_test.moc"
