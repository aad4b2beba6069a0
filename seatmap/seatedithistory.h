#pragma once
// Undo and redo of the seat map's design commands. A step keeps only the cells a command changed,
// before and after (the selection aside), and the seat codes waiting to be deleted from the seat data
// before and after, so a long afternoon of drawing costs memory by what changed, not by the grid.
// The screen clears the history when the layout is saved or loaded again.
//
// Threading: that of the grid (the GUI thread).

#include "seatmap/seatgrid.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

namespace kav {

using TKavSeatCodes = std::set<std::int32_t>;

class TKavSeatEditHistory {
public:
    static constexpr std::size_t MaxSteps = 500;

    // Remembers the grid and the pending deletions before a command.
    void Begin(const TKavSeatGrid& grid, const TKavSeatCodes& deletions);
    // Keeps what the command changed as a step and forgets the steps undone before it; false, and no
    // step, when it changed nothing.
    bool Commit(const TKavSeatGrid& grid, const TKavSeatCodes& deletions);

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    // Puts the cells and deletions back as they were before (after) the last step undone (redone);
    // false when there is none. Cells keep their current selection.
    bool Undo(TKavSeatGrid& grid, TKavSeatCodes& deletions);
    bool Redo(TKavSeatGrid& grid, TKavSeatCodes& deletions);
    void Clear();

private:
    struct Change {
        TKavCellPos pos;
        TKavCellInfo before, after;
    };
    struct Step {
        std::vector<Change> cells;
        TKavSeatCodes deletionsBefore, deletionsAfter;
    };
    static void Apply(const Step& step, bool forward, TKavSeatGrid& grid, TKavSeatCodes& deletions);

    std::vector<TKavCellInfo> snapshot_;
    TKavSeatCodes deletionsBefore_;
    std::vector<Step> undo_, redo_;
};

} // namespace kav
