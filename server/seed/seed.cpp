#include "server/seed/seed.h"

#include "server/seed/orderdraft.h"

#include <charconv>
#include <stdexcept>

namespace kav::server {

namespace {

// The seed number of every seed; changing it changes all generated rows.
constexpr std::uint64_t kSeedNumber = 20261207;
// The demo's own orders, generated ones included.
constexpr std::int64_t kDemoOrders = 1000;
// Far beyond any useful bench, and small enough that section codes keep to their eight characters.
constexpr std::int64_t kMaxBenchOrders = 10'000'000;

struct SeedSize {
    std::int64_t orders;
    seed::HashCost hashCost;
};

SeedSize SizeOf(const std::string& spec) {
    if (spec == "demo") return {kDemoOrders, seed::HashCost::Interactive};
    constexpr std::string_view prefix = "bench:";
    if (spec.starts_with(prefix)) {
        const char* first = spec.data() + prefix.size();
        const char* last = spec.data() + spec.size();
        std::int64_t orders = 0;
        const auto [end, error] = std::from_chars(first, last, orders);
        if (first != last && error == std::errc() && end == last && *first != '-' && orders >= 1 &&
            orders <= kMaxBenchOrders)
            return {orders, seed::HashCost::Minimal};
    }
    throw std::invalid_argument("seed must be \"demo\" or \"bench:N\" with N from 1 to " +
                                std::to_string(kMaxBenchOrders) + ", not \"" + spec + "\"");
}

bool HasData(Connection& connection) {
    const auto rows = connection.Select("select count(*) from KAV_USER");
    if (rows.empty() || rows.front().empty()) return false;
    const SqlValue& count = rows.front().front();
    if (const auto* number = std::get_if<std::int64_t>(&count)) return *number > 0;
    if (const auto* real = std::get_if<double>(&count)) return *real > 0;
    if (const auto* text = std::get_if<std::string>(&count)) return *text != "0";
    return false;
}

void Fill(Connection& connection, const SeedSize& size, TDateTime today) {
    using namespace seed;
    const Calendar calendar(today);
    SeedTables tables(connection);
    WriteReferenceData(tables, calendar, size.hashCost);

    const std::int64_t showcase = ShowcaseOrderCount();
    OrderCounters counters;
    counters.nextGeneratedOrder = showcase + 1;
    std::int64_t nextSeatCode = 1001;
    const std::vector<ProductPlan> products = PlanProducts(std::max<std::int64_t>(0, size.orders - showcase));
    // The hand-made orders keep the passwords the README gives; generated ones avoid them.
    for (const ProductPlan& product : products)
        for (const OrderDraft& order : ShowcaseOrders(product))
            if (!order.password.empty()) counters.passwords.insert(order.password);
    for (const ProductPlan& product : products) {
        std::vector<SeatPlan> seats = WritePerformance(tables, product, calendar, nextSeatCode);
        WriteOrdersAndSeats(tables, product, seats, calendar, counters, kSeedNumber);
    }
    WriteMembers(tables, counters.members, size.hashCost);
    tables.FinishAll();
}

} // namespace

void SeedDatabase(Database& db, const std::string& spec) {
    SeedDatabase(db, spec, Today());
}

void SeedDatabase(Database& db, const std::string& spec, TDateTime today) {
    const SeedSize size = SizeOf(spec);
    db.EnsureSchema();
    const auto connection = db.Connect();
    if (connection->Kind() == Backend::SQLite) {
        // A large seed is one transaction: with SQLite's small default cache, index pages spill to
        // the log and are written again at every later change. This connection only seeds.
        connection->Execute("PRAGMA cache_size = -262144"); // KiB
    }
    connection->Begin();
    try {
        if (!HasData(*connection)) Fill(*connection, size, today);
        connection->Commit();
    } catch (...) {
        try {
            connection->Rollback();
        } catch (const EDatabase&) {
            // The first failure is the one worth reporting; the connection is dropped anyway.
        }
        throw;
    }
}

} // namespace kav::server
