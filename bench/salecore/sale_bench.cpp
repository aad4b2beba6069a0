// Selling through the sale core against a kav-server hosted in the benchmark (SQLite, seeded with
// bench:10), printing into a folder printer:
//   BM_RenderTicketFace     one ticket of the demo face (bar code and QR code) rendered as a PDF page
//                           at 300 dpi, as it goes to the printer
//   BM_RenderTicketImage    the same page painted into a 300 dpi image (what a preview would cost)
//   BM_SaleOfTenSeats       a whole sale of a 10-seat order: accounting, seat list, ten tickets made
//                           by the server and printed (the booking itself is not timed)
//   BM_OrderWindowSaleOfTenSeats  the same sale as a seller makes it in the order properties window
//                           (ordersale_bench.cpp), against the core's own sale in the same iteration
// The counter ms_per_ticket is the goal's figure (under 20 ms per ticket rendered).
//   QT_QPA_PLATFORM=offscreen build/bin/bench_salecore --benchmark_counters_tabular=true
#include "salebenchserver.h"

#include <QApplication>

namespace {

using namespace kav;
using namespace kav::bench;

// The face and ticket of the last sale, sold once when there was none yet.
TKavTicketFace& SoldFace(benchmark::State& state) {
    SaleServer& s = SaleServer::Shared();
    if (!s.core->DataModule().cdsTicket.Active()) {
        auto [order, amount, seats] = s.Book();
        if (!s.Sell(order, amount, seats)) state.SkipWithError(_GetLastSaleCoreErrorMsg().c_str());
    }
    return s.face;
}

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
    SaleServer& s = SaleServer::Shared();
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
