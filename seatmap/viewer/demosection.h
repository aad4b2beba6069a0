#pragma once
// A generated section for looking at the seat map by hand and for measuring it: every price level,
// every sales status, seat kinds with marks, locked seats, aisles and empty corners.

namespace kav {

class TClientDataSet;
class TKavSeatMapShow;

// Sets the grid to rows x cols and fills every cell; the same arguments give the same section.
void FillDemoSection(TKavSeatMapShow& map, int rows, int cols);

// Creates `prices` as a price table: PRICELEVEL (shown as "等级"), PRICE (shown as "票价") and one row per
// price level, dearest first.
void FillDemoPriceTable(TClientDataSet& prices);

} // namespace kav
