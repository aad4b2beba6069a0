// The client dataset beside an in-memory SQLite table doing the same work on 100,000 order rows
// of 12 fields: loading the rows (packet decode / inserts), reading them all (packet encode /
// full select), counting a filter, looking up a key, building a two-field index and summing by
// group. Run: build/bin/bench_dataset --benchmark_counters_tabular=true
#include "platform/dataset/clientdataset.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <random>
#include <sqlite3.h>
#include <stdexcept>

namespace {

constexpr int kRows = 100'000;

struct OrderRow {
    std::string orderCode, nodeCode, productCode, cname, tel, priceLevel, status;
    int seatCount, discount;
    double receivables, createTime;
    bool gift;
};

const std::vector<OrderRow>& Rows() {
    static const std::vector<OrderRow> rows = [] {
        std::mt19937 random(7);
        std::vector<OrderRow> result;
        for (int i = 0; i < kRows; ++i) {
            char code[16];
            std::snprintf(code, sizeof code, "%010d", static_cast<int>(random() % 1'000'000'000));
            result.push_back({code, "01", "P" + std::to_string(1000 + random() % 200),
                              "customer" + std::to_string(i), "1390000" + std::to_string(1000 + i % 9000),
                              std::string(1, "ABCDEFGH"[random() % 8]), std::string(1, "BARC"[random() % 4]),
                              static_cast<int>(1 + random() % 6), static_cast<int>(random() % 100),
                              static_cast<double>(random() % 50000) / 100,
                              46000 + static_cast<double>(random() % 100000) / 100, random() % 10 == 0});
        }
        return result;
    }();
    return rows;
}

void Define(kav::TClientDataSet& ds) {
    using kav::TFieldType;
    ds.AddFieldDef("ORDERCODE", TFieldType::ftString, 10, true).key = true;
    ds.AddFieldDef("NODECODE", TFieldType::ftString, 2);
    ds.AddFieldDef("PRODUCTCODE", TFieldType::ftString, 8);
    ds.AddFieldDef("CNAME", TFieldType::ftString, 20);
    ds.AddFieldDef("TEL", TFieldType::ftString, 24);
    ds.AddFieldDef("PRICELEVEL", TFieldType::ftString, 1);
    ds.AddFieldDef("ORDERSTATUS", TFieldType::ftString, 1);
    ds.AddFieldDef("SEATCOUNT", TFieldType::ftInteger);
    ds.AddFieldDef("DISCOUNT", TFieldType::ftSmallint);
    ds.AddFieldDef("RECEIVABLES", TFieldType::ftFloat);
    ds.AddFieldDef("CREATETIME", TFieldType::ftDateTime);
    ds.AddFieldDef("ISGIFT", TFieldType::ftBoolean);
}

// A packet of all rows, built once.
const std::string& Packet() {
    static const std::string packet = [] {
        kav::TClientDataSet ds;
        Define(ds);
        ds.CreateDataSet();
        ds.SetLogChanges(false);
        for (const auto& r : Rows())
            ds.AppendRecord({r.orderCode, r.nodeCode, r.productCode, r.cname, r.tel, r.priceLevel, r.status,
                             r.seatCount, r.discount, r.receivables, r.createTime, r.gift});
        return ds.Data();
    }();
    return packet;
}

std::size_t HeapInUse() {
    return mallinfo2().uordblks;
}

// ---------------------------------------------------------------- dataset

void BM_DataSet_Decode(benchmark::State& state) {
    const auto& packet = Packet();
    std::size_t heap = 0;
    for (auto _ : state) {
        auto before = HeapInUse();
        kav::TClientDataSet ds;
        ds.SetData(packet);
        heap = HeapInUse() - before;
        benchmark::DoNotOptimize(ds.RecordCount());
    }
    state.counters["heap_MB"] = static_cast<double>(heap) / 1e6;
    state.counters["packet_MB"] = static_cast<double>(packet.size()) / 1e6;
}
BENCHMARK(BM_DataSet_Decode)->Unit(benchmark::kMillisecond);

void BM_DataSet_Encode(benchmark::State& state) {
    kav::TClientDataSet ds;
    ds.SetData(Packet());
    for (auto _ : state)
        benchmark::DoNotOptimize(ds.Data().size());
}
BENCHMARK(BM_DataSet_Encode)->Unit(benchmark::kMillisecond);

// Each iteration sets the filter anew (the same condition, written two ways), so the filter is
// parsed and evaluated on every row once, as SQLite's count evaluates its where clause.
void BM_DataSet_Filter(benchmark::State& state) {
    kav::TClientDataSet ds;
    ds.SetData(Packet());
    ds.SetFiltered(true);
    const char* texts[] = {"RECEIVABLES > 100 and ORDERSTATUS = 'B'",
                           "RECEIVABLES > 100 AND ORDERSTATUS = 'B'"};
    int count = 0, i = 0;
    for (auto _ : state) {
        ds.SetFilter(texts[i++ % 2]);
        count = ds.RecordCount();
    }
    state.counters["rows"] = count;
}
BENCHMARK(BM_DataSet_Filter)->Unit(benchmark::kMillisecond);

void BM_DataSet_LocateKey(benchmark::State& state) {
    kav::TClientDataSet ds;
    ds.SetData(Packet());
    ds.SetIndexFieldNames("ORDERCODE");
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& key = Rows()[(i++ * 7919) % kRows].orderCode;
        benchmark::DoNotOptimize(ds.Locate("ORDERCODE", {key}));
    }
}
BENCHMARK(BM_DataSet_LocateKey)->Unit(benchmark::kMicrosecond);

void BM_DataSet_IndexTwoFields(benchmark::State& state) {
    kav::TClientDataSet ds;
    ds.SetData(Packet());
    for (auto _ : state) {
        ds.SetIndexFieldNames("PRODUCTCODE;PRICELEVEL");
        ds.SetIndexFieldNames("");
    }
}
BENCHMARK(BM_DataSet_IndexTwoFields)->Unit(benchmark::kMillisecond);

// One sum per product, the way reports read them: walk the rows in index order and take the
// group's aggregate at the first row of each group.
void BM_DataSet_GroupedSum(benchmark::State& state) {
    kav::TClientDataSet ds;
    ds.SetData(Packet());
    ds.SetIndexFieldNames("PRODUCTCODE");
    auto& sum = ds.AddAggregate("TOTAL", "sum(RECEIVABLES)", 1);
    auto& product = ds.FieldByName("PRODUCTCODE");
    int groups = 0;
    for (auto _ : state) {
        groups = 0;
        double total = 0;
        std::string previous;
        for (ds.First(); !ds.Eof(); ds.Next()) {
            auto code = product.AsString();
            if (groups > 0 && code == previous) continue;
            total += sum.Value().Float();
            ++groups;
            previous = std::move(code);
        }
        benchmark::DoNotOptimize(total);
    }
    state.counters["groups"] = groups;
}
BENCHMARK(BM_DataSet_GroupedSum)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- SQLite

class Sqlite {
public:
    Sqlite() {
        if (sqlite3_open(":memory:", &db_) != SQLITE_OK) throw std::runtime_error("sqlite3_open");
        Exec("create table orders (ORDERCODE text, NODECODE text, PRODUCTCODE text, CNAME text, TEL text, "
             "PRICELEVEL text, ORDERSTATUS text, SEATCOUNT integer, DISCOUNT integer, RECEIVABLES real, "
             "CREATETIME real, ISGIFT integer)");
    }
    ~Sqlite() { sqlite3_close(db_); }
    void Exec(const char* sql) {
        if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db_));
    }
    sqlite3_stmt* Prepare(const char* sql) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db_));
        return statement;
    }
    void Insert() {
        Exec("begin");
        auto* s = Prepare("insert into orders values (?,?,?,?,?,?,?,?,?,?,?,?)");
        for (const auto& r : Rows()) {
            int c = 1;
            for (const auto* text :
                 {&r.orderCode, &r.nodeCode, &r.productCode, &r.cname, &r.tel, &r.priceLevel, &r.status})
                sqlite3_bind_text(s, c++, text->data(), static_cast<int>(text->size()), SQLITE_STATIC);
            sqlite3_bind_int(s, c++, r.seatCount);
            sqlite3_bind_int(s, c++, r.discount);
            sqlite3_bind_double(s, c++, r.receivables);
            sqlite3_bind_double(s, c++, r.createTime);
            sqlite3_bind_int(s, c++, r.gift);
            sqlite3_step(s);
            sqlite3_reset(s);
        }
        sqlite3_finalize(s);
        Exec("commit");
    }

private:
    sqlite3* db_ = nullptr;
};

void BM_Sqlite_Insert(benchmark::State& state) {
    std::int64_t memory = 0;
    for (auto _ : state) {
        auto before = sqlite3_memory_used();
        Sqlite db;
        db.Insert();
        memory = sqlite3_memory_used() - before;
    }
    state.counters["heap_MB"] = static_cast<double>(memory) / 1e6;
}
BENCHMARK(BM_Sqlite_Insert)->Unit(benchmark::kMillisecond);

void BM_Sqlite_SelectAll(benchmark::State& state) {
    Sqlite db;
    db.Insert();
    auto* s = db.Prepare("select * from orders");
    for (auto _ : state) {
        std::size_t bytes = 0;
        while (sqlite3_step(s) == SQLITE_ROW)
            for (int c = 0; c < 12; ++c)
                bytes += static_cast<std::size_t>(sqlite3_column_bytes(s, c));
        sqlite3_reset(s);
        benchmark::DoNotOptimize(bytes);
    }
    sqlite3_finalize(s);
}
BENCHMARK(BM_Sqlite_SelectAll)->Unit(benchmark::kMillisecond);

void BM_Sqlite_Filter(benchmark::State& state) {
    Sqlite db;
    db.Insert();
    auto* s = db.Prepare("select count(*) from orders where RECEIVABLES > 100 and ORDERSTATUS = 'B'");
    int count = 0;
    for (auto _ : state) {
        sqlite3_step(s);
        count = sqlite3_column_int(s, 0);
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    state.counters["rows"] = count;
}
BENCHMARK(BM_Sqlite_Filter)->Unit(benchmark::kMillisecond);

void BM_Sqlite_LocateKey(benchmark::State& state) {
    Sqlite db;
    db.Insert();
    db.Exec("create index byCode on orders (ORDERCODE)");
    auto* s = db.Prepare("select rowid from orders where ORDERCODE = ?");
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& key = Rows()[(i++ * 7919) % kRows].orderCode;
        sqlite3_bind_text(s, 1, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
        benchmark::DoNotOptimize(sqlite3_step(s));
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
}
BENCHMARK(BM_Sqlite_LocateKey)->Unit(benchmark::kMicrosecond);

void BM_Sqlite_IndexTwoFields(benchmark::State& state) {
    Sqlite db;
    db.Insert();
    for (auto _ : state) {
        db.Exec("create index byProduct on orders (PRODUCTCODE, PRICELEVEL)");
        db.Exec("drop index byProduct");
    }
}
BENCHMARK(BM_Sqlite_IndexTwoFields)->Unit(benchmark::kMillisecond);

void BM_Sqlite_GroupedSum(benchmark::State& state) {
    Sqlite db;
    db.Insert();
    db.Exec("create index byProduct on orders (PRODUCTCODE)");
    auto* s = db.Prepare("select PRODUCTCODE, sum(RECEIVABLES) from orders group by PRODUCTCODE");
    int groups = 0;
    for (auto _ : state) {
        groups = 0;
        double total = 0;
        while (sqlite3_step(s) == SQLITE_ROW) {
            total += sqlite3_column_double(s, 1);
            ++groups;
        }
        sqlite3_reset(s);
        benchmark::DoNotOptimize(total);
    }
    sqlite3_finalize(s);
    state.counters["groups"] = groups;
}
BENCHMARK(BM_Sqlite_GroupedSum)->Unit(benchmark::kMillisecond);

} // namespace
