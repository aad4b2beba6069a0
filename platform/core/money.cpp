#include "platform/core/money.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace kav {

std::int64_t Cents(double money) {
    return std::llround(money * 100);
}

double MoneyOf(std::int64_t cents) {
    return static_cast<double>(cents) / 100;
}

double NumberOr0(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return 0;
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && std::isfinite(value) ? value : 0;
}

std::string MoneyText(std::int64_t cents) {
    const std::int64_t whole = std::llabs(cents);
    std::string text =
        std::to_string(whole / 100) + "." + (whole % 100 < 10 ? "0" : "") + std::to_string(whole % 100);
    return cents < 0 ? "-" + text : text;
}

std::string ShortMoneyText(std::int64_t cents) {
    return cents % 100 == 0 ? std::to_string(cents / 100) : MoneyText(cents);
}

} // namespace kav
