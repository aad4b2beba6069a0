#pragma once
// What the ticket office's operations read about orders' state. An order is accounted (paid) once
// a payment of it is recorded in KAV_ACCOUNT_SHOW.

#include "server/db/database.h"

#include <string>
#include <vector>

namespace kav::server {

bool OrderHasPayment(Connection& connection, const std::string& nodeCode, const std::string& orderCode);

// Paid (status R) with a seat that has no ticket yet.
bool IsPaidAndNotCollected(Connection& connection, const std::string& nodeCode, const std::string& orderCode);

// The codes of the batch's orders that are booked (status B) and have no payment, in code order.
std::vector<std::string> UnpaidBatchOrders(Connection& connection, const std::string& nodeCode,
                                           const std::string& batchCode);

} // namespace kav::server
