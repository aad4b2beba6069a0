#pragma once
// The design commands of the seat map on its cells, without windows: editing one seat's identity,
// moving and copying a block of selected seats (copies numbered automatically), deleting seats, and
// the cell operations they are made of. Cells are addressed by (column, row) as the composite map
// addresses them; rows and columns count from 1.
//
// A seat's identity within its section is (floor, row, seat number, added); no two seats of the grid
// share it. Seat numbers stay within 1..KavMaxSeatNo and row numbers within 1..KavMaxRowNo, so
// numbering never reaches 0, a negative number, or past what the seat data holds.
//
// Threading: that of the grid (the GUI thread).

#include "seatmap/seatgrid.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kav {

inline constexpr int KavMaxSeatNo = 20000;
inline constexpr int KavMaxRowNo = 100;
inline constexpr int KavMaxEditStep = 200;
inline constexpr int KavMaxCopyTimes = 150;

// Directions as the dialogs store them: 'L' left, 'T' up, 'R' right, 'B' down.
struct TKavSeatMove {
    char Direction = 'L';
    int Step = 1; // 1..KavMaxEditStep
};

struct TKavSeatCopy {
    char Direction = 'L';
    int Step = 1;      // 1..KavMaxEditStep cells between copies
    char Entity = 'S'; // 'S' seat numbers, 'R' row numbers change from copy to copy
    int Increment = 2; // -4..4
    int Times = 10;    // 1..KavMaxCopyTimes copies of each seat
};

// What the seat editor sets on a cell.
struct TKavSeatIdentity {
    std::int16_t FloorNo = 1;
    std::int16_t RowNo = 1;
    std::int16_t SeatNo = 1;
    bool IsAddition = false;
    std::string Description;
    std::string SectionName, FloorName, RowName;
};

// What the seat editor offers to choose from: the section, its floors and each floor's rows.
struct TKavSeatEditorChoices {
    struct Floor {
        int FloorNo = 0;
        std::string Name;
        std::vector<std::pair<int, std::string>> Rows; // number and name
    };
    std::vector<std::pair<std::string, std::string>> Sections; // code and name
    std::vector<Floor> Floors;
};

// The name of a row of a floor; empty when the row data has none.
using TKavRowNameOf = std::function<std::string(int floor, int row)>;

bool HoldsSeat(const TKavCellInfo& cell);

// Whether a seat of the grid other than the one at `except` (none: {0, 0}) has this identity.
bool IsSeatConflict(const TKavSeatGrid& grid, int floor, int row, bool addition, int seat,
                    TKavCellPos except = {});

// (col, row) lies in the grid and holds no seat.
bool CanBeReplace(const TKavSeatGrid& grid, int col, int row);
// Copies the seat of (col, row) onto (newCol, newRow) when that can be replaced: seat code, level,
// floor, state, kind, row and seat numbers, addition, description and names (not the selection, not
// the sale status). True when copied.
bool CopyACell(TKavSeatGrid& grid, int col, int row, int newCol, int newRow);
// Empties the cell, and forgets its seat code when `forgetSeat`; false outside the grid.
bool ClearACell(TKavSeatGrid& grid, int col, int row, bool forgetSeat);
// CopyACell, then the source emptied and its seat code forgotten.
bool MoveACell(TKavSeatGrid& grid, int col, int row, int newCol, int newRow);

// Moves every selected seat by the step, walking so that a block moves into the room it frees; a seat
// whose target is taken, or would leave the grid, stays. Returns the seats moved. The selection stays
// for the caller to clear.
int MoveSelectedCells(TKavSeatGrid& grid, const TKavSeatMove& move);

// Copies every selected seat Times times, Step cells apart, each copy a new seat (seat code 0, kind
// "N", free) numbered Increment on from the one before. A seat's copies stop at the first number that
// leaves its range or that another seat of the grid already has (with increment 0 the first copy
// already has its source's number, so nothing is copied); a copy whose cell is taken is left out.
// Seats too near the edge for all their copies are not copied. Returns the copies made.
int CopySelectedCells(TKavSeatGrid& grid, const TKavSeatCopy& copy, const TKavRowNameOf& rowNameOf);

// Empties every selected seat that is not locked. Returns the non-zero seat codes of the seats
// emptied, for the seat data to delete at the next gather.
std::vector<std::int32_t> DeleteSelectedCells(TKavSeatGrid& grid);

// Gives the cell at `pos` the identity; a cell without a seat becomes a new one (level "A", kind "N",
// free). False, and nothing changed, when another seat already has that identity.
bool EditSeat(TKavSeatGrid& grid, TKavCellPos pos, const TKavSeatIdentity& identity);

// Whether two cells hold the same seat the same way (the selection aside).
bool SameCell(const TKavCellInfo& a, const TKavCellInfo& b);

} // namespace kav
