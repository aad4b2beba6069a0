// The 10,000-row order query end to end through the data pipe: client call, session check,
// server query, packet, compression, transfer over loopback, inflation, and the client dataset
// loaded; beside it the same statement run and read directly with sqlite3 in this process.
//   build/bin/bench_pipe --benchmark_counters_tabular=true
#include "platform/dataset/clientdataset.h"
#include "rpc/pelioserver.h"
#include "server/seed/seed.h"
#include "server/serverservices.h"
#include "services/dbpipe/tpdbpipe.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <sqlite3.h>
#include <unistd.h>

namespace {

using namespace kav;
using namespace kav::server;

constexpr const char* kQuery = "select * from KAV_ORDER_SHOW order by ORDERCODE";

struct PipeServer {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("kav-bench-pipe-" + std::to_string(getpid()) + ".db");
    std::unique_ptr<Database> database;
    TSessionSigner sessions;
    std::optional<ServerServices> services;
    pelio::TPelioServer server;
    std::string context;

    PipeServer() {
        std::filesystem::remove(path);
        database = Database::Open("sqlite:" + path.string());
        SeedDatabase(*database, "bench:10000");
        services.emplace(ServerServices{*database, sessions, 256u << 20});
        RegisterServices(*services);
        server.SetPort(0);
        server.SetActive(true);
        TContextText values;
        values.SetValue(context_names::NodeCode, "01");
        values.SetValue(context_names::UserCode, "demo");
        context = sessions.Issue(values);
    }
    ~PipeServer() {
        server.SetActive(false);
        for (auto suffix : {"", "-wal", "-shm"})
            std::filesystem::remove(path.string() + suffix);
    }
};

PipeServer& Server() {
    static PipeServer server;
    return server;
}

void BM_DirectSqlite(benchmark::State& state) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(Server().path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::int64_t rows = 0;
    for (auto _ : state) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, kQuery, -1, &statement, nullptr);
        rows = 0;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int column = 0; column < sqlite3_column_count(statement); ++column)
                benchmark::DoNotOptimize(sqlite3_column_text(statement, column));
            ++rows;
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_DirectSqlite)->Unit(benchmark::kMillisecond);

void BM_PipeGetDataAndLoad(benchmark::State& state) {
    pelio::TPelioClient client;
    client.SetPort(Server().server.ListeningPort());
    TTPDBPipe pipe(&client);
    int rows = 0;
    for (auto _ : state) {
        TClientDataSet orders;
        orders.SetData(pipe.GetData(Server().context, kQuery).ByteArrayView());
        rows = orders.RecordCount();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_PipeGetDataAndLoad)->Unit(benchmark::kMillisecond);

} // namespace
