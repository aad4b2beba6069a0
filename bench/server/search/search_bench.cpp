// Server time of the order searches the box office runs most, on a large bench database: the
// exact order-code search and the detail search by telephone, each as the bare query (GetData)
// and as the client sends it, with the price level lines nested (GetMasterDetailData).
//
// The database is the shared bench database (bench/server/benchdatabase.h: KAV_BENCH_DB,
// KAV_BENCH_ORDERS).
//   build/bin/bench_ordersearch --benchmark_counters_tabular=true
#include "benchdatabase.h"
#include "statementcatalogue.h"

#include <benchmark/benchmark.h>
#include <iostream>
#include <stdexcept>

namespace {

using kav::server::Connection;
using kav::server::Database;
using kav::test::CataloguedStatement;

// The statement of catalogue entry `id` with its sample literal `sample` replaced by `value`.
std::string WithLiteral(const std::string& id, const std::string& sample, const std::string& value) {
    std::string sql = CataloguedStatement(id).sql;
    const auto at = sql.find(sample);
    if (at == std::string::npos) throw std::runtime_error(id + " no longer holds " + sample);
    return sql.replace(at, sample.size(), value);
}

struct SearchDatabase {
    std::unique_ptr<Database> database;
    std::unique_ptr<Connection> connection;
    std::string byCode;      // one order by its code
    std::string byTelephone; // every order whose customer has that telephone number
    std::string detailName;
    std::string detailSql;

    SearchDatabase() {
        database = kav::bench::OpenBenchDatabase();
        connection = database->Connect();

        // An order from the middle of the table, and the telephone number of its customer.
        const auto count =
            std::get<std::int64_t>(connection->Select("select count(*) from KAV_ORDER_SHOW")[0][0]);
        const auto code = std::get<std::string>(
            connection->Select("select ORDERCODE from KAV_ORDER_SHOW where SEATCOUNT > 0 order by ORDERCODE "
                               "limit 1 offset ?1",
                               {count / 2})[0][0]);
        const auto telephone = std::get<std::string>(
            connection->Select("select TEL from KAV_ORDER_CLIENT_SHOW where ORDERCODE = ?1", {code})[0][0]);
        std::cerr << count << " orders; searching order " << code << " and telephone " << telephone << "\n";

        byCode = WithLiteral("order.by_code", "'D0000001'", "'" + code + "'");
        // The detail search appends one condition per filled field to its bare statement.
        byTelephone = CataloguedStatement("order.by_condition.bare").sql + " and c.TEL = '" + telephone + "'";
        const std::string& detail = CataloguedStatement("order.by_code").detail;
        const auto blank = detail.find(' ');
        detailName = detail.substr(0, blank);
        detailSql = CataloguedStatement(detail.substr(blank + 1)).sql;
    }
};

SearchDatabase& Searches() {
    static SearchDatabase searches;
    return searches;
}

void Search(benchmark::State& state, const std::string& sql, bool withDetails) {
    auto& searches = Searches();
    std::size_t bytes = 0;
    for (auto _ : state)
        bytes = (withDetails
                     ? searches.connection->GetMasterDetailData(sql, searches.detailName, searches.detailSql)
                     : searches.connection->GetData(sql))
                    .size();
    state.counters["packet_bytes"] = static_cast<double>(bytes);
}

void BM_OrderByCode(benchmark::State& state) {
    Search(state, Searches().byCode, false);
}
BENCHMARK(BM_OrderByCode)->Unit(benchmark::kMillisecond);

void BM_OrderByCodeWithDetails(benchmark::State& state) {
    Search(state, Searches().byCode, true);
}
BENCHMARK(BM_OrderByCodeWithDetails)->Unit(benchmark::kMillisecond);

void BM_OrdersByTelephone(benchmark::State& state) {
    Search(state, Searches().byTelephone, false);
}
BENCHMARK(BM_OrdersByTelephone)->Unit(benchmark::kMillisecond);

void BM_OrdersByTelephoneWithDetails(benchmark::State& state) {
    Search(state, Searches().byTelephone, true);
}
BENCHMARK(BM_OrdersByTelephoneWithDetails)->Unit(benchmark::kMillisecond);

} // namespace
