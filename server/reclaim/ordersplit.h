#pragma once
// Splitting chosen seats of a booked order off into a new order (ITPBackGroundReclaim's
// OrderHandlerSplit). The rules and the packets' columns are described in docs/services.md.
//
// The split runs in one transaction of its own: the order, its customer row and its order-wide
// registrations are copied under a new order code, the seats (and their registrations) move, and each
// price level line, the seat counts and the amounts due are divided between the two orders from the
// order's own lines, in whole cents, so that the two orders add up to the one before. Every check runs
// against the database inside that transaction; what the client sends is only compared with it.
// Refusals raise pelio::EosRemoteException with a message for the seller and change nothing; a
// database failure raises EDatabase.

#include "server/db/database.h"
#include "server/ticketoffice/caller.h"
#include "server/ticketoffice/requestpacket.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kav::server {

// At most this many seats are split at once.
inline constexpr std::size_t kMaxSplitSeats = 2000;

// The seat codes of a list "'1001','1002'": each a positive whole number of at most nine digits
// between apostrophes, joined by single commas, no blanks, no repeats. Anything else is refused
// naming the item; the text never reaches SQL.
std::vector<std::int64_t> ParseSeatCodeList(std::string_view list);

struct SplitRequest {
    std::string seatCodeList;
    RequestPacket& orderData;            // the order's row: ORDERCODE
    RequestPacket& reclaimSeatData;      // a row per seat: SEATCODE, ORDERCODE, NODECODE
    RequestPacket& reclaimCountAndMoney; // a row per price level: PriceLevel, ReclaimCount
};

// Splits the seats off and returns the new order's code.
std::string SplitOrder(Connection& connection, const Caller& caller, const SplitRequest& request);

} // namespace kav::server
