#pragma once
// The seat counts of the performance collect report: per seat map and product, for each report price
// level, the seats and the seats not sold (services/collectreport/tpcollectreport_int.h, GetSeatAmount).

#include "server/db/database.h"

#include <optional>
#include <string>
#include <vector>

namespace kav::server {

struct SeatAmountQuery {
    std::string node;
    std::vector<std::string> mapCodes; // empty: every map
    std::vector<std::string> productCodes;
    // Set: the seats not sold are those the ledger had not sold by then ("YYYY-MM-DD hh:mm:ss").
    std::optional<std::string> soldBy;
    bool countAddedSeats = false;
};

// The data packet: MapCode, PRODUCTCODE, then A_TotalAmount, A_HoldAmount, ... for "ABCDEFGHJKMN"; one row
// per map and product that has seats, ordered by map and product. Raises EDatabase when the database does.
std::string SeatAmountPacket(Connection& connection, const SeatAmountQuery& query);

} // namespace kav::server
