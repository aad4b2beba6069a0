#pragma once
// The state of the seat map control without painting: the 100 x 150 cell array, the grid size and cell
// size with their accepted ranges, hit tests and the selection rules of clicks and drags.
//
// Coordinates are relative to the top-left corner of the grid. Rows and columns count from 1. A plain
// value owned by the control; not thread-safe.

#include "seatmap/cellinfo.h"

#include <QRect>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace kav {

// Windows-style MulDiv: a * b / c in 64 bits, rounded half away from zero.
int MulDiv(int a, int b, int c);

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

    // Precondition (asserted): 1 <= row <= MaxRowCount, 1 <= col <= MaxColCount.
    TKavCellInfo& Cell(int row, int col);
    const TKavCellInfo& Cell(int row, int col) const;

    QRect CellRect(int row, int col) const;
    // The cells to paint for a clip rectangle, with one cell of margin on every side.
    TKavCellRange VisibleRange(const QRect& clip) const;
    // The cell under a point; row and column may lie outside the grid.
    QPoint CellAt(int x, int y) const; // x() = column, y() = row

    int SelectedCellCount() const { return selectedCount_; }
    int Row() const { return row_; }
    int Col() const { return col_; }

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

private:
    std::optional<std::pair<int, int>> ClampedSpan(int low, int high, int size, int count) const;

    std::unique_ptr<TKavCellInfo[]> cells_;
    int rowCount_ = 40;
    int colCount_ = 60;
    int colWidth_ = MinColWidth;
    int rowHeight_ = MulDiv(MinColWidth, 6, 5);
    bool inDesign_ = false;
    int selectedCount_ = 0;
    int row_ = 0;
    int col_ = 0;
};

} // namespace kav
