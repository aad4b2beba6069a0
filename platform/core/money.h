#pragma once
// Money as the system handles it: amounts travel and are stored as decimal numbers with two places,
// and are added, compared and split in whole cents, so that sums come out exact.

#include <cstdint>
#include <string>
#include <string_view>

namespace kav {

// The amount in whole cents, rounded half away from zero.
std::int64_t Cents(double money);
double MoneyOf(std::int64_t cents);

// A decimal text ("12.5", blanks around allowed) as a number; 0 when it is not a finite number, so that
// a balance or amount that came as anything else can never pass for a large one.
double NumberOr0(std::string_view text);

// "1234.50", "-0.05": always two decimals.
std::string MoneyText(std::int64_t cents);
// "1280" for a whole amount, "84.50" otherwise: for narrow columns that mostly show whole prices.
std::string ShortMoneyText(std::int64_t cents);

} // namespace kav
