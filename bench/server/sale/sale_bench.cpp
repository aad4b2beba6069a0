// Complete sales through kav-server on PostgreSQL, against pgbench's TPC-B on the same cluster in the
// same run. A complete sale is what a seller does at the window: book the four best seats of a
// section (CreateOrderAndBooking), account the order (SaleAccount) and make its four tickets
// (OutputTicket), each a call over a connection of the seller's own to a server hosted here.
//   BM_PgbenchTpcB/clients:N   pgbench's default TPC-B transactions for 10 s (counter tps)
//   BM_CompleteSale/threads:N  N sellers at once, each on sections of its own (counter sales_per_s,
//                              and vs_pgbench: that divided by the TPC-B tps of as many clients;
//                              the goal is at least 0.3)
// Needs a PostgreSQL database whose role may create schemas and databases (a test cluster:
// scripts/pg-test-cluster start /tmp/pg-bench):
//   KAV_BENCH_PG=postgresql://kav@127.0.0.1:PORT/kav_test build/bin/bench_sale
#include "platform/dataset/clientdataset.h"
#include "rpc/pelioserver.h"
#include "server/serverservices.h"
#include "services/login/tplogin.h"
#include "services/ticketoffice/tpticketoffice.h"

#include <array>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <sodium.h>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace {

using namespace kav;
using namespace kav::server;
using pelio::Variant;

constexpr int kSellers = 8;
// Each seller sells from sections of its own, one of a real hall's size at a time (20 rows of 50
// seats), so that choosing the best seats reads what it reads at a real window.
constexpr int kSeatsPerSection = 1000;
constexpr int kSectionsPerSeller = 80;
constexpr double kSeatPrice = 100;

std::string SectionCode(int seller, int section) {
    return "S" + std::to_string(seller) + "_" + std::to_string(section);
}

std::string BenchUrl() {
    const char* url = std::getenv("KAV_BENCH_PG");
    return url && *url ? url : "";
}

// `url` with the search path set to `schema`.
std::string InSchema(const std::string& url, const std::string& schema) {
    return url + (url.find('?') == std::string::npos ? "?" : "&") + "options=-csearch_path%3D" + schema;
}

// The same cluster, another database.
std::string OtherDatabase(const std::string& url, const std::string& name) {
    const std::size_t slash = url.rfind('/');
    return url.substr(0, slash + 1) + name;
}

std::string Hash(const std::string& password) {
    char hash[crypto_pwhash_STRBYTES];
    if (sodium_init() < 0 || crypto_pwhash_str(hash, password.data(), password.size(),
                                               crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN) != 0)
        throw std::runtime_error("crypto_pwhash_str failed");
    return hash;
}

// A fresh schema with one performance of kSellers * kSectionsPerSeller sections, a seller and a
// server serving it.
struct SaleServer {
    std::string admin = BenchUrl();
    std::string schema = "kav_sale_bench_" + std::to_string(getpid());
    std::unique_ptr<Database> database;
    TSessionSigner sessions;
    std::optional<ServerServices> services;
    pelio::TPelioServer server;
    std::string context;

    SaleServer() {
        Database::Open(admin)->Connect()->Execute("create schema " + schema);
        database = Database::Open(InSchema(admin, schema));
        database->EnsureSchema();
        auto c = database->Connect();
        c->Execute("insert into KAV_GROUP (NODECODE, GROUPCODE, CNAME, GROUPTYPE) values ('01', 'G01', "
                   "'售票处', 'B')");
        c->Execute("insert into KAV_USER (NODECODE, USERCODE, CNAME, GROUPCODE, PASSWORDHASH) values "
                   "('01', 'bench', '压测', 'G01', ?1)",
                   {Hash("bench")});
        c->Execute(
            "insert into KAV_PLACE (NODECODE, PLACECODE, CNAME) values ('01', 'PL1', '音乐厅');"
            "insert into KAV_PRODUCT (NODECODE, PRODUCTCODE, CNAME, PLACECODE, HAPPENTIME, STATUS) values "
            "('01', 'P1', '压测演出', 'PL1', '2099-12-31 19:30:00', '5');"
            "insert into KAV_PRICE_SHOW (NODECODE, PRODUCTCODE, PRICELEVEL, PRICE) values "
            "('01', 'P1', 'A', 100);"
            "insert into KAV_PAYMODE (PAYMODECODE, CNAME, DISPLAY) values ('X', '现金', 1)");
        for (int seller = 0; seller < kSellers; ++seller)
            for (int section = 0; section < kSectionsPerSeller; ++section) {
                const std::string code = SectionCode(seller, section);
                c->Execute("insert into KAV_SECTION_SHOW (NODECODE, SECTIONCODE, PRODUCTCODE, CNAME) values "
                           "('01', ?1, 'P1', ?1)",
                           {code});
                c->Execute(
                    "insert into KAV_SEAT_SHOW (NODECODE, SEATCODE, PRODUCTCODE, SECTIONCODE, FLOORNO, "
                    "ROWNO, SEATNO, X, Y, STATUS, PRICELEVEL) select '01', ?1 + g, 'P1', ?2, 1, "
                    "(g - 1) / 50 + 1, (g - 1) % 50 + 1, (g - 1) % 50 + 1, (g - 1) / 50 + 1, 'F', 'A' "
                    "from generate_series(1, ?3) g",
                    {(std::int64_t{seller} * kSectionsPerSeller + section) * kSeatsPerSection, code,
                     std::int64_t{kSeatsPerSection}});
            }
        c->Execute("analyze");
        services.emplace(ServerServices{*database, sessions, 64u << 20});
        RegisterServices(*services);
        server.SetPort(0);
        server.SetThreadPoolSize(2 * kSellers);
        server.SetActive(true);
        pelio::TPelioClient client;
        client.SetPort(server.ListeningPort());
        context = TTPLogin(&client).Login("bench", "bench");
    }
    ~SaleServer() {
        server.SetActive(false);
        database.reset();
        try {
            Database::Open(admin)->Connect()->Execute("drop schema " + schema + " cascade");
        } catch (const EDatabase&) {
        }
    }
};

SaleServer& Server() {
    static SaleServer server;
    return server;
}

Variant AccountPacket(const std::string& order, double amount) {
    TClientDataSet rows;
    rows.AddFieldDef("ORDERCODE", TFieldType::ftString, 20);
    rows.AddFieldDef("PAYMODECODE", TFieldType::ftString, 1);
    rows.AddFieldDef("RELACCEPTABLES", TFieldType::ftFloat);
    rows.CreateDataSet();
    rows.AppendRecord({order, "X", amount});
    return Variant::ByteArray(rows.Data());
}

// TPS of pgbench's default (TPC-B like) transactions, by client count.
std::map<int, double>& PgbenchTps() {
    static std::map<int, double> tps;
    return tps;
}

// Runs a command and answers its standard output; raises when it fails.
std::string Run(const std::string& command) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) throw std::runtime_error("cannot run " + command);
    std::string output;
    char buffer[4096];
    while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    if (pclose(pipe) != 0) throw std::runtime_error(command + " failed:\n" + output);
    return output;
}

void BM_PgbenchTpcB(benchmark::State& state) {
    if (BenchUrl().empty()) return state.SkipWithError("set KAV_BENCH_PG to a PostgreSQL database");
    const int clients = static_cast<int>(state.range(0));
    const std::string name = "kav_pgbench_" + std::to_string(getpid());
    const std::string url = OtherDatabase(BenchUrl(), name);
    static bool initialised = false;
    if (!initialised) {
        Database::Open(BenchUrl())->Connect()->Execute("create database " + name);
        Run("pgbench -i -q '" + url + "'");
        initialised = true;
    }
    for (auto _ : state) {
        const std::string output = Run("pgbench -n -c " + std::to_string(clients) + " -j " +
                                       std::to_string(clients) + " -T 10 '" + url + "'");
        const std::size_t at = output.find("tps = ");
        if (at == std::string::npos) return state.SkipWithError(("no tps in: " + output).c_str());
        PgbenchTps()[clients] = std::stod(output.substr(at + 6));
    }
    state.counters["tps"] = PgbenchTps()[clients];
    if (clients == kSellers) Database::Open(BenchUrl())->Connect()->Execute("drop database " + name);
}
BENCHMARK(BM_PgbenchTpcB)->Arg(1)->Arg(kSellers)->ArgName("clients")->Iterations(1)->UseRealTime();

void BM_CompleteSale(benchmark::State& state) {
    if (BenchUrl().empty()) return state.SkipWithError("set KAV_BENCH_PG to a PostgreSQL database");
    SaleServer& s = Server();
    pelio::TPelioClient client;
    client.SetPort(s.server.ListeningPort());
    TTPTicketOffice office(&client);
    const Variant none = Variant::ByteArray("");
    // Each seller's next sale, across runs: a section holds kSeatsPerSection / 4 sales.
    static std::array<int, kSellers> sold{};
    int& next = sold[static_cast<std::size_t>(state.thread_index())];
    for (auto _ : state) {
        const int section = next++ / (kSeatsPerSection / 4);
        if (section == kSectionsPerSeller) return state.SkipWithError("every section is sold out");
        TClientDataSet order;
        order.SetData(office
                          .CreateOrderAndBooking(false, s.context, "P1",
                                                 SectionCode(state.thread_index(), section), 4, none)
                          .ByteArrayView());
        const std::string code = order.FieldByName("ORDERCODE").AsString();
        office.SaleAccount(s.context, "OrderCode=" + code + "\nIsNeedCharge=X\n",
                           AccountPacket(code, 4 * kSeatPrice), none, none);
        for (order.First(); !order.Eof(); order.Next())
            office.OutputTicket(s.context, order.FieldByName("SEATCODE").AsString(), "", "N", "", "P1");
    }
    // Summed over the sellers and divided by the run's real time.
    const auto sales = static_cast<double>(state.iterations());
    state.counters["sales_per_s"] = benchmark::Counter(sales, benchmark::Counter::kIsRate);
    const auto tps = PgbenchTps().find(state.threads());
    if (tps != PgbenchTps().end() && tps->second > 0)
        state.counters["vs_pgbench"] = benchmark::Counter(sales / tps->second, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CompleteSale)->Threads(1)->Threads(kSellers)->UseRealTime()->MinTime(5);

} // namespace

BENCHMARK_MAIN();
