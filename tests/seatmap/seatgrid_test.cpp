#include "seatmap/seatgrid.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <tuple>
#include <vector>

using namespace kav;

namespace {

// A 4 x 6 grid of 10 x 12 cells: row 1 normal seats, row 2 a locked seat at column 2 and empty places
// from column 4, rows 3-4 normal seats.
TKavSeatGrid SmallGrid() {
    TKavSeatGrid grid;
    grid.SetRowCount(4);
    grid.SetColCount(6);
    for (int row = 1; row <= 4; ++row)
        for (int col = 1; col <= 6; ++col)
            grid.Cell(row, col).CellStatus = TKavCellStatus::kavcsNormal;
    grid.Cell(2, 2).CellStatus = TKavCellStatus::kavcsLocked;
    for (int col = 4; col <= 6; ++col)
        grid.Cell(2, col).CellStatus = TKavCellStatus::kavcsNone;
    return grid;
}

using Toggles = std::vector<std::tuple<int, int, bool>>;

Toggles Select(TKavSeatGrid& grid, int x1, int y1, int x2, int y2,
               std::optional<TKavCellRange>* range = nullptr) {
    Toggles toggles;
    auto result = grid.SelectCellInRect(
        x1, y1, x2, y2, [&](int row, int col, bool selected) { toggles.emplace_back(row, col, selected); });
    if (range) *range = result;
    return toggles;
}

} // namespace

TEST(SeatGrid, MulDivRoundsToNearest) {
    EXPECT_EQ(MulDiv(10, 6, 5), 12);
    EXPECT_EQ(MulDiv(7, 5, 6), 6); // 5.83
    EXPECT_EQ(MulDiv(3, 1, 2), 2); // halves away from zero
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(1, 1, 3), 0);
    EXPECT_EQ(MulDiv(2000000000, 3, 4), 1500000000); // the product does not fit 32 bits
    EXPECT_EQ(MulDiv(50, 6, 5), 60);
    EXPECT_EQ(MulDiv(7, 5, 0), -1); // as Windows answers, instead of dividing by zero
}

TEST(SeatGrid, PropertyRanges) {
    TKavSeatGrid grid;
    EXPECT_EQ(grid.RowCount(), 40);
    EXPECT_EQ(grid.ColCount(), 60);
    EXPECT_EQ(grid.ColWidth(), 10);
    EXPECT_EQ(grid.RowHeight(), 12);
    // Out of range: ignored.
    for (int value : {0, -1, 101})
        EXPECT_FALSE(grid.SetRowCount(value)) << value;
    for (int value : {0, 151})
        EXPECT_FALSE(grid.SetColCount(value)) << value;
    for (int value : {9, 51, 60})
        EXPECT_FALSE(grid.SetColWidth(value)) << value;
    EXPECT_EQ(grid.RowCount(), 40);
    EXPECT_EQ(grid.ColCount(), 60);
    EXPECT_EQ(grid.ColWidth(), 10);
    // The limits themselves are taken, and rows stay 6/5 as tall as columns are wide.
    EXPECT_TRUE(grid.SetRowCount(100));
    EXPECT_TRUE(grid.SetRowCount(1));
    EXPECT_TRUE(grid.SetColCount(150));
    EXPECT_TRUE(grid.SetColWidth(50));
    EXPECT_EQ(grid.RowHeight(), 60);
    EXPECT_TRUE(grid.SetColWidth(23));
    EXPECT_EQ(grid.RowHeight(), 28); // 27.6
}

TEST(SeatGrid, FittingColWidthClamps) {
    TKavSeatGrid grid;                              // 60 x 40
    EXPECT_EQ(grid.FittingColWidth(400, 300), 10);  // 6 and 6: below the minimum
    EXPECT_EQ(grid.FittingColWidth(1200, 960), 20); // 20 and MulDiv(24, 5, 6)
    EXPECT_EQ(grid.FittingColWidth(1200, 600), 13); // height limits: MulDiv(15, 5, 6) = 12.5
    EXPECT_EQ(grid.FittingColWidth(9000, 9000), 50);
}

TEST(SeatGrid, GeometryAndVisibleRange) {
    TKavSeatGrid grid;
    EXPECT_EQ(grid.CellRect(1, 1), QRect(0, 0, 10, 12));
    EXPECT_EQ(grid.CellRect(3, 5), QRect(40, 24, 10, 12));
    EXPECT_EQ(grid.CellAt(49, 35), QPoint(5, 3));
    EXPECT_EQ(grid.CellAt(50, 36), QPoint(6, 4));
    // One cell of margin around the clip, bounded by the grid.
    EXPECT_EQ(grid.VisibleRange(QRect(0, 0, 600, 480)), (TKavCellRange{1, 60, 1, 40}));
    EXPECT_EQ(grid.VisibleRange(QRect(40, 24, 10, 12)), (TKavCellRange{3, 6, 1, 4}));
    EXPECT_EQ(grid.VisibleRange(QRect(300, 300, 5000, 5000)), (TKavCellRange{29, 60, 24, 40}));
}

TEST(SeatGrid, OutsideTheGrid) {
    TKavSeatGrid grid = SmallGrid();
    std::optional<TKavCellRange> range;
    // Below the last row or right of the last column: nothing at all.
    EXPECT_TRUE(Select(grid, 5, 48, 5, 48, &range).empty());
    EXPECT_FALSE(range);
    EXPECT_TRUE(Select(grid, 60, 5, 90, 5, &range).empty());
    EXPECT_FALSE(range);
    // Wholly above the grid: nothing either.
    EXPECT_TRUE(Select(grid, 5, -40, 5, -20, &range).empty());
    EXPECT_FALSE(range);
    // A drag from above and left of the grid starts at row and column 1; one past the end is clamped.
    EXPECT_EQ(Select(grid, -35, -50, 15, 100, &range).size(), 7u); // columns 1-2 of rows 1-4 but locked (2,2)
    EXPECT_EQ(range, (TKavCellRange{1, 2, 1, 4}));
    // Coordinates just before the grid truncate toward zero and fall in the first cell.
    EXPECT_EQ(Select(grid, -9, -11, -9, -11, &range), (Toggles{{1, 1, false}}));
    EXPECT_EQ(range, (TKavCellRange{1, 1, 1, 1}));
}

TEST(SeatGrid, DragInvertsMixedSelection) {
    TKavSeatGrid grid = SmallGrid();
    Select(grid, 5, 5, 5, 5);   // (1,1) on
    Select(grid, 25, 5, 25, 5); // (1,3) on
    EXPECT_EQ(
        Select(grid, 0, 0, 59, 11),
        (Toggles{{1, 1, false}, {1, 2, true}, {1, 3, false}, {1, 4, true}, {1, 5, true}, {1, 6, true}}));
    EXPECT_EQ(grid.SelectedCellCount(), 4);
    grid.ClearSelection();
    EXPECT_EQ(grid.SelectedCellCount(), 0);
    EXPECT_FALSE(grid.Cell(1, 4).Selected);
}

// The count and the list of selected cells come from the cells, so a cell changed or cleared by its
// owner never leaves the count behind; cells outside the array are refused in every build.
TEST(SeatGrid, SelectionFollowsTheCells) {
    TKavSeatGrid grid = SmallGrid();
    Select(grid, 5, 5, 25, 17); // (1,1) (1,2) (1,3) (2,1) (2,3)
    EXPECT_EQ(grid.SelectedCellCount(), 5);
    ClearCell(grid.Cell(1, 2));
    grid.Cell(4, 6).Selected = true;
    EXPECT_EQ(grid.SelectedCellCount(), 5);
    EXPECT_EQ(grid.SelectedCells(), (std::vector<TKavCellPos>{{1, 1}, {1, 3}, {2, 1}, {2, 3}, {4, 6}}));
    EXPECT_THROW(grid.Cell(0, 1), std::out_of_range);
    EXPECT_THROW(grid.Cell(101, 1), std::out_of_range);
    EXPECT_THROW(grid.Cell(1, 151), std::out_of_range);
    EXPECT_NO_THROW(grid.Cell(100, 150));
}

// Outside design view the focus goes from seat to seat over empty places and stays where there is
// none; in design view every cell of the grid can take it.
TEST(SeatGrid, FocusMovesFromSeatToSeat) {
    TKavSeatGrid grid = SmallGrid();
    for (int row = 1; row <= 4; ++row)
        grid.Cell(row, 1).CellStatus = TKavCellStatus::kavcsNone;
    EXPECT_EQ(grid.FocusCell(), (TKavCellPos{0, 0}));
    EXPECT_TRUE(grid.MoveFocus(0, 1)); // the first seat
    EXPECT_EQ(grid.FocusCell(), (TKavCellPos{1, 2}));
    EXPECT_TRUE(grid.MoveFocus(1, 0));
    EXPECT_EQ(grid.FocusCell(), (TKavCellPos{2, 2})); // a locked seat takes the focus too
    EXPECT_TRUE(grid.SetFocusCell(2, 3));
    EXPECT_FALSE(grid.MoveFocus(0, 1)); // columns 4-6 of row 2 are empty
    EXPECT_EQ(grid.FocusCell(), (TKavCellPos{2, 3}));
    EXPECT_FALSE(grid.MoveFocus(0, 0));
    EXPECT_FALSE(grid.SetFocusCell(5, 1));
    grid.SetInDesign(true);
    EXPECT_TRUE(grid.MoveFocus(0, 1));
    EXPECT_EQ(grid.FocusCell(), (TKavCellPos{2, 4}));
    EXPECT_TRUE(grid.MoveFocus(-1, 0));
    EXPECT_TRUE(grid.MoveFocus(-1, 0) == false);
}
