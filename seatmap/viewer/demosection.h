#pragma once
// A generated section for looking at the seat map by hand and for measuring it: every price level,
// every sales status, seat kinds with marks, locked seats, aisles and empty corners.

#include "seatmap/cellinfo.h"

#include <optional>

namespace kav {

class TClientDataSet;
class TKavSeatMapShow;

// The seat at (row, col) of the generated rows x cols section, or none for an aisle or empty corner;
// with `everyCell` every cell holds a seat (a section as full as the grid allows).
std::optional<TKavCellInfo> DemoSeatAt(int row, int col, int rows, int cols, bool everyCell = false);

// Sets the grid to rows x cols and fills every cell; the same arguments give the same section.
void FillDemoSection(TKavSeatMapShow& map, int rows, int cols);

// Creates `prices` as a price table: PRICELEVEL (shown as "等级"), PRICE (shown as "票价") and one row per
// price level, dearest first; for the composite seat map also PRICEMARK and TOTALSEATS.
void FillDemoPriceTable(TClientDataSet& prices, bool forMap = false);

// The generated section as the composite seat map's datasets: one section row (CNAME, CELLROWS,
// CELLCOLUMNS, STYLE), its floor, its rows (ROWNO, NAME), a row per seat with the fields the seat
// map reads (SELECTED "N", ORDERCODE "K1" for booked seats) and the price table with PRICEMARK and
// TOTALSEATS.
struct TDemoSeatData {
    TClientDataSet& section;
    TClientDataSet& floors;
    TClientDataSet& rows;
    TClientDataSet& seats;
    TClientDataSet& prices;
};
void FillDemoSeatData(const TDemoSeatData& data, int rows, int cols, bool everyCell = false);

} // namespace kav
