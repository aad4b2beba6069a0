#pragma once
// The order split's rules that need no window: the suite terms of a sale class, whether a selection
// is made of whole suites, and the count and money per price level of the seats that leave the
// order. Amounts are worked out in whole cents.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kav {
class TClientDataSet;
}

namespace kav::orderhandler {

// The terms of a suite sale class, from its rows of the suite table (one per price level, in the
// table's order; fields TicketNum, TotalPrices, Discount, GiftNum, PriceLevel).
struct TSuiteTerms {
    enum class Pricing { FixedPrice = 0, ByDiscount = 1, WithGifts = 2 };
    struct Level {
        std::optional<double> totalPrices; // price of one suite at this level
        double discount = 0;               // percent
        int ticketNum = 0;                 // bought tickets per suite
    };
    // Decided by the first row: a suite price, else gift tickets, else a discount.
    Pricing pricing = Pricing::ByDiscount;
    int ticketsPerSuite = 0; // bought and gift tickets of the first row
    int giftsPerSuite = 0;
    std::map<std::string, Level> levels;
};

// Reads the terms from the suite table; an empty table gives no tickets per suite.
TSuiteTerms ReadSuiteTerms(TClientDataSet& suite);

// Shown when the sale class gives no tickets per suite: nothing can be split in whole suites then.
inline constexpr const char* kSuiteTermsMissingText = "该订单的套票没有设置每套票数，不能拆分！";

// One seat to split, as the checks see it.
struct TSplitSeat {
    std::string priceLevel;
    std::string status;
};

// The whole-suite check of a selection given in price level order: empty when it holds whole suites,
// else the warning to show. Terms without tickets per suite give kSuiteTermsMissingText.
std::string ValidSuitTicket(const std::vector<TSplitSeat>& seats, const TSuiteTerms& terms);

// One price level line of the order (a row of KAV_ORDER_DISCOUNT_SHOW).
struct TOrderDiscountLine {
    std::string priceLevel;
    double price = 0;
    double discount = 0;
    double ticketPrice = 0;
    double totalPrice = 0;
};

// One seat row to split: its level and the price of that level (none when the level has no price).
struct TReclaimSeat {
    std::string priceLevel;
    std::optional<double> price;
};

// A row of the count and money per price level.
struct TReclaimLine {
    std::string priceLevel;
    std::string price; // as text
    double discount = 0;
    int count = 0;
    std::int64_t cents = 0;
    bool operator==(const TReclaimLine&) const = default;
};

// Count and money per run of one price level of `seats` (given in price level order). Without suite
// terms: the order's ticket price per seat, levels without a line of the order left out. With suite
// terms: per suite, by the terms' pricing, levels the terms lack left out; an online order (source
// "3") takes the line's total instead. The suite terms must give tickets per suite.
std::vector<TReclaimLine> GetReclaimCountAndMoney(const std::vector<TReclaimSeat>& seats,
                                                  const std::vector<TOrderDiscountLine>& lines,
                                                  const TSuiteTerms* suite, const std::string& orderFrom);

// Whether the split's answer names a new order: letters and digits, 2 to 20 of them.
bool IsOrderCode(const std::string& answer);

} // namespace kav::orderhandler
