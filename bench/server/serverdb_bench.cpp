// A 10,000-row order query: read directly with sqlite3 (the floor), turned into a data packet by
// GetData, and that packet loaded by a client dataset.
//   build/bin/bench_serverdb --benchmark_counters_tabular=true
#include "platform/dataset/clientdataset.h"
#include "server/db/database.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <sqlite3.h>
#include <unistd.h>

namespace {

constexpr const char* kQuery = "select * from KAV_ORDER_SHOW order by ORDERCODE";

struct OrderDatabase {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("kav-bench-serverdb-" + std::to_string(getpid()) + ".db");
    std::unique_ptr<kav::server::Database> db;

    OrderDatabase() {
        std::filesystem::remove(path);
        db = kav::server::Database::Open("sqlite:" + path.string());
        db->EnsureSchema();
        db->Connect()->Execute(
            "with recursive n(i) as (select 1 union all select i + 1 from n where i < 10000) "
            "insert into KAV_ORDER_SHOW (NODECODE, ORDERCODE, PRODUCTCODE, SECTIONCODE, SALECLASSCODE, "
            "ORDERFROM, "
            "ORDERSTATUS, CLIENTTYPE, FETCHWAY, INVOICEHEAD, MEMBERID, MEMBERCARDNO, SEATCOUNT, RECEIVABLES, "
            "PAYMODECODE, CREATEGROUP, CREATEUSER, CREATETIME, ORDERHANDLERTIME, ORDERPASSWORD) "
            "select '01', printf('D%07d', i), 'P0001', 'S0101', 'SC01', '1', 'B', '3', '1', "
            "'北京某某有限公司', i, "
            "'-1', i % 6 + 1, (i % 6 + 1) * 380.0, 'X', 'G001', 'U001', "
            "datetime('2026-11-01 09:00:00', printf('+%d minutes', i)), null, printf('%06d', i) from n");
    }
    ~OrderDatabase() {
        db.reset();
        for (auto suffix : {"", "-wal", "-shm"})
            std::filesystem::remove(path.string() + suffix);
    }
};

OrderDatabase& Orders() {
    static OrderDatabase orders;
    return orders;
}

void BM_ReadDirectly(benchmark::State& state) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(Orders().path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::size_t bytes = 0;
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, kQuery, -1, &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW)
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                switch (sqlite3_column_type(stmt, c)) {
                case SQLITE_INTEGER:
                    bytes += static_cast<std::size_t>(sqlite3_column_int64(stmt, c) & 1);
                    break;
                case SQLITE_FLOAT:
                    bytes += sqlite3_column_double(stmt, c) > 0;
                    break;
                case SQLITE_TEXT:
                    sqlite3_column_text(stmt, c);
                    bytes += static_cast<std::size_t>(sqlite3_column_bytes(stmt, c));
                    break;
                default:
                    break;
                }
            }
        sqlite3_finalize(stmt);
    }
    benchmark::DoNotOptimize(bytes);
    sqlite3_close(db);
}
BENCHMARK(BM_ReadDirectly)->Unit(benchmark::kMillisecond);

void BM_GetData(benchmark::State& state) {
    auto conn = Orders().db->Connect();
    std::size_t size = 0;
    for (auto _ : state)
        size = conn->GetData(kQuery).size();
    state.counters["packet_bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_GetData)->Unit(benchmark::kMillisecond);

void BM_GetDataAndLoad(benchmark::State& state) {
    auto conn = Orders().db->Connect();
    for (auto _ : state) {
        kav::TClientDataSet ds;
        ds.SetData(conn->GetData(kQuery));
        benchmark::DoNotOptimize(ds.RecordCount());
    }
}
BENCHMARK(BM_GetDataAndLoad)->Unit(benchmark::kMillisecond);

} // namespace
