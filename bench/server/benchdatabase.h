#pragma once
// The large bench database the search benchmarks share. It is seeded once with bench:N into a
// file that later runs (of any of these benchmarks) reuse:
//   KAV_BENCH_DB      the file (default /tmp/kav-bench-orders-N.db)
//   KAV_BENCH_ORDERS  N (default 1000000; seeding that many takes several minutes)
// A file left by an older schema is upgraded when it is opened, as kav-server upgrades its database.

#include "server/db/database.h"

#include <memory>

namespace kav::bench {

// Opens the bench database, seeding it first when the file does not exist yet (saying so on
// standard error). Raises EDatabase when it cannot be opened or seeded.
std::unique_ptr<server::Database> OpenBenchDatabase();

} // namespace kav::bench
