// Saving a new section of 15,000 seats (100 rows of 150) as the seat layout window saves it: the seat
// data's delta through ITPMapSeatShow.SetSeat to a kav-server hosted in this process, the server
// checking the whole delta and storing it, and the section's seats coming back into the seat data;
// against inserting the same rows straight into KAV_SEAT_SHOW with one prepared statement in one
// transaction (sqlite3 or libpq, no server). Every backend in the same run, PostgreSQL when KAV_TEST_PG
// names a database (as for the tests). Each iteration runs both in turn, so that a busy machine slows
// both alike; `ratio` is save / direct, the goal at most 3:
//   KAV_TEST_PG=postgresql://... build/bin/bench_seatsave --benchmark_counters_tabular=true
#include "mapseatshow/cdmapseatshow.h"
#include "platform/core/contexttext.h"
#include "rpc/pelioclient.h"
#include "rpc/pelioserver.h"
#include "server/db/testdatabase.h"
#include "server/serverservices.h"
#include "server/sessionsigner.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <libpq-fe.h>
#include <list>
#include <optional>
#include <sqlite3.h>
#include <stdexcept>
#include <string>

namespace {

using namespace kav;
using namespace kav::server;
using Clock = std::chrono::steady_clock;

constexpr int kRows = 100;
constexpr int kCols = 150;
constexpr const char* kInsert = "insert into KAV_SEAT_SHOW (NODECODE, SEATCODE, PRODUCTCODE, MAPCODE, "
                                "SECTIONCODE, FLOORNO, ROWNO, SEATNO, X, "
                                "Y, ISADDITION, STATUS, KIND, PRICELEVEL) values ('01', $1, 'P0001', 'M001', "
                                "'S0101', 1, $2, $3, $3, $2, 'N', "
                                "'F', 'N', 'A')";

// The same statement with SQLite's parameter marks.
std::string ForSQLite(std::string sql) {
    for (std::size_t at = sql.find('$'); at != std::string::npos; at = sql.find('$', at))
        sql[at] = '?';
    return sql;
}

// A performance with one empty 100 x 150 section, served by a kav-server in this process.
struct Section {
    explicit Section(Backend backend) : database(backend) {
        database.Db().EnsureSchema();
        admin = database.Db().Connect();
        admin->Execute(
            "insert into KAV_PRODUCT (NODECODE, PRODUCTCODE, CNAME, PLACECODE, MAPCODE, HAPPENTIME, "
            "STATUS) values ('01', 'P0001', '新年音乐会', 'PL01', 'M001', '2027-01-01 19:30:00', '5')");
        admin->Execute("insert into KAV_SECTION_SHOW (NODECODE, SECTIONCODE, PRODUCTCODE, MAPCODE, CNAME, "
                       "CELLROWS, CELLCOLUMNS) values ('01', 'S0101', 'P0001', 'M001', '池座', 100, 150)");
        services.emplace(ServerServices{database.Db(), sessions, 256u << 20});
        RegisterServices(*services);
        server.SetPort(0);
        pelio::TosTransportLimits limits;
        limits.MaxMessageSize = 256u << 20;
        server.SetTransportLimits(limits);
        server.SetActive(true);
        client.SetHost("127.0.0.1");
        client.SetPort(server.ListeningPort());
        TContextText context;
        context.SetValue(context_names::NodeCode, "01");
        context.SetValue(context_names::UserCode, "U001");
        context.SetValue(context_names::GroupCode, "G001");
        window.SetContext(sessions.Issue(context));
        window.ProductCode = "P0001";
        window.MapCode = "M001";
        window.SectionCode = "S0101";
    }

    // The window's seat data holding the whole grid as new seats.
    void Draw() {
        window.GetData();
        TClientDataSet& seats = window.cdsSeat();
        seats.DisableControls();
        for (int row = 1; row <= kRows; ++row)
            for (int col = 1; col <= kCols; ++col) {
                seats.Append();
                window.NewSeatRecord(seats);
                seats.FieldByName("FLOORNO").SetAsInteger(1);
                seats.FieldByName("ROWNO").SetAsInteger(row);
                seats.FieldByName("SEATNO").SetAsInteger(col);
                seats.FieldByName("X").SetAsInteger(col);
                seats.FieldByName("Y").SetAsInteger(row);
                seats.FieldByName("ISADDITION").SetAsString("N");
                seats.FieldByName("KIND").SetAsString("N");
                seats.FieldByName("PRICELEVEL").SetAsString("A");
                seats.Post();
            }
        seats.EnableControls();
    }

    void Empty() { admin->Execute("delete from KAV_SEAT_SHOW where SECTIONCODE = 'S0101'"); }

    Clock::duration Save() {
        const auto start = Clock::now();
        window.SetData();
        const auto elapsed = Clock::now() - start;
        if (window.cdsSeat().RecordCount() != kRows * kCols || window.cdsSeat().ChangeCount() != 0)
            throw std::runtime_error("the save did not answer with the section's seats");
        return elapsed;
    }

    Clock::duration Direct() {
        const auto start = Clock::now();
        if (database.Db().Kind() == Backend::SQLite)
            DirectSQLite();
        else
            DirectPostgreSQL();
        return Clock::now() - start;
    }

    void DirectSQLite() {
        sqlite3* db = nullptr;
        const std::string path = database.Url().substr(std::string("sqlite:").size());
        if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open " + path);
        sqlite3_busy_timeout(db, 5000);
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, ForSQLite(kInsert).c_str(), -1, &insert, nullptr);
        int code = 0;
        for (int row = 1; row <= kRows; ++row)
            for (int col = 1; col <= kCols; ++col) {
                sqlite3_bind_int(insert, 1, ++code);
                sqlite3_bind_int(insert, 2, row);
                sqlite3_bind_int(insert, 3, col);
                if (sqlite3_step(insert) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db));
                sqlite3_reset(insert);
            }
        sqlite3_finalize(insert);
        if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
        sqlite3_close(db);
    }

    void DirectPostgreSQL() {
        PGconn* pg = PQconnectdb(database.Url().c_str());
        const auto run = [&](PGresult* result) {
            const ExecStatusType status = PQresultStatus(result);
            PQclear(result);
            if (status != PGRES_COMMAND_OK) throw std::runtime_error(PQerrorMessage(pg));
        };
        run(PQexec(pg, "begin"));
        run(PQprepare(pg, "seat", kInsert, 3, nullptr));
        int code = 0;
        for (int row = 1; row <= kRows; ++row)
            for (int col = 1; col <= kCols; ++col) {
                const std::string values[] = {std::to_string(++code), std::to_string(row),
                                              std::to_string(col)};
                const char* params[] = {values[0].c_str(), values[1].c_str(), values[2].c_str()};
                run(PQexecPrepared(pg, "seat", 3, params, nullptr, nullptr, 0));
            }
        run(PQexec(pg, "commit"));
        PQfinish(pg);
    }

    test::TestDatabase database;
    std::unique_ptr<Connection> admin;
    TSessionSigner sessions;
    std::optional<ServerServices> services;
    pelio::TPelioServer server;
    pelio::TPelioClient client;
    TCDMapSeatShow window{client};
};

void SeatSaveRatio(benchmark::State& state, Backend backend) {
    Section section(backend);
    Clock::duration saved{}, direct{};
    for (auto _ : state) {
        state.PauseTiming();
        section.Empty();
        section.Draw();
        state.ResumeTiming();
        saved += section.Save();
        state.PauseTiming();
        section.Empty();
        state.ResumeTiming();
        direct += section.Direct();
    }
    const auto ms = [&](Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count() / static_cast<double>(state.iterations());
    };
    state.counters["save_ms"] = ms(saved);
    state.counters["direct_ms"] = ms(direct);
    state.counters["ratio"] = ms(saved) / ms(direct);
    state.counters["seats"] = kRows * kCols;
}

} // namespace

int main(int argc, char** argv) {
    ::benchmark::Initialize(&argc, argv);
    for (Backend backend : test::TestBackends())
        ::benchmark::RegisterBenchmark(("BM_SeatSaveRatio/" + test::BackendName(backend)).c_str(),
                                       SeatSaveRatio, backend)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(5);
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
}
