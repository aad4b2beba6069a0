#pragma once
// The seats of a performance's section as the seat layout window draws them: reading them, and saving
// the window's delta of them (inserted, moved, renumbered, re-levelled and deleted seats).
//
// A save writes only layout columns (floor, row, seat number, added, description, kind, price level,
// position); never a seat's sale status or order. The node comes from the session; new seats take
// their codes from the counter "SEATCODE" and start free. Before anything is written the whole delta
// is checked: every seat inside the section's grid with numbers in range; no seat held by an order
// (status other than free, or an order code) deleted, moved or renumbered; no two seats of the
// section on one cell or with one identity (floor, row, seat, added) afterwards. A refusal names the
// seat in the seller's language and changes nothing.
//
// Saving the same delta twice stores each seat once: a new seat that already stands on its cell with
// its identity (the first save went through, its answer was lost) is that seat, deletions of seats
// already gone are passed over, and changes write what the seat becomes.
//
// Both run inside the caller's transaction.

#include "rpc/variant.h"
#include "server/db/database.h"

#include <string>

namespace kav::server {

struct TSeatLayoutScope {
    std::string Node;
    std::string Product;
    std::string Map;
    std::string Section;
};

// The section's seats: NODECODE, MAPCODE, SECTIONCODE, SEATCODE, FLOORNO, ROWNO, SEATNO, ISADDITION,
// STATUS, KIND, PRICELEVEL, X, Y, SELECTED ("N"), DESCRIPTION, by Y then X, as a data packet.
std::string ReadSeatLayout(Connection& connection, const TSeatLayoutScope& scope);

// Checks and applies the delta of those rows. Raises pelio::EosRemoteException for a refusal.
void SaveSeatLayout(Connection& connection, const TSeatLayoutScope& scope, const pelio::Variant& delta);

} // namespace kav::server
