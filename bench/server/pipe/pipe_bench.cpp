// The 10,000-row order query end to end through the data pipe: client call, session check,
// server query, packet, compression, transfer over loopback, inflation, and the client dataset
// loaded; beside it the same statement run and read directly with sqlite3 in this process, and
// each step of the pipe alone over the same packet, so that one run shows where the time goes:
//   BM_DirectSqlite        the floor: sqlite3 steps through the rows and reads every column
//   BM_ServerGetData       the server database's GetData: the rows streamed into the packet
//   BM_Query               the rows read into the server's result rows, as master-detail queries
//                          and the PostgreSQL backend still keep them
//   BM_PacketEncoding      those rows encoded as the data packet
//   BM_Compress            the packet compressed as the transport does (a zlib stream, level 1)
//   BM_Transfer            the compressed packet sent over a loopback TCP connection
//   BM_Inflate             the compressed packet inflated
//   BM_Decode              the packet loaded by a client dataset (TClientDataSet::SetData)
//   BM_PipeGetDataAndLoad  all of it through the real client and server (cpu_ms: the CPU time of
//                          all threads per call)
//   build/bin/bench_pipe --benchmark_counters_tabular=true
#include "platform/dataset/clientdataset.h"
#include "rpc/pelioserver.h"
#include "rpc/zstreams.h"
#include "server/db/resultrows.h"
#include "server/seed/seed.h"
#include "server/serverservices.h"
#include "services/dbpipe/tpdbpipe.h"

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <netinet/in.h>
#include <sqlite3.h>
#include <stdexcept>
#include <sys/socket.h>
#include <thread>
#include <time.h>
#include <unistd.h>

namespace {

using namespace kav;
using namespace kav::server;
namespace serverdb = kav::server::detail;

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

sqlite3* OpenReadOnly() {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(Server().path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open the benchmark database");
    return db;
}

serverdb::ColumnKind KindOf(TFieldType type) {
    switch (type) {
    case TFieldType::ftString:
        return serverdb::ColumnKind::String;
    case TFieldType::ftSmallint:
        return serverdb::ColumnKind::Smallint;
    case TFieldType::ftInteger:
        return serverdb::ColumnKind::Integer;
    case TFieldType::ftLargeint:
        return serverdb::ColumnKind::Largeint;
    case TFieldType::ftBoolean:
        return serverdb::ColumnKind::Boolean;
    case TFieldType::ftDateTime:
        return serverdb::ColumnKind::DateTime;
    default:
        return serverdb::ColumnKind::Float;
    }
}

// The steps of the pipe one by one. The result's columns take the field types of the server's
// own packet, and its rows are read the way the SQLite backend reads them, so that encoding them
// gives that packet byte for byte (checked once).
struct PipeSteps {
    std::string packet;
    serverdb::ResultRows columns; // the result's columns, no rows
    std::string compressed;

    PipeSteps() {
        packet = Server().database->Connect()->GetData(kQuery);
        TClientDataSet loaded;
        loaded.SetData(packet);
        for (const auto& field : loaded.FieldDefs())
            columns.columns.push_back(
                {field.name, KindOf(field.type), field.type == TFieldType::ftString ? field.size : 0});
        sqlite3* db = OpenReadOnly();
        if (serverdb::PacketOf(Query(db)) != packet)
            throw std::runtime_error("the rows read here do not encode to the server's packet");
        sqlite3_close(db);
        pelio::TosDeflater().Compress(packet, compressed);
    }

    serverdb::ResultRows Query(sqlite3* db) const {
        serverdb::ResultRows rows = columns;
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, kQuery, -1, &statement, nullptr);
        const int count = static_cast<int>(rows.columns.size());
        while (sqlite3_step(statement) == SQLITE_ROW)
            for (int column = 0; column < count; ++column)
                switch (sqlite3_column_type(statement, column)) {
                case SQLITE_INTEGER:
                    rows.AddInteger(sqlite3_column_int64(statement, column));
                    break;
                case SQLITE_FLOAT:
                    rows.AddFloat(sqlite3_column_double(statement, column));
                    break;
                case SQLITE_NULL:
                    rows.AddNull();
                    break;
                default:
                    rows.AddText({reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                                  static_cast<std::size_t>(sqlite3_column_bytes(statement, column))});
                    break;
                }
        sqlite3_finalize(statement);
        return rows;
    }
};

PipeSteps& Steps() {
    static PipeSteps steps;
    return steps;
}

double ProcessCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

void CountBytes(benchmark::State& state, std::size_t bytes) {
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["MB/s"] =
        benchmark::Counter(static_cast<double>(bytes) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate, benchmark::Counter::kIs1000);
}

void BM_DirectSqlite(benchmark::State& state) {
    sqlite3* db = OpenReadOnly();
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

void BM_ServerGetData(benchmark::State& state) {
    auto connection = Server().database->Connect();
    std::size_t bytes = 0;
    for (auto _ : state)
        bytes = connection->GetData(kQuery).size();
    CountBytes(state, bytes);
}
BENCHMARK(BM_ServerGetData)->Unit(benchmark::kMillisecond);

void BM_Query(benchmark::State& state) {
    sqlite3* db = OpenReadOnly();
    std::size_t rows = 0;
    for (auto _ : state)
        rows = Steps().Query(db).RowCount();
    sqlite3_close(db);
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_Query)->Unit(benchmark::kMillisecond);

void BM_PacketEncoding(benchmark::State& state) {
    sqlite3* db = OpenReadOnly();
    const serverdb::ResultRows rows = Steps().Query(db);
    sqlite3_close(db);
    std::size_t bytes = 0;
    for (auto _ : state)
        bytes = serverdb::PacketOf(rows).size();
    CountBytes(state, bytes);
}
BENCHMARK(BM_PacketEncoding)->Unit(benchmark::kMillisecond);

void BM_Compress(benchmark::State& state) {
    pelio::TosDeflater deflater;
    std::string out;
    for (auto _ : state)
        deflater.Compress(Steps().packet, out);
    CountBytes(state, Steps().packet.size());
    state.counters["compressed"] = static_cast<double>(out.size());
}
BENCHMARK(BM_Compress)->Unit(benchmark::kMillisecond);

// A connected pair of loopback TCP sockets.
struct LoopbackPair {
    int sender = -1;
    int receiver = -1;

    LoopbackPair() {
        const int listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(listener, 1) != 0 ||
            getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("cannot listen on the loopback interface");
        sender = socket(AF_INET, SOCK_STREAM, 0);
        if (connect(sender, reinterpret_cast<sockaddr*>(&address), length) != 0)
            throw std::runtime_error("cannot connect over the loopback interface");
        receiver = accept(listener, nullptr, nullptr);
        close(listener);
    }
    ~LoopbackPair() {
        close(sender);
        close(receiver);
    }
};

void BM_Transfer(benchmark::State& state) {
    LoopbackPair pair;
    const std::string& body = Steps().compressed;
    std::string received(body.size(), '\0');
    for (auto _ : state) {
        std::thread writer([&] {
            for (std::size_t sent = 0; sent < body.size();) {
                const auto n = send(pair.sender, body.data() + sent, body.size() - sent, 0);
                if (n <= 0) return;
                sent += static_cast<std::size_t>(n);
            }
        });
        for (std::size_t got = 0; got < received.size();) {
            const auto n = recv(pair.receiver, received.data() + got, received.size() - got, 0);
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        writer.join();
    }
    CountBytes(state, body.size());
}
BENCHMARK(BM_Transfer)->Unit(benchmark::kMillisecond);

void BM_Inflate(benchmark::State& state) {
    pelio::TosInflater inflater;
    std::string out;
    for (auto _ : state)
        inflater.Decompress(Steps().compressed, Steps().packet.size(), out);
    CountBytes(state, out.size());
}
BENCHMARK(BM_Inflate)->Unit(benchmark::kMillisecond);

void BM_Decode(benchmark::State& state) {
    int rows = 0;
    for (auto _ : state) {
        TClientDataSet orders;
        orders.SetData(Steps().packet);
        rows = orders.RecordCount();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_Decode)->Unit(benchmark::kMillisecond);

void BM_PipeGetDataAndLoad(benchmark::State& state) {
    pelio::TPelioClient client;
    client.SetPort(Server().server.ListeningPort());
    TTPDBPipe pipe(&client);
    int rows = 0;
    const double cpuBefore = ProcessCpuMilliseconds();
    for (auto _ : state) {
        TClientDataSet orders;
        orders.SetData(pipe.GetData(Server().context, kQuery).ByteArrayView());
        rows = orders.RecordCount();
    }
    state.counters["rows"] = rows;
    // Client and server threads together: steadier than the real time on a busy machine.
    state.counters["cpu_ms"] =
        (ProcessCpuMilliseconds() - cpuBefore) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PipeGetDataAndLoad)->Unit(benchmark::kMillisecond);

} // namespace
