// What the data pipe's guards cost: the 10,000-row order query of one node through a pipe
// connection (SQLite: the authorizer that keeps credential columns out of reach; PostgreSQL: the
// pipe's own role with its column privileges, and row security by node on) against the same query
// on the server's own connection, which has neither. Every backend in the same run, PostgreSQL
// when KAV_TEST_PG names a database (as for the tests):
//   build/bin/bench_pipeguard --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include "server/db/database.h"
#include "server/db/testdatabase.h"
#include "server/seed/seed.h"

#include <benchmark/benchmark.h>
#include <list>
#include <memory>
#include <optional>

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
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
