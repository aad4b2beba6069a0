#include "seatmap/seatedithistory.h"

#include "seatmap/seatediting.h"

namespace kav {

namespace {

std::size_t IndexOf(int row, int col) {
    return static_cast<std::size_t>((row - 1) * TKavSeatGrid::MaxColCount + (col - 1));
}

} // namespace

void TKavSeatEditHistory::Begin(const TKavSeatGrid& grid, const TKavSeatCodes& deletions) {
    snapshot_.resize(static_cast<std::size_t>(TKavSeatGrid::MaxRowCount) * TKavSeatGrid::MaxColCount);
    for (int row = 1; row <= TKavSeatGrid::MaxRowCount; ++row)
        for (int col = 1; col <= TKavSeatGrid::MaxColCount; ++col)
            snapshot_[IndexOf(row, col)] = grid.Cell(row, col);
    deletionsBefore_ = deletions;
}

bool TKavSeatEditHistory::Commit(const TKavSeatGrid& grid, const TKavSeatCodes& deletions) {
    if (snapshot_.empty()) return false;
    Step step;
    for (int row = 1; row <= TKavSeatGrid::MaxRowCount; ++row)
        for (int col = 1; col <= TKavSeatGrid::MaxColCount; ++col) {
            const TKavCellInfo& before = snapshot_[IndexOf(row, col)];
            const TKavCellInfo& after = grid.Cell(row, col);
            if (!SameCell(before, after)) step.cells.push_back({{row, col}, before, after});
        }
    snapshot_.clear();
    snapshot_.shrink_to_fit();
    if (step.cells.empty() && deletions == deletionsBefore_) return false;
    step.deletionsBefore = std::move(deletionsBefore_);
    step.deletionsAfter = deletions;
    undo_.push_back(std::move(step));
    if (undo_.size() > MaxSteps) undo_.erase(undo_.begin());
    redo_.clear();
    return true;
}

void TKavSeatEditHistory::Apply(const Step& step, bool forward, TKavSeatGrid& grid,
                                TKavSeatCodes& deletions) {
    for (const Change& change : step.cells) {
        TKavCellInfo& cell = grid.Cell(change.pos.Row, change.pos.Col);
        const bool selected = cell.Selected;
        cell = forward ? change.after : change.before;
        cell.Selected = selected;
    }
    deletions = forward ? step.deletionsAfter : step.deletionsBefore;
}

bool TKavSeatEditHistory::Undo(TKavSeatGrid& grid, TKavSeatCodes& deletions) {
    if (undo_.empty()) return false;
    Apply(undo_.back(), false, grid, deletions);
    redo_.push_back(std::move(undo_.back()));
    undo_.pop_back();
    return true;
}

bool TKavSeatEditHistory::Redo(TKavSeatGrid& grid, TKavSeatCodes& deletions) {
    if (redo_.empty()) return false;
    Apply(redo_.back(), true, grid, deletions);
    undo_.push_back(std::move(redo_.back()));
    redo_.pop_back();
    return true;
}

void TKavSeatEditHistory::Clear() {
    undo_.clear();
    redo_.clear();
    snapshot_.clear();
}

} // namespace kav
