// Time to seed a new SQLite database with bench:N (N orders), and its rows per second.
//   build/bin/bench_serverseed --benchmark_filter='/100000/'
// KAV_BENCH_PG=<connection string> also seeds a new schema of that PostgreSQL database.
#include "server/seed/seed.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

using kav::server::Database;

std::int64_t CountRows(Database& db) {
    std::int64_t rows = 0;
    auto connection = db.Connect();
    for (const char* table :
         {"KAV_ORDER_SHOW", "KAV_ORDER_CLIENT_SHOW", "KAV_ORDER_DISCOUNT_SHOW", "KAV_SEAT_SHOW",
          "KAV_REPORT_SHOW", "KAV_ACCOUNT_SHOW", "KAV_TICKET_SHOW", "KAV_CLIENTINFO"})
        rows +=
            std::get<std::int64_t>(connection->Select(std::string("select count(*) from ") + table)[0][0]);
    return rows;
}

void SeedSQLite(benchmark::State& state) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("kav-seed-bench-" + std::to_string(getpid()));
    const std::string spec = "bench:" + std::to_string(state.range(0));
    std::int64_t rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        auto db = Database::Open("sqlite:" + (folder / "bench.db").string());
        state.ResumeTiming();
        kav::server::SeedDatabase(*db, spec);
        state.PauseTiming();
        rows = CountRows(*db);
        state.ResumeTiming();
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["rows/s"] = benchmark::Counter(
        static_cast<double>(rows) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    std::filesystem::remove_all(folder);
}
BENCHMARK(SeedSQLite)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

void SeedPostgreSQL(benchmark::State& state) {
    const char* url = std::getenv("KAV_BENCH_PG");
    if (!url || !*url) {
        state.SkipWithError("KAV_BENCH_PG is not set");
        for (auto _ : state) {
        }
        return;
    }
    const std::string schema = "kav_seed_bench_" + std::to_string(getpid());
    const std::string admin = url;
    const std::string spec = "bench:" + std::to_string(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        Database::Open(admin)->Connect()->Execute("drop schema if exists " + schema + " cascade");
        Database::Open(admin)->Connect()->Execute("create schema " + schema);
        const bool isUri = admin.find("://") != std::string::npos;
        auto db = Database::Open(isUri ? admin + (admin.find('?') == std::string::npos ? "?" : "&") +
                                             "options=-csearch_path%3D" + schema
                                       : admin + " options='-csearch_path=" + schema + "'");
        state.ResumeTiming();
        kav::server::SeedDatabase(*db, spec);
    }
    Database::Open(admin)->Connect()->Execute("drop schema if exists " + schema + " cascade");
}
BENCHMARK(SeedPostgreSQL)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
