#include "benchdatabase.h"

#include "server/seed/seed.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

namespace kav::bench {

namespace {

std::string Environment(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

} // namespace

std::unique_ptr<server::Database> OpenBenchDatabase() {
    const std::string orders = Environment("KAV_BENCH_ORDERS", "1000000");
    const std::string path = Environment(
        "KAV_BENCH_DB",
        (std::filesystem::temp_directory_path() / ("kav-bench-orders-" + orders + ".db")).string());
    const bool seeded = std::filesystem::exists(path);
    auto database = server::Database::Open("sqlite:" + path);
    // As kav-server does at start: a file seeded by an older build gets the indexes and tables added
    // since, so that the benchmarks measure the database the server would work on.
    const server::SchemaUpgrade schema = database->EnsureSchema();
    if (schema.Upgraded())
        std::cerr << "upgraded " << path << " from schema version " << schema.From << " to " << schema.To
                  << "\n";
    if (!seeded) {
        std::cerr << "seeding bench:" << orders << " into " << path << " (once)\n";
        server::SeedDatabase(*database, "bench:" + orders);
    }
    return database;
}

} // namespace kav::bench
