#pragma once
// Running numbers kept in KAV_COUNTER, drawn inside the caller's transaction: the counter's row
// stays locked until that transaction ends (PostgreSQL row lock, SQLite write lock), so two
// transactions never draw the same number, and a rolled-back draw gives its numbers back.

#include "server/db/database.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kav::server {

// Reserves `count` (> 0) consecutive numbers of counter `name` and returns the first. A counter
// drawn for the first time starts after the value of `startSql`, a query of one integer (for
// example the largest number already used by rows written before the counter existed).
// Raises EDatabase when the database refuses.
std::int64_t DrawNumbers(Connection& connection, const std::string& name, std::int64_t count,
                         std::string_view startSql = "select 0");

// A new order code of the node: "K", the node code and the node's next order number in eight digits.
std::string NewOrderCode(Connection& connection, const std::string& nodeCode);

// A collection password for a new order: six random digits that no order of the node still to be
// collected (B, N, R) has, so that the password alone finds the order at collection. Raises
// pelio::EosRemoteException in the rare case that several draws all find the password taken.
std::string NewCollectionPassword(Connection& connection, const std::string& nodeCode);

} // namespace kav::server
