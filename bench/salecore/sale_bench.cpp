// Selling through the sale core against a kav-server hosted in the benchmark (SQLite, seeded with
// bench:10), printing into a folder printer:
//   BM_RenderTicketFace     one ticket of the demo face (bar code and QR code) rendered as a PDF page
//                           at 300 dpi, as it goes to the printer
//   BM_RenderTicketImage    the same page painted into a 300 dpi image (what a preview would cost)
//   BM_SaleOfTenSeats       a whole sale of a 10-seat order: accounting, seat list, ten tickets made
//                           by the server and printed (the booking itself is not timed)
// The counter ms_per_ticket is the goal's figure (under 20 ms per ticket rendered).
//   build/bin/bench_salecore --benchmark_counters_tabular=true
#include "platform/core/contexttext.h"
#include "platform/widgets/printerchoice.h"
#include "platform/widgets/ticketface.h"
#include "rpc/pelioclient.h"
#include "rpc/pelioserver.h"
#include "salecore/usaleticketcoreimpl.h"
#include "server/seed/seed.h"
#include "server/serverservices.h"
#include "services/login/tplogin.h"
#include "services/ticketoffice/tpticketoffice.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <unistd.h>

namespace {

using namespace kav;
using namespace kav::server;

constexpr int kSeats = 10;

struct SaleServer {
    QTemporaryDir folder;
    std::unique_ptr<Database> database;
    TSessionSigner sessions;
    std::optional<ServerServices> services;
    pelio::TPelioServer server;
    pelio::TPelioClient client;
    std::string context;
    std::optional<TSaleTicketCoreImpl> core;
    std::optional<TTPTicketOffice> office;
    TKavTicketFace face;

    SaleServer() {
        const std::string root = folder.path().toStdString();
        database = Database::Open("sqlite:" + root + "/kav.db");
        SeedDatabase(*database, "bench:10");
        services.emplace(ServerServices{*database, sessions, 256u << 20});
        RegisterServices(*services);
        server.SetPort(0);
        server.SetActive(true);
        client.SetHost("127.0.0.1");
        client.SetPort(server.ListeningPort());
        context = TTPLogin(&client).Login("demo", "demo");
        core.emplace(client);
        office.emplace(&client);
        TPrinterSettings settings;
        settings.folder = root + "/printouts";
        OverridePrinterSettings(settings);
    }

    // Books kSeats seats of the stalls and answers the order, its amount and its seat codes.
    std::tuple<std::string, double, std::vector<std::string>> Book() {
        TClientDataSet rows;
        rows.SetData(
            office->CreateOrderAndBooking(false, context, "P0001", "S0101", kSeats, Variant::ByteArray({}))
                .ByteArrayView());
        std::vector<std::string> seats;
        for (rows.First(); !rows.Eof(); rows.Next())
            seats.push_back(rows.FieldByName("SEATCODE").AsString());
        return {rows.FieldByName("ORDERCODE").AsString(), rows.FieldByName("RECEIVABLES").AsFloat(), seats};
    }

    // A whole sale of a booked order; false when any step failed.
    bool Sell(const std::string& order, double amount, const std::vector<std::string>& seats) {
        TSaleAccountCondition condition;
        condition.OrderCode = order;
        condition.PayModeCode = "X";
        condition.CreateGroup = "OWN1";
        condition.ProductCode = "P0001";
        condition.UserRegType = "N";
        condition.OrderStatus = "B";
        condition.Amount = amount;
        TClientDataSet payment;
        payment.AddFieldDef("PayModeCode", TFieldType::ftString, 1);
        payment.AddFieldDef("PayMoney", TFieldType::ftFloat);
        payment.AddFieldDef("Remark", TFieldType::ftString, 10);
        payment.CreateDataSet();
        payment.AppendRecord({"X", amount, ""});
        if (core->SaleAccount_BL(context, condition, "OWN1", {}, Variant::ByteArray(payment.Data())) !=
            R_SA_OK)
            return false;
        core->_Init_pt_SeatInfoList(pt_SeatInfoList(), seats, context, "P0001", "SC01", false);
        std::string handlerTime;
        return core->PrintTickets(context, "P0001", "S0101", "SG01", "SC01", pt_SeatInfoList(), face,
                                  handlerTime, "") == R_PT_OK;
    }
};

SaleServer& Server() {
    static SaleServer server;
    return server;
}

// The face and ticket of the last sale, sold once when there was none yet.
TKavTicketFace& SoldFace(benchmark::State& state) {
    SaleServer& s = Server();
    if (!s.core->DataModule().cdsTicket.Active()) {
        auto [order, amount, seats] = s.Book();
        if (!s.Sell(order, amount, seats)) state.SkipWithError(_GetLastSaleCoreErrorMsg().c_str());
    }
    return s.face;
}

// Wall-clock milliseconds of the timed work, divided by the tickets it made.
class TicketClock {
public:
    void Start() { start_ = std::chrono::steady_clock::now(); }
    void Stop(int tickets) {
        elapsed_ += std::chrono::steady_clock::now() - start_;
        tickets_ += tickets;
    }
    void Report(benchmark::State& state) const {
        if (tickets_ > 0)
            state.counters["ms_per_ticket"] =
                std::chrono::duration<double, std::milli>(elapsed_).count() / static_cast<double>(tickets_);
    }

private:
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::duration elapsed_{};
    long long tickets_ = 0;
};

// One ticket of the last sale rendered per iteration.
template <class Render> void RenderTickets(benchmark::State& state, Render render) {
    TKavTicketFace& face = SoldFace(state);
    TicketClock clock;
    for (auto _ : state) {
        clock.Start();
        benchmark::DoNotOptimize(render(face));
        clock.Stop(1);
    }
    clock.Report(state);
}

void BM_RenderTicketFace(benchmark::State& state) {
    RenderTickets(state, [](TKavTicketFace& face) { return face.RenderPdf(300); });
}
BENCHMARK(BM_RenderTicketFace)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RenderTicketImage(benchmark::State& state) {
    RenderTickets(state, [](TKavTicketFace& face) { return face.RenderImage(300); });
}
BENCHMARK(BM_RenderTicketImage)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaleOfTenSeats(benchmark::State& state) {
    SaleServer& s = Server();
    TicketClock clock;
    for (auto _ : state) {
        state.PauseTiming();
        auto [order, amount, seats] = s.Book();
        state.ResumeTiming();
        clock.Start();
        if (!s.Sell(order, amount, seats)) {
            state.SkipWithError(_GetLastSaleCoreErrorMsg().c_str());
            break;
        }
        clock.Stop(kSeats);
    }
    clock.Report(state);
}
BENCHMARK(BM_SaleOfTenSeats)->Unit(benchmark::kMillisecond)->Iterations(30)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
