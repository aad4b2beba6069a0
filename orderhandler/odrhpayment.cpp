#include "orderhandler/odrhpayment.h"

#include "platform/core/money.h"
#include "platform/dataset/clientdataset.h"

#include <algorithm>

namespace kav::orderhandler {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<std::int64_t> ParseAmount(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    text = first == std::string_view::npos ? std::string_view() : text.substr(first, text.find_last_not_of(" \t") - first + 1);
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.empty() && fraction.empty()) return std::nullopt;
    if (fraction.size() > 2 || (point != std::string_view::npos && fraction.empty() && whole.empty()))
        return std::nullopt;
    if (!std::all_of(whole.begin(), whole.end(), IsDigit) || !std::all_of(fraction.begin(), fraction.end(), IsDigit))
        return std::nullopt;
    std::int64_t cents = 0;
    for (char c : whole) {
        cents = cents * 10 + (c - '0');
        if (cents > kMaxPaymentCents) return std::nullopt;
    }
    cents *= 100;
    if (!fraction.empty()) cents += (fraction[0] - '0') * 10 + (fraction.size() > 1 ? fraction[1] - '0' : 0);
    if (cents > kMaxPaymentCents) return std::nullopt;
    return cents;
}

std::string AmountText(std::int64_t cents) {
    return MoneyText(cents);
}

std::int64_t ReceivableCents(double receivables) {
    return Cents(receivables);
}

TPaymentLines::TAddResult TPaymentLines::Add(const TPayModeItem& payMode, std::string_view amountText,
                                             std::string remark, const TCreditCompanyItem& creditCompany) {
    if (Has(payMode.code)) return TAddResult::Duplicate;
    const std::optional<std::int64_t> cents = ParseAmount(amountText);
    if (!cents || *cents <= 0) return TAddResult::BadAmount;
    const bool credit = payMode.code == kCreditPayMode;
    if (credit && creditCompany.code.empty()) return TAddResult::NoCompany;
    lines_.push_back({payMode.code, payMode.name, *cents, std::move(remark), credit ? creditCompany.code : std::string(),
                      credit ? creditCompany.name : std::string()});
    return TAddResult::Added;
}

void TPaymentLines::AddPaid(const TPayModeItem& payMode, std::int64_t cents) {
    lines_.push_back({payMode.code, payMode.name, cents, {}, {}, {}});
}

void TPaymentLines::Delete(int row) {
    if (row >= 0 && row < Count()) lines_.erase(lines_.begin() + row);
}

std::int64_t TPaymentLines::TotalCents() const {
    std::int64_t total = 0;
    for (const TPaymentLine& line : lines_)
        total += line.cents;
    return total;
}

bool TPaymentLines::Has(std::string_view payModeCode) const {
    return std::any_of(lines_.begin(), lines_.end(),
                       [&](const TPaymentLine& line) { return line.payModeCode == payModeCode; });
}

std::string TPaymentLines::PayModeCode() const {
    return lines_.empty() ? std::string() : lines_.front().payModeCode;
}

std::string TPaymentLines::PayModeName() const {
    return lines_.empty() ? std::string() : lines_.front().payModeName;
}

std::string TPaymentLines::CreditCompany() const {
    for (const TPaymentLine& line : lines_)
        if (line.payModeCode == kCreditPayMode) return line.creditCompany;
    return {};
}

pelio::Variant TPaymentLines::Packet() const {
    TClientDataSet table;
    table.AddFieldDef("PayModeCode", kav::TFieldType::ftString, 1);
    table.AddFieldDef("CName", kav::TFieldType::ftString, 40);
    table.AddFieldDef("PayMoney", kav::TFieldType::ftFloat);
    table.AddFieldDef("Remark", kav::TFieldType::ftString, 40);
    table.AddFieldDef("CreditCompany", kav::TFieldType::ftString, 20);
    table.CreateDataSet();
    for (const TPaymentLine& line : lines_)
        table.AppendRecord({line.payModeCode, line.payModeName, MoneyOf(line.cents), line.remark, line.creditCompany});
    return pelio::Variant::ByteArray(table.Data());
}

std::int64_t RemainingCents(double receivables, const TPaymentLines& lines) {
    return std::max<std::int64_t>(0, ReceivableCents(receivables) - lines.TotalCents());
}

} // namespace kav::orderhandler
