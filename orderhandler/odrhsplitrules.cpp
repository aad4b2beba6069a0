#include "orderhandler/odrhsplitrules.h"

#include "platform/core/money.h"
#include "platform/dataset/clientdataset.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace kav::orderhandler {

namespace {

// A number the way the data packets show it: up to 15 significant digits, no trailing zeros.
std::string NumberText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

const TOrderDiscountLine* LineOf(const std::vector<TOrderDiscountLine>& lines, const std::string& level) {
    const auto found = std::find_if(lines.begin(), lines.end(),
                                    [&](const TOrderDiscountLine& line) { return line.priceLevel == level; });
    return found == lines.end() ? nullptr : &*found;
}

} // namespace

TSuiteTerms ReadSuiteTerms(TClientDataSet& suite) {
    TSuiteTerms terms;
    TField& ticketNum = suite.FieldByName("TicketNum");
    TField& totalPrices = suite.FieldByName("TotalPrices");
    TField& discount = suite.FieldByName("Discount");
    TField& giftNum = suite.FieldByName("GiftNum");
    TField& level = suite.FieldByName("PriceLevel");
    bool first = true;
    for (suite.First(); !suite.Eof(); suite.Next()) {
        if (first) {
            terms.pricing = !totalPrices.IsNull() ? TSuiteTerms::Pricing::FixedPrice
                            : !giftNum.IsNull()   ? TSuiteTerms::Pricing::WithGifts
                                                  : TSuiteTerms::Pricing::ByDiscount;
            terms.giftsPerSuite = giftNum.AsInteger();
            terms.ticketsPerSuite = ticketNum.AsInteger() + terms.giftsPerSuite;
            first = false;
        }
        TSuiteTerms::Level& levelTerms = terms.levels[level.AsString()];
        if (!totalPrices.IsNull()) levelTerms.totalPrices = totalPrices.AsFloat();
        levelTerms.discount = discount.AsFloat();
        levelTerms.ticketNum = ticketNum.AsInteger();
    }
    return terms;
}

std::string ValidSuitTicket(const std::vector<TSplitSeat>& seats, const TSuiteTerms& terms) {
    const int k = terms.ticketsPerSuite;
    if (k <= 0) return kSuiteTermsMissingText;
    const int n = static_cast<int>(seats.size());
    if (n % k != 0) return "请选择完整的套票座位！";
    for (std::size_t start = 0; start < seats.size();) {
        std::size_t end = start;
        while (end < seats.size() && seats[end].priceLevel == seats[start].priceLevel)
            ++end;
        if ((end - start) % static_cast<std::size_t>(k) != 0)
            return "票价等级选择不对，不属于完整套票，请重新选择！";
        start = end;
    }
    if (terms.giftsPerSuite > 0) {
        const bool allBooked = std::all_of(seats.begin(), seats.end(),
                                           [](const TSplitSeat& seat) { return seat.status == "B"; });
        const auto gifts = std::count_if(seats.begin(), seats.end(),
                                         [](const TSplitSeat& seat) { return seat.status == "G"; });
        if (!allBooked && gifts != terms.giftsPerSuite * (n / k))
            return "赠票座位的选择不对，不属于完整套票，请重新选择！";
    }
    return {};
}

std::vector<TReclaimLine> GetReclaimCountAndMoney(const std::vector<TReclaimSeat>& seats,
                                                  const std::vector<TOrderDiscountLine>& lines,
                                                  const TSuiteTerms* suite, const std::string& orderFrom) {
    std::vector<TReclaimLine> result;
    for (std::size_t start = 0; start < seats.size();) {
        const std::string& level = seats[start].priceLevel;
        std::size_t end = start;
        while (end < seats.size() && seats[end].priceLevel == level)
            ++end;
        const int count = static_cast<int>(end - start);
        const TOrderDiscountLine* line = LineOf(lines, level);
        if (!suite) {
            if (line)
                result.push_back({level, NumberText(line->price), line->discount, count,
                                  Cents(line->ticketPrice) * count});
        } else if (const auto terms = suite->levels.find(level); terms != suite->levels.end()) {
            const int k = suite->ticketsPerSuite;
            const int suites = count / k;
            const double price = seats[start].price.value_or(0);
            TReclaimLine row{level, NumberText(price), line ? line->discount : 0, count, 0};
            switch (suite->pricing) {
            case TSuiteTerms::Pricing::FixedPrice:
                row.cents = Cents(terms->second.totalPrices.value_or(0)) * suites;
                break;
            case TSuiteTerms::Pricing::WithGifts:
                row.cents = terms->second.ticketNum * Cents(price) * suites;
                break;
            case TSuiteTerms::Pricing::ByDiscount:
                row.cents = Cents(terms->second.discount * suites * price * k / 100);
                row.discount = terms->second.discount;
                break;
            }
            if (orderFrom != "3")
                result.push_back(row);
            else if (line) {
                row.cents = Cents(line->totalPrice);
                result.push_back(row);
            }
        }
        start = end;
    }
    return result;
}

bool IsOrderCode(const std::string& answer) {
    return answer.size() >= 2 && answer.size() <= 20 &&
           std::all_of(answer.begin(), answer.end(), [](unsigned char c) { return std::isalnum(c) != 0; });
}

} // namespace kav::orderhandler
