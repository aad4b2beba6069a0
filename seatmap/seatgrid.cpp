#include "seatmap/seatgrid.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace kav {

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    std::int64_t quotient = product / c;
    const std::int64_t remainder = product % c;
    if (2 * (remainder < 0 ? -remainder : remainder) >= (c < 0 ? -static_cast<std::int64_t>(c) : c))
        quotient += (product < 0) != (c < 0) ? -1 : 1;
    return static_cast<int>(quotient);
}

void ClearCell(TKavCellInfo& cell) {
    cell.CellStatus = TKavCellStatus::kavcsNone;
    cell.Selected = false;
    cell.Kind = 'N';
    cell.SeatStatus = 'F';
    cell.FloorNo = 1;
    cell.RowNo = 1;
    cell.SeatNo = 1;
    cell.IsAddition = false;
    cell.SeatCode = 0;
    cell.RowName.clear();
}

TKavSeatGrid::TKavSeatGrid() : cells_(std::make_unique<TKavCellInfo[]>(MaxRowCount * MaxColCount)) {}

bool TKavSeatGrid::SetRowCount(int value) {
    if (value < 1 || value > MaxRowCount) return false;
    rowCount_ = value;
    return true;
}

bool TKavSeatGrid::SetColCount(int value) {
    if (value < 1 || value > MaxColCount) return false;
    colCount_ = value;
    return true;
}

bool TKavSeatGrid::SetColWidth(int value) {
    if (value < MinColWidth || value > MaxColWidth) return false;
    colWidth_ = value;
    rowHeight_ = MulDiv(value, 6, 5);
    return true;
}

int TKavSeatGrid::FittingColWidth(int width, int height) const {
    const int w = width / colCount_;
    const int h = MulDiv(height / rowCount_, 5, 6);
    return std::clamp(std::min(w, h), MinColWidth, MaxColWidth);
}

TKavCellInfo& TKavSeatGrid::Cell(int row, int col) {
    if (!InArray(row, col))
        throw std::out_of_range("seat map cell (" + std::to_string(row) + ", " + std::to_string(col) +
                                ") lies outside the cell array");
    return cells_[static_cast<std::size_t>((row - 1) * MaxColCount + (col - 1))];
}

const TKavCellInfo& TKavSeatGrid::Cell(int row, int col) const {
    return const_cast<TKavSeatGrid*>(this)->Cell(row, col);
}

QRect TKavSeatGrid::CellRect(int row, int col) const {
    return QRect((col - 1) * colWidth_, (row - 1) * rowHeight_, colWidth_, rowHeight_);
}

TKavCellRange TKavSeatGrid::VisibleRange(const QRect& clip) const {
    const int right = clip.left() + clip.width();
    const int bottom = clip.top() + clip.height();
    return {std::max(1, clip.left() / colWidth_ - 1), std::min(colCount_, right / colWidth_ + 1),
            std::max(1, clip.top() / rowHeight_ - 1), std::min(rowCount_, bottom / rowHeight_ + 1)};
}

QPoint TKavSeatGrid::CellAt(int x, int y) const {
    return {x / colWidth_ + 1, y / rowHeight_ + 1};
}

// Rows or columns from two coordinates: the first from the lower one (truncating toward zero, so a
// coordinate just before the grid still falls in the first row), nothing when the span starts past
// the grid or ends before it.
std::optional<std::pair<int, int>> TKavSeatGrid::ClampedSpan(int low, int high, int size, int count) const {
    if (low > high) std::swap(low, high);
    const int first = low / size + 1;
    const int last = high / size + 1;
    if (first > count || last < 1) return std::nullopt;
    return std::pair{std::max(first, 1), std::min(last, count)};
}

std::optional<TKavCellRange> TKavSeatGrid::SelectCellInRect(int x1, int y1, int x2, int y2,
                                                            const ToggleFn& toggled) {
    const auto rows = ClampedSpan(y1, y2, rowHeight_, rowCount_);
    if (!rows) return std::nullopt;
    const auto cols = ClampedSpan(x1, x2, colWidth_, colCount_);
    if (!cols) return std::nullopt;
    for (int row = rows->first; row <= rows->second; ++row) {
        for (int col = cols->first; col <= cols->second; ++col) {
            TKavCellInfo& cell = Cell(row, col);
            if (!Selectable(cell)) continue;
            cell.Selected = !cell.Selected;
            if (inDesign_ && cell.Selected) {
                row_ = row;
                col_ = col;
            }
            if (toggled) toggled(row, col, cell.Selected);
        }
    }
    return TKavCellRange{cols->first, cols->second, rows->first, rows->second};
}

bool TKavSeatGrid::Selectable(const TKavCellInfo& cell) const {
    return inDesign_ ? cell.CellStatus != TKavCellStatus::kavcsLocked
                     : cell.CellStatus == TKavCellStatus::kavcsNormal;
}

void TKavSeatGrid::ClearSelection() {
    for (int i = 0; i < MaxRowCount * MaxColCount; ++i)
        cells_[static_cast<std::size_t>(i)].Selected = false;
}

int TKavSeatGrid::SelectedCellCount() const {
    int count = 0;
    for (int i = 0; i < MaxRowCount * MaxColCount; ++i)
        count += cells_[static_cast<std::size_t>(i)].Selected ? 1 : 0;
    return count;
}

std::vector<TKavCellPos> TKavSeatGrid::SelectedCells() const {
    std::vector<TKavCellPos> cells;
    for (int row = 1; row <= MaxRowCount; ++row)
        for (int col = 1; col <= MaxColCount; ++col)
            if (Cell(row, col).Selected) cells.push_back({row, col});
    return cells;
}

bool TKavSeatGrid::SetFocusCell(int row, int col) {
    if (!InGrid(row, col)) return false;
    focus_ = {row, col};
    return true;
}

bool TKavSeatGrid::MoveFocus(int dRow, int dCol) {
    const auto holdsSeat = [this](int row, int col) {
        return inDesign_ || Cell(row, col).CellStatus != TKavCellStatus::kavcsNone;
    };
    if (!InGrid(focus_.Row, focus_.Col)) {
        for (int row = 1; row <= rowCount_; ++row)
            for (int col = 1; col <= colCount_; ++col)
                if (holdsSeat(row, col)) return SetFocusCell(row, col);
        return false;
    }
    int row = focus_.Row + dRow, col = focus_.Col + dCol;
    while (InGrid(row, col) && (dRow != 0 || dCol != 0)) {
        if (holdsSeat(row, col)) return SetFocusCell(row, col);
        row += dRow;
        col += dCol;
    }
    return false;
}

} // namespace kav
