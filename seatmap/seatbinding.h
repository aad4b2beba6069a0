#pragma once
// Moving seats between a seat dataset and the seat map's cells: loading the seat rows into the cells,
// handing the selection back as the rows' SELECTED values, and writing a laid-out grid back into the
// rows. The seat rows name their cell by X (column) and Y (row).
//
// Fields read and written (names ignoring case): X, Y and SEATCODE are required; PRICELEVEL, KIND,
// STATUS, FLOORNO, ROWNO, SEATNO, ISADDITION ("Y" for an added seat) and DESCRIPTION are read when
// present. A missing required field, or a value that does not convert, raises EDatabaseError.
//
// GUI thread, like the datasets and the grid.

#include "seatmap/seatgrid.h"

#include <cstdint>
#include <functional>
#include <set>
#include <string>

namespace kav {

class TClientDataSet;

struct TKavSeatLoadResult {
    int Loaded = 0;
    int Skipped = 0; // rows whose X or Y lies outside the grid
};

// Empties every cell of the array, then fills a cell of the grid for each seat row the dataset
// shows. A row whose X or Y lies outside the grid is skipped and counted. A seat can be selected
// (kavcsNormal) when `filter` is empty or accepts its row (as a filter of the dataset would); the
// others are shown but locked (kavcsLocked). A filter that does not parse raises EFilterError.
TKavSeatLoadResult LoadSeatCells(TKavSeatGrid& grid, TClientDataSet& seats, const std::string& filter);

// Sets SELECTED to "Y" on every seat row whose cell is selected and to "N" on the others (also on
// rows outside the grid); a row that already holds the value is not touched. The dataset keeps its
// current row.
void GatherSelectedSeats(const TKavSeatGrid& grid, TClientDataSet& seats);

// Writes the grid back into the seat rows, row by row, left to right: a cell that holds a seat edits
// the row of its seat code, or appends a new row when the code is 0 or not found (after `onNewRecord`
// has filled what the screen fills in a new row, such as a provisional SEATCODE, which is then written
// back into the cell so that gathering again edits that row instead of appending another); an empty
// cell whose non-zero seat code is found deletes that row, and so does each code of `deletions` (seats
// the user deleted) that no cell holds. FLOORNO, ROWNO, SEATNO, ISADDITION, DESCRIPTION, KIND,
// PRICELEVEL, X and Y are written; a row that already holds those values is not touched, so an
// unchanged grid leaves no change behind. On any error every pending change of the dataset is
// cancelled and the error raised again; the cells, and so the user's work, stay as they were.
void GatherSeatCells(TKavSeatGrid& grid, TClientDataSet& seats,
                     const std::function<void(TClientDataSet&)>& onNewRecord = {},
                     const std::set<std::int32_t>& deletions = {});

} // namespace kav
