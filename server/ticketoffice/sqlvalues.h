#pragma once
// Reading the values of Connection::Select rows as the services need them. Money is handled in
// whole cents so that sums and comparisons are exact.

#include "platform/core/money.h"
#include "server/db/database.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace kav::server {

// Text of a value; empty for null, numbers in decimal.
inline std::string TextOf(const SqlValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    if (const auto* integer = std::get_if<std::int64_t>(&value)) return std::to_string(*integer);
    if (const auto* real = std::get_if<double>(&value)) return std::to_string(*real);
    return {};
}

// An integer or money column in cents; 0 for null. (PostgreSQL numeric arrives as a float.)
inline std::int64_t CentsOf(const SqlValue& value) {
    if (const auto* real = std::get_if<double>(&value)) return Cents(*real);
    if (const auto* integer = std::get_if<std::int64_t>(&value)) return *integer * 100;
    if (const auto* text = std::get_if<std::string>(&value)) return Cents(std::stod(*text));
    return 0;
}

inline std::int64_t IntegerOf(const SqlValue& value) {
    if (const auto* integer = std::get_if<std::int64_t>(&value)) return *integer;
    if (const auto* real = std::get_if<double>(&value)) return std::llround(*real);
    if (const auto* text = std::get_if<std::string>(&value)) return std::stoll(*text);
    return 0;
}

} // namespace kav::server
