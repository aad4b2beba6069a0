#pragma once
// The payment of one order as the seller takes it: one line per pay mode with its amount, a remark
// and, for pay mode G (charged to a credit company), the company. Amounts are whole cents: what the
// seller types is read exactly (no binary fractions), and the lines must add up to the order's
// receivable to the cent before anything is charged.
//
// The lines are also what the sale is accounted with: the pay mode sent is the first line's, the
// credit company that of the G line, never whatever a combo box shows at the moment of settling.
//
// Threading: none; a value.

#include "orderhandler/odrhtypes.h"
#include "rpc/variant.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kav::orderhandler {

inline constexpr const char* kMemberCardPayMode = "M";
inline constexpr const char* kCreditPayMode = "G";

// The largest amount one line takes: ten million yuan.
inline constexpr std::int64_t kMaxPaymentCents = 1'000'000'000;

// A typed amount in cents: digits with at most two decimals, blanks around allowed. nullopt for
// anything else (signs, exponents, "inf", "nan", a third decimal, more than kMaxPaymentCents).
std::optional<std::int64_t> ParseAmount(std::string_view text);

// An amount as the editor proposes it: "100.00".
std::string AmountText(std::int64_t cents);

// The order's receivable in cents (it arrives as a floating number).
std::int64_t ReceivableCents(double receivables);

struct TPaymentLine {
    std::string payModeCode;
    std::string payModeName;
    std::int64_t cents = 0;
    std::string remark;
    std::string creditCompany; // pay mode G only: its code
    std::string creditCompanyName;
};

class TPaymentLines {
public:
    enum class TAddResult {
        Added,
        Duplicate, // a line of that pay mode exists: delete it first
        BadAmount, // not an amount, or not above zero
        NoCompany, // pay mode G without its credit company
    };

    // `creditCompany` is taken for pay mode G only.
    TAddResult Add(const TPayModeItem& payMode, std::string_view amountText, std::string remark,
                   const TCreditCompanyItem& creditCompany = {});
    // Adds the line of an order paid before (its own pay mode and amount), which the seller cannot change.
    void AddPaid(const TPayModeItem& payMode, std::int64_t cents);
    // Out-of-range rows are ignored.
    void Delete(int row);

    const std::vector<TPaymentLine>& Lines() const noexcept { return lines_; }
    int Count() const noexcept { return static_cast<int>(lines_.size()); }
    bool Empty() const noexcept { return lines_.empty(); }
    std::int64_t TotalCents() const;
    bool Has(std::string_view payModeCode) const;

    // The pay mode the order is accounted with: the first line's; empty without lines.
    std::string PayModeCode() const;
    std::string PayModeName() const;
    // The credit company of the G line; empty when there is none.
    std::string CreditCompany() const;

    // The lines as the sale core sends them: PayModeCode, CName, PayMoney, Remark, CreditCompany.
    pelio::Variant Packet() const;

private:
    std::vector<TPaymentLine> lines_;
};

// The amount still to be paid after the lines (never below zero).
std::int64_t RemainingCents(double receivables, const TPaymentLines& lines);

} // namespace kav::orderhandler
