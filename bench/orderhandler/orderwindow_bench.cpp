// The order window against a kav-server hosted in this process on the shared bench database
// (bench/server/benchdatabase.h: KAV_BENCH_DB, KAV_BENCH_ORDERS, default 1,000,000 orders):
//
//   DetailSearchToPaintedGrid  a detail search of about 10,000 orders as the seller runs it: the
//                              "查询订单" button pressed, until the grid has painted its rows; and, in the
//                              same iteration, the data layer's own search of the same condition (pipe
//                              call, load and bind: TodrHOrderInfoDataProvider::SearchOrderHandlerInfoEx).
//                              Counters: window_ms, data_ms and their ratio (goal: at most 1.5).
//   SortGrid/<column>          the 10,000 rows sorted by one column and the grid painted again
//                              (goal: under 50 ms).
//
// The search is ADMIN's (every group, every source) over a create-time range that holds 10,000 orders.
//   QT_QPA_PLATFORM=offscreen build/bin/bench_orderhandler_window --benchmark_counters_tabular=true
#include "benchdatabase.h"
#include "host/orb.h"
#include "orderhandler/odrhcolumns.h"
#include "orderhandler/odrhordermodel.h"
#include "orderhandler/odrhpackage.h"
#include "orderhandler/odrhsearchinput.h"
#include "orderhandler/uiorderhandler.h"
#include "orderhandler/uiorderhandlersearchpanel.h"
#include "host/snapin/kavcsnapin.h"
#include "rpc/pelioserver.h"
#include "server/serverservices.h"
#include "services/login/tplogin.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QTimeEdit>
#include <QToolButton>
#include <QTreeView>
#include <benchmark/benchmark.h>
#include <chrono>
#include <iostream>
#include <optional>

namespace {

using namespace kav;
using namespace kav::orderhandler;
using Clock = std::chrono::steady_clock;

constexpr int kOrders = 10'000;

QApplication& Application() {
    static int argc = 1;
    static char name[] = "bench_orderhandler_window";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

QDateTime QDateTimeOf(TDateTime value) {
    const CivilDateTime c = DecodeDateTime(value);
    return QDateTime(QDate(c.year, c.month, c.day), QTime(c.hour, c.minute, c.second));
}

struct Bench {
    std::unique_ptr<server::Database> database;
    server::TSessionSigner sessions;
    std::optional<server::ServerServices> services;
    pelio::TPelioServer server;
    std::unique_ptr<TUIOrderHandler> window;
    int expected = 0;

    Bench() {
        Application();
        database = bench::OpenBenchDatabase();
        services.emplace(server::ServerServices{*database, sessions, 256u << 20});
        server::RegisterServices(*services);
        server.SetPort(0);
        server.SetActive(true);
        ORB().SetHost("127.0.0.1");
        ORB().SetPort(server.ListeningPort());

        // A create-time range from the middle of the table that holds kOrders orders.
        auto connection = database->Connect();
        const auto total = std::get<std::int64_t>(connection->Select("select count(*) from KAV_ORDER_SHOW")[0][0]);
        const auto time = [&](std::int64_t offset) {
            return ParseDateTimeIso(std::get<std::string>(
                connection->Select("select CREATETIME from KAV_ORDER_SHOW where SEATCOUNT > 0 order by CREATETIME "
                                   "limit 1 offset ?1",
                                   {offset})[0][0]));
        };
        const TDateTime from = time(total / 2), to = time(total / 2 + kOrders - 1);

        window = std::make_unique<TUIOrderHandler>();
        window->resize(1280, 800);
        window->SnapInContext().SetContext(TTPLogin(&ORB()).Login("ADMIN", "admin"));
        window->show();
        window->findChild<QComboBox*>("cbSeachTimeDefine")->setCurrentIndex(0);
        window->findChild<QDateEdit*>("dtpBeginDate")->setDate(QDateTimeOf(from).date());
        window->findChild<QTimeEdit*>("dtpBeginTime")->setTime(QDateTimeOf(from).time());
        window->findChild<QDateEdit*>("dtpEndDate")->setDate(QDateTimeOf(to).date());
        window->findChild<QTimeEdit*>("dtpEndTime")->setTime(QDateTimeOf(to).time());
        auto* status = window->findChild<QComboBox*>("cbOrderStatus");
        status->setCurrentIndex(status->findData(QStringLiteral("ALL")));
        auto* source = window->findChild<QComboBox*>("cbOrderFrom");
        source->setCurrentIndex(source->count() - 1); // 全部
        QApplication::processEvents();
        std::cerr << total << " orders; searching " << FormatDateTimeIso(from) << " to " << FormatDateTimeIso(to)
                  << "\n";
    }
    ~Bench() {
        window.reset();
        FreeOrderHandlerPackage();
        ORB().SetActive(false);
        server.SetActive(false);
    }

    // The button press until the grid has painted.
    void PressSearchAndPaint() {
        window->findChild<QToolButton*>("btn_act_SearchOrder")->click();
        window->GridView().viewport()->repaint();
    }

    // The data layer's search of the same condition, its list freed as a search's would be.
    int DataLayerSearch() {
        const TDetailSearchInput input = window->SearchPanel().DetailInput();
        const TOrderHandlerSearchCondition condition = MakeSearchCondition(input, odrHRights(), odrHContext());
        return odrHOrderInfoDataProvider().SearchOrderHandlerInfoEx(condition)->Count();
    }
};

Bench& TheBench() {
    static Bench bench;
    return bench;
}

void DetailSearchToPaintedGrid(benchmark::State& state) {
    Bench& b = TheBench();
    Clock::duration windowTime{}, dataTime{};
    int rows = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        b.PressSearchAndPaint();
        const auto painted = Clock::now();
        rows = b.DataLayerSearch();
        windowTime += painted - start;
        dataTime += Clock::now() - painted;
    }
    const auto ms = [&](Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count() / static_cast<double>(state.iterations());
    };
    state.counters["orders"] = b.window->Grid().OrderCount();
    state.counters["data_orders"] = rows;
    state.counters["window_ms"] = ms(windowTime);
    state.counters["data_ms"] = ms(dataTime);
    state.counters["ratio"] = ms(windowTime) / ms(dataTime);
}

void SortGrid(benchmark::State& state, const char* fieldName) {
    Bench& b = TheBench();
    if (b.window->Grid().OrderCount() == 0) b.PressSearchAndPaint();
    const int section = b.window->Columns().Find(fieldName)->columnIndex;
    bool descending = false;
    for (auto _ : state) {
        b.window->Grid().sort(section, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
        b.window->GridView().viewport()->repaint();
        descending = !descending;
    }
    state.counters["orders"] = b.window->Grid().OrderCount();
}

} // namespace

BENCHMARK(DetailSearchToPaintedGrid)->Unit(benchmark::kMillisecond)->MinTime(5);
BENCHMARK_CAPTURE(SortGrid, CustomerName, "CustomerName")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SortGrid, Receivables, "Receivables")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SortGrid, OrderTime, "OrderTime")->Unit(benchmark::kMillisecond);
