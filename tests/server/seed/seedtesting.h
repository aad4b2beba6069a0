#pragma once
// Shared pieces of the seed tests: the demo database of each backend, seeded once, and a dump of
// every table for comparing databases.

#include "platform/core/datetime.h"
#include "server/db/database.h"

#include <string>
#include <vector>

namespace kav::server::test {

// The day the statement catalogue's literal dates were written for.
inline constexpr int kCatalogueYear = 2026, kCatalogueMonth = 12, kCatalogueDay = 7;

// A database of the backend seeded with "demo" for today, shared by all tests of the run.
Database& DemoDatabase(Backend backend);

// Every row of every seeded table as text, sorted, password hashes left out (their salts are
// random). Date-times are moved back by `shiftDays`, so that seeds of different days compare.
std::vector<std::string> DumpTables(Database& db, int shiftDays = 0);

// Count of rows of a statement whose single column is a count.
std::int64_t CountOf(Connection& connection, const std::string& sql);

} // namespace kav::server::test
