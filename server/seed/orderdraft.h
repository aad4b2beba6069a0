#pragma once
// An order as the seed plans it, before its rows are written. Internal to the seed library.

#include "server/seed/seedmodel.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kav::server::seed {

// A moment as a day relative to today and minutes after midnight.
struct SeedTime {
    int day = 0, minute = 0;
};

struct Customer {
    std::string name, sex, level, tel, cellPhone, email, address;
    int identType = 1;
    std::string identCode, comment;
};

struct Actor {
    std::string user, group;
};

struct OrderDraft {
    std::int64_t number = 0;
    std::string saleClass = "SC01";
    char from = '1';   // 1 counter, 2 call centre, 3 online
    char status = 'B'; // B, A, C, R; online N, U
    char clientType = '3';
    char fetchWay = '1';
    std::string invoiceHead;
    bool gift = false;         // complimentary order: no money
    bool placeReserve = false; // held for the venue, kept out of the reports
    bool refunded = false;     // cancelled after it was paid: the ledger shows the return
    bool printing = false;     // paid, its tickets being printed
    bool emptyLine = false;    // keeps a price level line whose seats were all given back
    std::optional<std::int64_t> memberId;
    std::string memberCard = "-1";
    bool feeMember = false;
    Actor creator;
    SeedTime created;
    std::optional<Actor> handler;
    SeedTime handled;
    std::optional<Actor> payee; // set when the order was paid
    SeedTime paid;
    std::string payMode;
    std::string creditCompany;
    std::string password;
    int failDay = 0;
    Customer customer;
    std::vector<std::pair<char, int>> seatsWanted; // price level and seat count
};

std::string OrderCode(std::int64_t number);
Customer RandomCustomer(SeedRandom& random);
OrderDraft RandomOrder(const ProductPlan& product, SeedRandom& random);
// The hand-made orders of one performance (none for most), each showing one case the windows and
// the client's searches must handle.
std::vector<OrderDraft> ShowcaseOrders(const ProductPlan& product);

} // namespace kav::server::seed
