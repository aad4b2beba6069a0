#pragma once
// The kav-server the sale benchmarks sell through, hosted in the benchmark: SQLite seeded with
// bench:10, the demo seller logged in, a sale core over the benchmark's own connection, and a folder
// printer. One per process (Shared).

#include "platform/widgets/ticketface.h"
#include "rpc/pelioclient.h"
#include "rpc/pelioserver.h"
#include "salecore/usaleticketcoreimpl.h"
#include "server/serverservices.h"
#include "services/ticketoffice/tpticketoffice.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace kav::bench {

inline constexpr int kSeats = 10;

struct SaleServer {
    static SaleServer& Shared();
    SaleServer();

    QTemporaryDir folder;
    std::unique_ptr<server::Database> database;
    server::TSessionSigner sessions;
    std::optional<server::ServerServices> services;
    pelio::TPelioServer server;
    pelio::TPelioClient client;
    std::string context;
    std::optional<TSaleTicketCoreImpl> core;
    std::optional<TTPTicketOffice> office;
    TKavTicketFace face;

    // Books kSeats seats of the stalls and answers the order, its amount and its seat codes.
    std::tuple<std::string, double, std::vector<std::string>> Book();
    // A whole sale of a booked order through the sale core; false when any step failed.
    bool Sell(const std::string& order, double amount, const std::vector<std::string>& seats);
};

// Wall-clock milliseconds of the timed work, divided by the tickets it made.
class TicketClock {
public:
    void Start() { start_ = std::chrono::steady_clock::now(); }
    void Stop(int tickets) {
        elapsed_ += std::chrono::steady_clock::now() - start_;
        tickets_ += tickets;
    }
    double MsPerTicket() const {
        return tickets_ == 0 ? 0
                             : std::chrono::duration<double, std::milli>(elapsed_).count() /
                                   static_cast<double>(tickets_);
    }
    void Report(benchmark::State& state, const char* counter = "ms_per_ticket") const {
        if (tickets_ > 0) state.counters[counter] = MsPerTicket();
    }

private:
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::duration elapsed_{};
    long long tickets_ = 0;
};

} // namespace kav::bench
