#include "platform/dataset/filtercompare.h"

#include "platform/core/datetime.h"
#include "platform/core/textcodec.h"

#include <charconv>
#include <cmath>
#include <string>

namespace kav::filter {
namespace {

constexpr double kMsPerDay = 86'400'000.0;

bool IsNumeric(FilterValueKind k) {
    return k == FilterValueKind::Integer || k == FilterValueKind::Float || k == FilterValueKind::Boolean;
}

double AsDouble(const FilterValue& v) {
    switch (v.kind) {
    case FilterValueKind::Integer:
        return static_cast<double>(v.integer);
    case FilterValueKind::Boolean:
        return v.boolean ? 1.0 : 0.0;
    default:
        return v.number;
    }
}

// Milliseconds on a continuous line. Stored date-times before the epoch keep the sign of the day on
// their time of day (-1.25 is 29 Dec 06:00, later than -1.0), so the fraction is turned forward first.
// Stays in double: no cast that could overflow on absurd values, and NaN stays unordered.
double TimeLineMs(double days) {
    const double whole = std::trunc(days);
    return std::round((whole + std::fabs(days - whole)) * kMsPerDay);
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Converts the string side `s` to the kind of `other`; nullopt when it does not convert.
std::optional<FilterValue> ConvertText(const FilterValue& s, FilterValueKind kind) {
    switch (kind) {
    case FilterValueKind::Integer:
    case FilterValueKind::Float:
        return TextToNumber(s.text);
    case FilterValueKind::DateTime:
        return TextToDateTime(s.text);
    case FilterValueKind::Boolean:
        if (auto b = TextToBoolean(s.text)) {
            FilterValue v;
            v.kind = FilterValueKind::Boolean;
            v.boolean = *b;
            return v;
        }
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

} // namespace

std::partial_ordering CompareValues(const FilterValue& a, const FilterValue& b) {
    using K = FilterValueKind;
    if (a.kind == K::Null || b.kind == K::Null) return std::partial_ordering::unordered;
    if (a.kind == K::String && b.kind == K::String) return a.text.compare(b.text) <=> 0;
    if (a.kind == K::String || b.kind == K::String) {
        const bool aIsText = a.kind == K::String;
        const auto converted = ConvertText(aIsText ? a : b, aIsText ? b.kind : a.kind);
        if (!converted) return std::partial_ordering::unordered;
        return aIsText ? CompareValues(*converted, b) : CompareValues(a, *converted);
    }
    if (a.kind == K::DateTime || b.kind == K::DateTime) {
        if (a.kind == K::Boolean || b.kind == K::Boolean) return std::partial_ordering::unordered;
        return TimeLineMs(AsDouble(a)) <=> TimeLineMs(AsDouble(b));
    }
    if (a.kind == K::Integer && b.kind == K::Integer) return a.integer <=> b.integer;
    if (IsNumeric(a.kind) && IsNumeric(b.kind)) return AsDouble(a) <=> AsDouble(b);
    return std::partial_ordering::unordered;
}

Truth Apply(CompareOp op, std::partial_ordering order) {
    if (order == std::partial_ordering::unordered) return Truth::Unknown;
    bool result = false;
    switch (op) {
    case CompareOp::Equal:
        result = order == 0;
        break;
    case CompareOp::NotEqual:
        result = order != 0;
        break;
    case CompareOp::Less:
        result = order < 0;
        break;
    case CompareOp::Greater:
        result = order > 0;
        break;
    case CompareOp::LessEqual:
        result = order <= 0;
        break;
    case CompareOp::GreaterEqual:
        result = order >= 0;
        break;
    }
    return result ? Truth::True : Truth::False;
}

bool Comparable(FilterValueKind a, FilterValueKind b) {
    using K = FilterValueKind;
    return !((a == K::Boolean && b == K::DateTime) || (a == K::DateTime && b == K::Boolean));
}

std::optional<FilterValue> TextToNumber(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    FilterValue v;
    if (auto [end, ec] = std::from_chars(first, last, v.integer); ec == std::errc() && end == last) {
        v.kind = FilterValueKind::Integer;
        return v;
    }
    // Only plain decimal forms: from_chars would also take "inf" and "nan".
    for (char c : text)
        if (!((c >= '0' && c <= '9') || c == '-' || c == '.' || c == 'e' || c == 'E' || c == '+'))
            return std::nullopt;
    if (auto [end, ec] = std::from_chars(first, last, v.number); ec == std::errc() && end == last) {
        v.kind = FilterValueKind::Float;
        return v;
    }
    return std::nullopt;
}

std::optional<FilterValue> TextToDateTime(std::string_view text) {
    text = Trim(text);
    // Digits and separators only: the date parser reads numbers with sscanf, which would also
    // accept words such as "nan" or "inf" in the seconds.
    if (text.empty() || text.size() > 32) return std::nullopt;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || c == '-' || c == '/' || c == ':' || c == '.' || c == ' ' || c == 'T'))
            return std::nullopt;
    try {
        FilterValue v;
        v.kind = FilterValueKind::DateTime;
        v.number = ParseDateTimeIso(std::string(text));
        return v;
    } catch (const DateTimeError&) {
        return std::nullopt;
    }
}

std::optional<bool> TextToBoolean(std::string_view text) {
    text = Trim(text);
    if (EqualsIgnoringCase(text, "true")) return true;
    if (EqualsIgnoringCase(text, "false")) return false;
    return std::nullopt;
}

} // namespace kav::filter
