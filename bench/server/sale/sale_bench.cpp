// Complete sales through kav-server on PostgreSQL, against pgbench's TPC-B on the same cluster in the
// same run. A complete sale is what a seller does at the window: book the four best seats of a
// section (CreateOrderAndBooking), account the order (SaleAccount) and make its four tickets
// (OutputTicket), each a call over a connection of the seller's own to a server hosted here.
//   BM_PgbenchTpcB/clients:N   pgbench's default TPC-B transactions for 10 s (counter tps)
//   BM_CompleteSale/threads:N  N sellers at once, each on sections of its own (counter sales_per_s,
//                              and vs_pgbench: that divided by the TPC-B tps of as many clients;
//                              the goal is at least 0.3); book_ms, account_ms and tickets_ms: the
//                              mean time of each step of a sale, the four tickets together
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
#include <chrono>
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

// A season already sold: kHistoryOrders paid and printed orders of four seats of an earlier
// performance, with their payments, ledger lines, tickets and print log, so that a sale reads and
// writes tables of a real site's size and the planner sees them so.
constexpr int kHistoryOrders = 20000;

void AddHistory(Connection& c) {
    const std::string n = std::to_string(kHistoryOrders);
    // Columns o (from 0), CODE and AT (when it was paid and printed) of each order ...
    const std::string orders =
        " from (select o, 'H' || lpad(o::text, 8, '0') as CODE, timestamp '2024-05-01' + "
        "o * interval '1 minute' as AT from generate_series(0, " +
        n + " - 1) o) h";
    // ... and g (from 0), SEAT, CODE and AT of each of their seats.
    const std::string seats = " from (select g, 900000000 + g as SEAT, 'H' || lpad((g / 4)::text, 8, '0') as "
                              "CODE, timestamp '2024-05-01' + g / 4 * interval '1 minute' as AT from "
                              "generate_series(0, 4 * " +
                              n + " - 1) g) h";
    c.Execute(
        "insert into KAV_PRODUCT (NODECODE, PRODUCTCODE, CNAME, PLACECODE, HAPPENTIME, STATUS) values "
        "('01', 'P0', '上季演出', 'PL1', '2024-06-01 19:30:00', '5');"
        "insert into KAV_PRICE_SHOW (NODECODE, PRODUCTCODE, PRICELEVEL, PRICE) values ('01', 'P0', 'A', 100);"
        "insert into KAV_SECTION_SHOW (NODECODE, SECTIONCODE, PRODUCTCODE, CNAME) select distinct '01', "
        "'H' || g / 1000, 'P0', 'H' || g / 1000" +
        seats +
        ";"
        "insert into KAV_SEAT_SHOW (NODECODE, SEATCODE, PRODUCTCODE, SECTIONCODE, FLOORNO, ROWNO, SEATNO, X, "
        "Y, STATUS, PRICELEVEL, ORDERCODE) select '01', SEAT, 'P0', 'H' || g / 1000, 1, g % 1000 / 50 + 1, "
        "g % 50 + 1, g % 50 + 1, g % 1000 / 50 + 1, 'O', 'A', CODE" +
        seats +
        ";"
        "insert into KAV_ORDER_SHOW (NODECODE, ORDERCODE, PRODUCTCODE, SECTIONCODE, ORDERFROM, ORDERSTATUS, "
        "CLIENTTYPE, FETCHWAY, MEMBERCARDNO, SEATCOUNT, RECEIVABLES, CREATEGROUP, CREATEUSER, CREATETIME, "
        "SYSTEMBOOKING, PAYMODECODE, PAYEE, PAYEEGROUP, GATHERINGTIME, ISPRINT, ORDERHANDLERUSER, "
        "ORDERHANDLERTIME) select '01', CODE, 'P0', 'H' || o / 250, '1', 'A', '3', '1', '-1', 4, 400, 'G01', "
        "'bench', AT, 'N', 'X', 'bench', 'G01', AT, 'Y', 'bench', AT" +
        orders +
        ";"
        "insert into KAV_ORDER_DISCOUNT_SHOW (NODECODE, ORDERCODE, PRICELEVEL, PRICE, DISCOUNT, TICKETPRICE, "
        "TOTALPRICE, SEATAMOUNT) select '01', CODE, 'A', 100, 100, 100, 400, 4" +
        orders +
        ";"
        "insert into KAV_ORDER_CLIENT_SHOW (NODECODE, ORDERCODE) select '01', CODE" +
        orders +
        ";"
        "insert into KAV_ACCOUNT_SHOW (NODECODE, ORDERCODE, PKID, PAYMODECODE, RELACCEPTABLES, ACCOUNTUSER, "
        "ACCOUNTGROUP, ACCOUNTTIME) select '01', CODE, 0, 'X', 400, 'bench', 'G01', AT" +
        orders +
        ";"
        "insert into KAV_REPORT_SHOW (LEDGERID, NODECODE, ORDERCODE, PRODUCTCODE, PRICELEVEL, DISCOUNT, "
        "AMOUNT, PRICE, SALESORT, ACTIONKIND, ORDERSOURCE, ORDERFROM, PAYMODECODE, ACCOUNTUSER, "
        "ACCOUNTGROUP, ACCOUNTTIME) select o + 1, '01', CODE, 'P0', 'A', 100, 4, 400, '01', '01', '1', '1', "
        "'X', 'bench', 'G01', AT" +
        orders +
        ";"
        "insert into KAV_TICKET_SHOW (NODECODE, BARCODE, TICKETSERIAL, ORDERCODE, SEATCODE, PRODUCTCODE, "
        "ISGIFT, PARVALUE, PRINTUSER, PRINTTIME, ORDERHANDLERTIME) select '01', lpad(g::text, 16, '0'), "
        "CODE || '-' || SEAT, CODE, SEAT, 'P0', 'N', 100, 'bench', AT, AT" +
        seats +
        ";"
        "insert into KAV_PRINT_LOG (NODECODE, PRINTID, PRINTKIND, BARCODE, ORDERCODE, SEATCODE, PRODUCTCODE, "
        "PRINTUSER, PRINTGROUP, PRINTTIME) select '01', g + 1, 'O', lpad(g::text, 16, '0'), CODE, SEAT, "
        "'P0', 'bench', 'G01', AT" +
        seats);
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
        AddHistory(*c);
        // Vacuumed now rather than by autovacuum in the middle of a measurement.
        c->Execute("vacuum analyze");
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
    using Clock = std::chrono::steady_clock;
    Clock::duration book{}, account{}, tickets{};
    for (auto _ : state) {
        const auto start = Clock::now();
        const int section = next++ / (kSeatsPerSection / 4);
        if (section == kSectionsPerSeller) return state.SkipWithError("every section is sold out");
        TClientDataSet order;
        order.SetData(office
                          .CreateOrderAndBooking(false, s.context, "P1",
                                                 SectionCode(state.thread_index(), section), 4, none)
                          .ByteArrayView());
        const auto booked = Clock::now();
        const std::string code = order.FieldByName("ORDERCODE").AsString();
        office.SaleAccount(s.context, "OrderCode=" + code + "\nIsNeedCharge=X\n",
                           AccountPacket(code, 4 * kSeatPrice), none, none);
        const auto accounted = Clock::now();
        for (order.First(); !order.Eof(); order.Next())
            office.OutputTicket(s.context, order.FieldByName("SEATCODE").AsString(), "", "N", "", "P1");
        book += booked - start;
        account += accounted - booked;
        tickets += Clock::now() - accounted;
    }
    const auto perSale = [](Clock::duration total) {
        return benchmark::Counter(std::chrono::duration<double, std::milli>(total).count(),
                                  benchmark::Counter::kAvgIterations);
    };
    state.counters["book_ms"] = perSale(book);
    state.counters["account_ms"] = perSale(account);
    state.counters["tickets_ms"] = perSale(tickets);
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
