#pragma once
// The state of the seat map control without painting: the 100 x 150 cell array, the grid size and cell
// size with their accepted ranges, hit tests, the selection rules of clicks and drags, and the keyboard's
// focus cell.
//
// Coordinates are relative to the top-left corner of the grid. Rows and columns count from 1. A plain
// value owned by the control; not thread-safe.

#include "seatmap/cellinfo.h"

#include <QRect>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace kav {

// Windows-style MulDiv: a * b / c in 64 bits, rounded half away from zero; -1 when c is 0, as the
// Windows function answers.
int MulDiv(int a, int b, int c);

struct TKavCellPos {
    int Row = 0, Col = 0;
    bool operator==(const TKavCellPos&) const = default;
};

struct TKavCellRange {
    int Col1 = 1, Col2 = 0, Row1 = 1, Row2 = 0; // inclusive; empty when Col2 < Col1 or Row2 < Row1
    bool operator==(const TKavCellRange&) const = default;
};

class TKavSeatGrid {
public:
    static constexpr int MaxRowCount = 100;
    static constexpr int MaxColCount = 150;
    static constexpr int MinColWidth = 10;
    static constexpr int MaxColWidth = 50;

    TKavSeatGrid();

    int RowCount() const { return rowCount_; }
    int ColCount() const { return colCount_; }
    int ColWidth() const { return colWidth_; }
    int RowHeight() const { return rowHeight_; }
    // Each setter returns whether the value was in range and taken; out-of-range values are ignored.
    bool SetRowCount(int value);
    bool SetColCount(int value);
    bool SetColWidth(int value); // also sets RowHeight to MulDiv(ColWidth, 6, 5)
    // The column width that fills a control of the given size, clamped to the accepted range.
    int FittingColWidth(int width, int height) const;

    bool InDesign() const { return inDesign_; }
    void SetInDesign(bool value) { inDesign_ = value; }

    // Whether (row, col) lies in the cell array (not necessarily in the grid).
    static bool InArray(int row, int col) {
        return row >= 1 && row <= MaxRowCount && col >= 1 && col <= MaxColCount;
    }
    bool InGrid(int row, int col) const {
        return row >= 1 && row <= rowCount_ && col >= 1 && col <= colCount_;
    }
    // Raises std::out_of_range outside the cell array, in every build: a cell written outside it would
    // corrupt the control.
    TKavCellInfo& Cell(int row, int col);
    const TKavCellInfo& Cell(int row, int col) const;

    QRect CellRect(int row, int col) const;
    // The cells to paint for a clip rectangle, with one cell of margin on every side.
    TKavCellRange VisibleRange(const QRect& clip) const;
    // The cell under a point; row and column may lie outside the grid.
    QPoint CellAt(int x, int y) const; // x() = column, y() = row

    // Counted from the cells, so that it stays true whoever changes them.
    int SelectedCellCount() const;
    // The selected cells of the whole array, row by row, left to right.
    std::vector<TKavCellPos> SelectedCells() const;
    // The last cell selected in design view; it may have been unselected since (use SelectedCells).
    int Row() const { return row_; }
    int Col() const { return col_; }

    // Whether a click may toggle the cell: outside design view only kavcsNormal cells, in design view
    // all but kavcsLocked ones.
    bool Selectable(const TKavCellInfo& cell) const;

    // Called for each cell that a selection toggles, with its new Selected value.
    using ToggleFn = std::function<void(int row, int col, bool selected)>;

    // Applies a click (both points equal) or a drag: toggles the cells of the rectangle spanned by the two
    // points that may change (outside design view only kavcsNormal ones; in design view all but
    // kavcsLocked ones), row by row, left to right. Returns the clamped rectangle, or nothing when the
    // rectangle lies wholly below or right of the grid (or wholly above or left of it), in which case
    // nothing changes.
    std::optional<TKavCellRange> SelectCellInRect(int x1, int y1, int x2, int y2,
                                                  const ToggleFn& toggled = {});
    void ClearSelection();

    // The keyboard's focus cell; none ({0, 0}) until set or moved.
    TKavCellPos FocusCell() const { return focus_; }
    // Sets the focus cell; false (and no change) outside the grid.
    bool SetFocusCell(int row, int col);
    // Moves the focus one step by (dRow, dCol), each -1, 0 or 1. Outside design view the step passes
    // over places without a seat to the next seat in that direction. Without a focus cell the first
    // seat (in design view the first cell) becomes the focus. False when there is nowhere to go.
    bool MoveFocus(int dRow, int dCol);

private:
    std::optional<std::pair<int, int>> ClampedSpan(int low, int high, int size, int count) const;

    std::unique_ptr<TKavCellInfo[]> cells_;
    int rowCount_ = 40;
    int colCount_ = 60;
    int colWidth_ = MinColWidth;
    int rowHeight_ = MulDiv(MinColWidth, 6, 5);
    bool inDesign_ = false;
    int row_ = 0;
    int col_ = 0;
    TKavCellPos focus_;
};

} // namespace kav
