#pragma once
// What the seed generator plans before it writes: the calendar of the run, the performances and
// their seats. Internal to the seed library.

#include "platform/core/datetime.h"
#include "server/seed/seedrandom.h"
#include "server/seed/seedtables.h"

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kav::server::seed {

inline constexpr const char* kNode = "01";
// The priced levels, in the order the seat map lists them.
inline constexpr std::array<char, 8> kPricedLevels = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'};

// Date-times as stored text, counted in whole days from the run's "today" (local midnight), so
// that only the dates move between runs.
class Calendar final {
public:
    explicit Calendar(TDateTime today) : today_(DateOf(today)) {}
    // "yyyy-mm-dd hh:nn:ss" of today + day at the given time of day.
    std::string At(int day, int hour, int minute = 0, int second = 0) const;

private:
    TDateTime today_;
};

struct ProductPlan {
    int number = 0;
    std::string code, name, classCode, placeCode, mapCode;
    int happenDay = 0, happenHour = 19, happenMinute = 30;
    std::string status;      // "5", "6" on sale; "9" void
    std::string userRegType; // "O", "S" or "N"
    std::array<double, kPricedLevels.size()> prices{};
    std::int64_t generatedOrders = 0;

    bool IsVoid() const { return status == "9"; }
    double PriceOf(char level) const;
};

struct SeatPlan {
    std::int64_t code = 0;
    std::string section;
    int floor = 0, row = 0, seatNo = 0, x = 0, y = 0;
    char level = 'A', kind = 'N';
    bool addition = false;
    char status = 'F';
    std::string order; // empty: no order holds it
};

// The fixed performances and, for large seeds, further ones so that every performance keeps a
// few hundred orders; generated orders are shared out among the performances that are not void.
std::vector<ProductPlan> PlanProducts(std::int64_t generatedOrders);

// How much work a password hash costs: the interactive limits for the demo, libsodium's minimum for
// bench data, which is for load tests only and should not keep its passwords.
enum class HashCost { Interactive, Minimal };

// A libsodium crypto_pwhash_str hash of the password at that cost.
std::string HashPassword(const std::string& password, HashCost cost);

// Groups, users (password hashes), rights, venues, lookups and switches.
void WriteReferenceData(SeedTables& tables, const Calendar& calendar, HashCost hashCost);

// The performance with its prices, sale classes, sections, floors, rows and ticket faces; returns
// its seats, unwritten, numbered from nextSeatCode on (which it advances).
std::vector<SeatPlan> WritePerformance(SeedTables& tables, const ProductPlan& product,
                                       const Calendar& calendar, std::int64_t& nextSeatCode);

// A member card that orders name, as the orders give it.
struct MemberPlan {
    std::string card, name, cellPhone;
    bool storedValue = false;
};

// Running numbers and what every performance's orders share.
struct OrderCounters {
    std::int64_t nextGeneratedOrder = 0; // first generated order number
    std::int64_t nextLedgerId = 1;
    std::int64_t nextTicketSerial = 1;
    // Collection passwords handed out so far: no two orders share one.
    std::set<std::string> passwords;
    // The members the orders name, by member id.
    std::map<std::int64_t, MemberPlan> members;
};

// A password of six digits that no order has yet: `wanted`, or the next free one after it.
std::string UnusedPassword(std::set<std::string>& used, const std::string& wanted);

// A card for every member the orders name, all with the demo card password (README.md).
void WriteMembers(SeedTables& tables, const std::map<std::int64_t, MemberPlan>& members, HashCost hashCost);

// The performance's showcase and generated orders with customers, price level lines, ledger rows,
// payments, tickets and registrations; then its seats, holding the orders' codes and statuses.
void WriteOrdersAndSeats(SeedTables& tables, const ProductPlan& product, std::vector<SeatPlan>& seats,
                         const Calendar& calendar, OrderCounters& counters, std::uint64_t seed);

// Number of showcase orders (codes D0000001 on); generated orders are numbered after them.
std::int64_t ShowcaseOrderCount();

} // namespace kav::server::seed
