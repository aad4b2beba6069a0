// BM_OrderWindowSaleOfTenSeats: a 10-seat order sold as a seller sells it in the order properties
// window (订单取票), from pressing "收款出票" until the last ticket is spooled into the folder printer and
// the window closes, with one payment line of the whole amount; and, in the same iteration, another
// 10-seat order sold through the sale core alone (SaleServer::Sell, as BM_SaleOfTenSeats). Opening the
// window (reading the order and its seats) and the bookings are not timed.
//
// Counters: window_ms and core_ms per ticket, and their ratio window_vs_core (goal: at most 1.2).
#include "dialogs/dialogresponder.h"
#include "orderhandler/odrhorderprovider.h"
#include "orderhandler/odrhpackage.h"
#include "orderhandler/uiorderhandlerprop.h"
#include "salebenchserver.h"
#include "services/dbpipe/tpdbpipe.h"

namespace {

using namespace kav;
using namespace kav::bench;
using namespace kav::orderhandler;

// Every message box answered with its default, as a seller presses Enter ("打印完毕!").
class EnterEverywhere final : public DialogResponder {
public:
    EnterEverywhere() { previous_ = SetDialogResponder(this); }
    ~EnterEverywhere() override { SetDialogResponder(previous_); }
    DialogAnswer Respond(const DialogRecord& dialog) override {
        return {dialog.defaultResult.value_or(1), false, 0};
    }

private:
    DialogResponder* previous_ = nullptr;
};

// The order handler package over the benchmark's connection and sale core.
struct OrderHandlerPackage {
    explicit OrderHandlerPackage(SaleServer& s) : pipe(&s.client) {
        FreeOrderHandlerPackage();
        UseOrderHandlerPipe(&pipe);
        UseOrderHandlerSaleCore(&*s.core);
        odrHContext().SetAsString(s.context);
    }
    ~OrderHandlerPackage() {
        FreeOrderHandlerPackage();
        UseOrderHandlerPipe(nullptr);
        UseOrderHandlerSaleCore(nullptr);
    }
    TTPDBPipe pipe;
};

void BM_OrderWindowSaleOfTenSeats(benchmark::State& state) {
    SaleServer& s = SaleServer::Shared();
    OrderHandlerPackage package(s);
    EnterEverywhere dialogs;
    TicketClock window, core;
    for (auto _ : state) {
        state.PauseTiming();
        const auto [code, amount, seats] = s.Book();
        const auto [coreOrder, coreAmount, coreSeats] = s.Book();
        std::unique_ptr<TodrHOrderInfoList> found = odrHOrderInfoDataProvider().SearchOrderHandlerInfoEx(code);
        if (found->Count() != 1) {
            state.SkipWithError(("no order " + code).c_str());
            break;
        }
        TodrHOrderInfoRecord& order = found->First();
        auto prop = std::make_unique<TUIOrderHandlerProp>(order, TOrderWindowSession{s.context, "N"}, nullptr);
        prop->AddPayment(); // the proposed amount: the whole receivable, in the first pay mode
        state.ResumeTiming();

        window.Start();
        prop->Print();
        window.Stop(kSeats);
        core.Start();
        const bool coreSold = s.Sell(coreOrder, coreAmount, coreSeats);
        core.Stop(kSeats);

        state.PauseTiming();
        const bool windowSold = order.orderStatus.code == "A" && prop->result() == QDialog::Accepted;
        prop.reset();
        state.ResumeTiming();
        if (!windowSold || !coreSold) {
            state.SkipWithError(("order " + (windowSold ? coreOrder : code) + " was not sold: " +
                                 _GetLastSaleCoreErrorMsg())
                                    .c_str());
            break;
        }
    }
    window.Report(state, "window_ms");
    core.Report(state, "core_ms");
    if (core.MsPerTicket() > 0) state.counters["window_vs_core"] = window.MsPerTicket() / core.MsPerTicket();
}
BENCHMARK(BM_OrderWindowSaleOfTenSeats)->Unit(benchmark::kMillisecond)->Iterations(30)->UseRealTime();

} // namespace
