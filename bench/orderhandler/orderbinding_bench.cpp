// Binding a search answer of 10,000 orders, each with two price lines, into order records, beside
// loading the same packet into a dataset alone (the goal: binding costs at most half a load more),
// and the binding alone. LoadThenBindRatio measures the goal itself: each iteration loads once and
// loads and binds once, back to back, so that a busy machine slows both alike; its "ratio"
// counter is the load and bind time over the load time.
#include "orderhandler/odrhbinding.h"
#include "orderpackets.h"

#include <benchmark/benchmark.h>
#include <chrono>

using namespace kav;
using namespace kav::orderhandler;

namespace {

constexpr int kOrders = 10'000;

const std::string& Packet() {
    static const std::string packet = [] {
        std::vector<std::pair<testing::Row, testing::Discounts>> orders;
        orders.reserve(kOrders);
        for (int i = 0; i < kOrders; ++i) {
            char code[16];
            std::snprintf(code, sizeof code, "D%07d", i);
            orders.push_back({{{"ORDERCODE", code},
                               {"SALECLASSNAME", "正价票"},
                               {"ORDERFROM", i % 3 == 0 ? "3" : "2"},
                               {"CREATEUSER", "U001"},
                               {"CREATEGROUP", "G001"},
                               {"CUSTOMERNAME", "张三"},
                               {"CUSTOMERCELLPHONE", "13900000001"},
                               {"MEMBERCARDNO", i % 2 ? "-1" : "8800001"},
                               {"FETCHWAY", "1"},
                               {"ORDERSTATUS", "B"},
                               {"CLIENTTYPE", "3"},
                               {"CERTIFICATETYPE", "ID"},
                               {"SEATCOUNT", 3},
                               {"RECEIVABLES", 880.0},
                               {"PAYMODECODE", "X"},
                               {"ORDERTIME", 46000.5}},
                              {{300.0, 2}, {280.0, 1}}});
        }
        return testing::OrderPacket(orders);
    }();
    return packet;
}

void LoadOnce(const std::string& packet) {
    TClientDataSet orders;
    orders.SetData(packet);
    benchmark::DoNotOptimize(orders.RecordCount());
}

void LoadOnly(benchmark::State& state) {
    const std::string& packet = Packet();
    for (auto _ : state)
        LoadOnce(packet);
    state.SetItemsProcessed(state.iterations() * kOrders);
}

TOrderBindingLookups Lookups() {
    TOrderBindingLookups lookups;
    lookups.customerTypeName = [](const std::string&) { return std::string("普通购票者"); };
    lookups.certificateId = [](const std::string&) { return 1; };
    lookups.isPrintNote = [](const std::string&) { return false; };
    lookups.canViewOrders = [](int) { return true; };
    lookups.seatLoader = [](const std::string&) { return TodrHSeatInfoList(); }; // every record gets one
    lookups.now = 46010.0;
    return lookups;
}

// A search as the order window runs it: the provider's dataset takes the packet and is bound into
// records; the dataset is replaced (freed) before the window frees the records it showed.
void LoadAndBindOnce(const std::string& packet, const TOrderBindingLookups& lookups) {
    TodrHOrderInfoList list;
    {
        TClientDataSet orders;
        orders.SetData(packet);
        list = FillOrderInfoList(orders, lookups);
    }
    benchmark::DoNotOptimize(list.Count());
}

void LoadAndBind(benchmark::State& state) {
    const std::string& packet = Packet();
    const TOrderBindingLookups lookups = Lookups();
    for (auto _ : state)
        LoadAndBindOnce(packet, lookups);
    state.SetItemsProcessed(state.iterations() * kOrders);
}

// The binding alone: the dataset is loaded, and it and the records freed, outside the timing.
void BindOnly(benchmark::State& state) {
    const std::string& packet = Packet();
    const TOrderBindingLookups lookups = Lookups();
    for (auto _ : state) {
        state.PauseTiming();
        auto orders = std::make_unique<TClientDataSet>();
        orders->SetData(packet);
        state.ResumeTiming();
        TodrHOrderInfoList list = FillOrderInfoList(*orders, lookups);
        state.PauseTiming();
        orders.reset();
        list.Clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kOrders);
}

void LoadThenBindRatio(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    const std::string& packet = Packet();
    const TOrderBindingLookups lookups = Lookups();
    Clock::duration load{}, loadAndBind{};
    for (auto _ : state) {
        const auto start = Clock::now();
        LoadOnce(packet);
        const auto loaded = Clock::now();
        LoadAndBindOnce(packet, lookups);
        load += loaded - start;
        loadAndBind += Clock::now() - loaded;
    }
    const auto ms = [&](Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count() / static_cast<double>(state.iterations());
    };
    state.counters["load_ms"] = ms(load);
    state.counters["load_bind_ms"] = ms(loadAndBind);
    state.counters["ratio"] = ms(loadAndBind) / ms(load);
}

} // namespace

BENCHMARK(LoadOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadAndBind)->Unit(benchmark::kMillisecond);
BENCHMARK(BindOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadThenBindRatio)->Unit(benchmark::kMillisecond);
