#pragma once
// How the filter evaluator compares two values of possibly different kinds.
//
//  - Null compares with nothing (the comparison is unknown, see Truth).
//  - Integer, Float and Boolean (true = 1) compare as numbers; two Integers compare exactly.
//  - A date-time compares with a date-time or a number (days since 1899-12-30) to the millisecond,
//    on a continuous time line (the stored form of dates before 1899-12-30 is not monotonic).
//  - Strings compare byte by byte, which is code-point order for UTF-8, and letter case counts.
//  - A string compared with a number, date-time or Boolean is first converted to that kind
//    ("12.5", "2026-12-07 19:30", "true"); a string that does not convert compares with nothing.
//  - Boolean and date-time do not compare.

#include "platform/dataset/filterexpr.h"

#include <compare>
#include <optional>
#include <string_view>

namespace kav::filter {

// SQL's three-valued logic: a comparison involving null is Unknown, `not Unknown` stays Unknown,
// and a row passes the filter only when the whole expression is True.
enum class Truth : unsigned char { False, True, Unknown };

inline Truth operator!(Truth t) {
    return t == Truth::Unknown ? Truth::Unknown : (t == Truth::True ? Truth::False : Truth::True);
}

enum class CompareOp { Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual };

// unordered when the values do not compare (null, different kinds that do not convert, NaN).
std::partial_ordering CompareValues(const FilterValue& a, const FilterValue& b);

Truth Apply(CompareOp op, std::partial_ordering order);

// Whether values of these kinds can ever compare: used to refuse a filter such as `PAID = '2026-01-01'`
// on a Boolean field when it is parsed rather than to let it match nothing.
bool Comparable(FilterValueKind a, FilterValueKind b);

// Conversions of text, used for literals when a filter is parsed and for string fields when it runs.
// Surrounding blanks are ignored; nullopt when the text is not of that kind.
std::optional<FilterValue> TextToNumber(std::string_view text);   // Integer when it fits, else Float
std::optional<FilterValue> TextToDateTime(std::string_view text); // yyyy-mm-dd [hh:nn[:ss[.zzz]]]
std::optional<bool> TextToBoolean(std::string_view text);         // true / false in any letter case

} // namespace kav::filter
