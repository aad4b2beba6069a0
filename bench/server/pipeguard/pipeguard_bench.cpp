// What the data pipe's guards cost: the 10,000-row order query of one node through a pipe
// connection (SQLite: the authorizer that keeps credential columns out of reach; PostgreSQL: the
// pipe's own role with its column privileges, and row security by node on) against the same query
// on the server's own connection, which has neither. Every backend in the same run, PostgreSQL
// when KAV_TEST_PG names a database (as for the tests). BM_PipeGuardRatio runs the two queries in
// turn, so that a busy machine slows both alike, and reports guarded / plain as `ratio`:
//   build/bin/bench_pipeguard --benchmark_counters_tabular=true
#include "server/db/database.h"
#include "server/db/testdatabase.h"
#include "server/seed/seed.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <list>
#include <memory>
#include <optional>
#include <stdexcept>

namespace {

using namespace kav::server;

constexpr const char* kQuery = "select * from KAV_ORDER_SHOW where NODECODE = '01' order by ORDERCODE";

struct Orders {
    explicit Orders(Backend backend) : database(backend) {
        SeedDatabase(database.Db(), "bench:10000");
        // As a server started with row security on: the pipe's grants, policies and the switch.
        Database::Open(database.Url(), {.url = {}, .rowSecurity = true})->EnsureSchema();
        plain = database.Db().Connect();
        guarded = database.Db().ConnectPipe();
        // The policy is in force: a session of node 02 sees none of node 01's orders.
        if (database.Db().Kind() == Backend::PostgreSQL) {
            guarded->SetPipeNode("02");
            if (guarded->GetData(kQuery).size() >= plain->GetData(kQuery).size())
                throw std::runtime_error("row security by node is not in force");
        }
        guarded->SetPipeNode("01");
    }
    test::TestDatabase database;
    std::unique_ptr<Connection> plain;
    std::unique_ptr<Connection> guarded;
};

void GetData(benchmark::State& state, Connection* connection) {
    std::size_t bytes = 0;
    for (auto _ : state)
        bytes = connection->GetData(kQuery).size();
    state.counters["bytes"] = static_cast<double>(bytes);
}

void GuardRatio(benchmark::State& state, Orders* orders) {
    using Clock = std::chrono::steady_clock;
    Clock::duration plain{}, guarded{};
    for (auto _ : state) {
        const auto start = Clock::now();
        benchmark::DoNotOptimize(orders->plain->GetData(kQuery));
        const auto middle = Clock::now();
        benchmark::DoNotOptimize(orders->guarded->GetData(kQuery));
        plain += middle - start;
        guarded += Clock::now() - middle;
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["plain_ms"] = std::chrono::duration<double, std::milli>(plain).count() / iterations;
    state.counters["guarded_ms"] = std::chrono::duration<double, std::milli>(guarded).count() / iterations;
    state.counters["ratio"] = std::chrono::duration<double>(guarded) / std::chrono::duration<double>(plain);
}

} // namespace

int main(int argc, char** argv) {
    std::list<Orders> backends;
    for (Backend backend : test::TestBackends()) {
        Orders& orders = backends.emplace_back(backend);
        const std::string name = "BM_PipeGetData/" + test::BackendName(backend);
        benchmark::RegisterBenchmark((name + "/plain").c_str(), GetData, orders.plain.get())
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((name + "/guarded").c_str(), GetData, orders.guarded.get())
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_PipeGuardRatio/" + test::BackendName(backend)).c_str(), GuardRatio,
                                     &orders)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(5);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
