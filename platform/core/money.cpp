#include "platform/core/money.h"

#include <cmath>
#include <cstdlib>

namespace kav {

std::int64_t Cents(double money) {
    return std::llround(money * 100);
}

double MoneyOf(std::int64_t cents) {
    return static_cast<double>(cents) / 100;
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
