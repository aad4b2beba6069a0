#pragma once
// Sample data for a new database: "demo" for trying the product, "bench:N" for load tests.

#include "platform/core/datetime.h"
#include "server/db/database.h"

#include <string>

namespace kav::server {

// Creates the schema when the database has none and fills it with the data `spec` names, in one
// transaction: "demo" (node "01", its venues, performances, users and a few hundred orders of
// every kind, see server/seed/README.md) or "bench:N" (the same shape with N orders, N >= 1; its
// password hashes use libsodium's minimum limits, so bench data is for load tests only).
// A database that already holds users is left as it is. Everything but the dates is the same on
// every run; dates are placed around today, read once per call.
// Raises std::invalid_argument for any other spec and EDatabase when the database refuses a
// statement (nothing is written then).
void SeedDatabase(Database& db, const std::string& spec);
// The same with "today" given (its time of day is ignored).
void SeedDatabase(Database& db, const std::string& spec, TDateTime today);

} // namespace kav::server
