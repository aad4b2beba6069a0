#pragma once
// The price levels a seat map's price data needs besides a performance's prices: the map-only levels
// L, S, X, Y and Z, each appended once, when the data lacks it; and, for a performance without prices
// (a layout drawn before its prices are set), the levels A to H without a price to draw with. The
// change log is merged afterwards, so the levels are never sent back as changes.

namespace kav {

class TClientDataSet;

// `prices` must be open and have a PRICELEVEL field.
void CompletePriceLevels(TClientDataSet& prices, bool levelsForNoPrices);

} // namespace kav
