#pragma once
// Cancelling a booking: a booked (B, or N on line), unpaid order becomes cancelled (C) with the
// caller as its handler and now as the handler time, and the seats it held are free again. Paid and
// printed orders are never cancelled here: refunds are another matter.

#include "server/db/database.h"
#include "server/ticketoffice/caller.h"

#include <string>

namespace kav::server {

enum class CancelOutcome {
    Cancelled,
    Unknown,         // no such order on the caller's node
    CancelledBefore, // it was cancelled already (by someone else, perhaps at the same moment)
    Paid,            // paid or collected: left alone
};

// Inside the caller's transaction. Two calls for one order at once: one cancels, the other finds
// it cancelled before; an accounting at the same moment either wins (Paid) or finds it cancelled.
CancelOutcome CancelUnpaidOrder(Connection& connection, const Caller& caller, const std::string& orderCode,
                                const std::string& now);

// One transaction around CancelUnpaidOrder.
CancelOutcome CancelBooking(Connection& connection, const Caller& caller, const std::string& orderCode);

} // namespace kav::server
