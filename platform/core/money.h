#pragma once
// Money as the system handles it: amounts travel and are stored as decimal numbers with two places,
// and are added, compared and split in whole cents, so that sums come out exact.

#include <cstdint>
#include <string>

namespace kav {

// The amount in whole cents, rounded half away from zero.
std::int64_t Cents(double money);
double MoneyOf(std::int64_t cents);

// "1234.50", "-0.05": always two decimals.
std::string MoneyText(std::int64_t cents);
// "1280" for a whole amount, "84.50" otherwise: for narrow columns that mostly show whole prices.
std::string ShortMoneyText(std::int64_t cents);

} // namespace kav
