#include "platform/dataset/conversions.h"

#include "platform/dataset/errors.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>

namespace kav::detail {
namespace {

enum class Storage { Text, Integer, Currency, Float, Boolean, Nested };

Storage StorageOf(TFieldType type) {
    switch (type) {
    case TFieldType::ftString:
    case TFieldType::ftMemo:
    case TFieldType::ftBlob:
        return Storage::Text;
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftLargeint:
        return Storage::Integer;
    case TFieldType::ftCurrency:
        return Storage::Currency;
    case TFieldType::ftBoolean:
        return Storage::Boolean;
    case TFieldType::ftDataSet:
        return Storage::Nested;
    default:
        return Storage::Float;
    }
}

bool IsDateType(TFieldType type) {
    return type == TFieldType::ftDateTime || type == TFieldType::ftTimeStamp;
}

[[noreturn]] void Refuse(const FieldValue& value, const TFieldDef& def) {
    std::string shown;
    switch (value.GetKind()) {
    case FieldValue::Kind::Boolean:
        shown = value.Boolean() ? "True" : "False";
        break;
    case FieldValue::Kind::Integer:
        shown = std::to_string(value.Integer());
        break;
    case FieldValue::Kind::Float:
        shown = FormatFloat(value.Float());
        break;
    case FieldValue::Kind::String:
        shown = "'" + std::string(value.String()) + "'";
        break;
    default:
        shown = "a table";
        break;
    }
    throw EDatabaseError(shown + " is not a valid " + std::string(FieldTypeName(def.type)) +
                         " value for field '" + def.name + "'");
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

std::optional<std::int64_t> ParseInteger(std::string_view text) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    std::int64_t result = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), result);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return result;
}

std::optional<double> ParseFloat(std::string_view text) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double result = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), result);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty() || !std::isfinite(result))
        return std::nullopt;
    return result;
}

std::int64_t CheckedInteger(std::int64_t value, const FieldValue& original, const TFieldDef& def) {
    if (def.type == TFieldType::ftSmallint && (value < INT16_MIN || value > INT16_MAX)) Refuse(original, def);
    if (def.type == TFieldType::ftInteger && (value < INT32_MIN || value > INT32_MAX)) Refuse(original, def);
    return value;
}

std::int64_t RoundedInteger(double value, const FieldValue& original, const TFieldDef& def) {
    if (!std::isfinite(value) || std::fabs(value) >= 9.2e18) Refuse(original, def);
    return CheckedInteger(std::llround(value), original, def);
}

std::string FormatCurrency(std::int64_t scaled) {
    bool negative = scaled < 0;
    auto magnitude =
        negative ? -static_cast<unsigned long long>(scaled) : static_cast<unsigned long long>(scaled);
    std::string text = std::to_string(magnitude / kCurrencyScale);
    auto fraction = magnitude % kCurrencyScale;
    if (fraction != 0) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%04llu", fraction);
        std::string decimals(digits);
        while (decimals.back() == '0')
            decimals.pop_back();
        text += "." + decimals;
    }
    return negative ? "-" + text : text;
}

} // namespace

int CompareStored(const FieldValue& a, const FieldValue& b, bool caseInsensitive) {
    using K = FieldValue::Kind;
    const auto ka = a.GetKind(), kb = b.GetKind();
    if (ka == K::Null || kb == K::Null) return (ka == K::Null ? 0 : 1) - (kb == K::Null ? 0 : 1);
    if (ka == K::String && kb == K::String) {
        const auto& x = a.String();
        const auto& y = b.String();
        if (!caseInsensitive) return x.compare(y) < 0 ? -1 : (x == y ? 0 : 1);
        auto n = std::min(x.size(), y.size());
        for (std::size_t i = 0; i < n; ++i) {
            auto cx = static_cast<unsigned char>(x[i]), cy = static_cast<unsigned char>(y[i]);
            if (cx >= 'a' && cx <= 'z') cx = static_cast<unsigned char>(cx - 32);
            if (cy >= 'a' && cy <= 'z') cy = static_cast<unsigned char>(cy - 32);
            if (cx != cy) return cx < cy ? -1 : 1;
        }
        return x.size() < y.size() ? -1 : (x.size() == y.size() ? 0 : 1);
    }
    if (ka == K::Integer && kb == K::Integer)
        return a.Integer() < b.Integer() ? -1 : (a.Integer() == b.Integer() ? 0 : 1);
    auto number = [](const FieldValue& v) {
        switch (v.GetKind()) {
        case K::Boolean:
            return v.Boolean() ? 1.0 : 0.0;
        case K::Integer:
            return static_cast<double>(v.Integer());
        case K::Float:
            return v.Float();
        default:
            return 0.0;
        }
    };
    if (ka == K::String || ka == K::Nested || kb == K::String || kb == K::Nested)
        return static_cast<int>(ka) - static_cast<int>(kb);
    double x = number(a), y = number(b);
    if (std::isnan(x) || std::isnan(y)) return (std::isnan(x) ? 1 : 0) - (std::isnan(y) ? 1 : 0); // NaN last
    return x < y ? -1 : (x == y ? 0 : 1);
}

std::string FormatFloat(double value) {
    std::string text;
    AppendFloat(value, text);
    return text;
}

void AppendFloat(double value, std::string& text) {
    if (value == 0) {
        text.push_back('0');
        return;
    }
    char buffer[32];
    // Whole numbers below 10^15 print as their integer digits under %.15g; prices and counts
    // mostly are, and integer formatting is far cheaper.
    if (std::fabs(value) < 1e15) {
        const auto whole = static_cast<std::int64_t>(value);
        if (static_cast<double>(whole) == value) {
            const char* end = std::to_chars(buffer, buffer + sizeof buffer, whole).ptr;
            text.append(buffer, static_cast<std::size_t>(end - buffer)); // a length, not an iterator range
            return;
        }
    }
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    text.append(buffer);
}

void AppendStoredAsString(const FieldValue& stored, const TFieldDef& def, std::string& text) {
    using K = FieldValue::Kind;
    switch (stored.GetKind()) {
    case K::Null:
        return;
    case K::String:
        text.append(stored.String());
        return;
    case K::Integer:
        if (def.type != TFieldType::ftCurrency) {
            char digits[24];
            const char* end = std::to_chars(digits, digits + sizeof digits, stored.Integer()).ptr;
            text.append(digits, static_cast<std::size_t>(end - digits)); // a length, not an iterator range
            return;
        }
        break;
    case K::Float:
        if (!IsDateType(def.type)) {
            AppendFloat(stored.Float(), text);
            return;
        }
        break;
    default:
        break;
    }
    text.append(StoredAsString(stored, def));
}

FieldValue ToStored(const FieldValue& value, const TFieldDef& def) {
    using K = FieldValue::Kind;
    if (value.IsNull()) return {};
    const auto kind = value.GetKind();
    if (kind == K::Nested) {
        if (def.type != TFieldType::ftDataSet) Refuse(value, def);
        return value;
    }
    const bool emptyText = kind == K::String && Trimmed(value.String()).empty();
    switch (StorageOf(def.type)) {
    case Storage::Text:
        switch (kind) {
        case K::String:
            return value;
        case K::Boolean:
            return FieldValue(value.Boolean() ? "True" : "False");
        case K::Integer:
            return FieldValue(std::to_string(value.Integer()));
        default:
            return FieldValue(FormatFloat(value.Float()));
        }
    case Storage::Integer:
        if (emptyText) return {};
        switch (kind) {
        case K::Integer:
            return FieldValue(CheckedInteger(value.Integer(), value, def));
        case K::Float:
            return FieldValue(RoundedInteger(value.Float(), value, def));
        case K::Boolean:
            return FieldValue(std::int64_t{value.Boolean() ? 1 : 0});
        default:
            if (auto parsed = ParseInteger(value.String()))
                return FieldValue(CheckedInteger(*parsed, value, def));
            if (auto parsed = ParseFloat(value.String()))
                return FieldValue(RoundedInteger(*parsed, value, def));
            Refuse(value, def);
        }
    case Storage::Currency: {
        if (emptyText) return {};
        double number = 0;
        switch (kind) {
        case K::Integer:
            number = static_cast<double>(value.Integer());
            break;
        case K::Float:
            number = value.Float();
            break;
        case K::Boolean:
            Refuse(value, def);
        default:
            if (auto parsed = ParseFloat(value.String()))
                number = *parsed;
            else
                Refuse(value, def);
        }
        if (!std::isfinite(number) || std::fabs(number) > kMaxCurrency) Refuse(value, def);
        return FieldValue(static_cast<std::int64_t>(std::llround(number * kCurrencyScale)));
    }
    case Storage::Float:
        if (emptyText) return {};
        switch (kind) {
        case K::Integer:
            return FieldValue(static_cast<double>(value.Integer()));
        case K::Float:
            if (!std::isfinite(value.Float()) && IsDateType(def.type)) Refuse(value, def);
            return value;
        case K::Boolean:
            Refuse(value, def);
        default:
            if (IsDateType(def.type)) {
                try {
                    return FieldValue(ParseDateTimeIso(std::string(Trimmed(value.String()))));
                } catch (const DateTimeError&) {
                    Refuse(value, def);
                }
            }
            if (auto parsed = ParseFloat(value.String())) return FieldValue(*parsed);
            Refuse(value, def);
        }
    case Storage::Boolean:
        switch (kind) {
        case K::Boolean:
            return value;
        case K::Integer:
            return FieldValue(value.Integer() != 0);
        case K::Float:
            return FieldValue(value.Float() != 0);
        default: {
            auto text = Trimmed(value.String());
            if (text.empty()) return {};
            switch (text.front()) {
            case 'T':
            case 't':
            case 'Y':
            case 'y':
            case '1':
                return FieldValue(true);
            case 'F':
            case 'f':
            case 'N':
            case 'n':
            case '0':
                return FieldValue(false);
            default:
                Refuse(value, def);
            }
        }
        }
    case Storage::Nested:
        Refuse(value, def);
    }
    Refuse(value, def);
}

FieldValue FromStored(const FieldValue& stored, const TFieldDef& def) {
    if (def.type == TFieldType::ftCurrency && !stored.IsNull())
        return FieldValue(static_cast<double>(stored.Integer()) / kCurrencyScale);
    return stored;
}

std::string StoredAsString(const FieldValue& stored, const TFieldDef& def) {
    using K = FieldValue::Kind;
    if (stored.GetKind() == K::String) return std::string(stored.String()); // most reads, ahead of the switch
    switch (stored.GetKind()) {
    case K::Null:
        return {};
    case K::String:
        return std::string(stored.String());
    case K::Boolean:
        return stored.Boolean() ? "True" : "False";
    case K::Integer:
        return def.type == TFieldType::ftCurrency ? FormatCurrency(stored.Integer())
                                                  : std::to_string(stored.Integer());
    case K::Float:
        // Date-times are shown as dates within years 1 to 9999 (-693593 .. 2958466 days); others
        // (from a foreign packet) as the number they are.
        if (IsDateType(def.type) && stored.Float() > -693594 && stored.Float() < 2958466) {
            try {
                return TimeOf(stored.Float()) == 0 ? FormatDateIso(stored.Float())
                                                   : FormatDateTimeIso(stored.Float());
            } catch (const DateTimeError&) {
                return FormatFloat(stored.Float());
            }
        }
        return FormatFloat(stored.Float());
    case K::Nested:
        return "(DataSet)";
    }
    return {};
}

std::int64_t StoredAsInteger(const FieldValue& stored, const TFieldDef& def) {
    if (stored.IsNull()) return 0;
    if (stored.GetKind() == FieldValue::Kind::Integer && def.type != TFieldType::ftCurrency)
        return stored.Integer();
    TFieldDef asLarge = def;
    asLarge.type = TFieldType::ftLargeint;
    if (def.type == TFieldType::ftCurrency && !stored.IsNull())
        return RoundedInteger(static_cast<double>(stored.Integer()) / kCurrencyScale, stored, asLarge);
    auto converted = ToStored(stored, asLarge);
    return converted.IsNull() ? 0 : converted.Integer();
}

int StoredAsInt32(const FieldValue& stored, const TFieldDef& def) {
    const auto value = StoredAsInteger(stored, def);
    if (value < INT32_MIN || value > INT32_MAX)
        throw EDatabaseError("Value " + std::to_string(value) + " of field '" + def.name +
                             "' is not an Integer");
    return static_cast<int>(value);
}

double StoredAsFloat(const FieldValue& stored, const TFieldDef& def) {
    if (stored.IsNull()) return 0;
    if (def.type == TFieldType::ftCurrency) return static_cast<double>(stored.Integer()) / kCurrencyScale;
    if (stored.GetKind() == FieldValue::Kind::Float) return stored.Float();
    if (stored.GetKind() == FieldValue::Kind::Integer) return static_cast<double>(stored.Integer());
    TFieldDef asFloat = def;
    asFloat.type = IsDateType(def.type) ? def.type : TFieldType::ftFloat;
    auto converted = ToStored(stored, asFloat);
    return converted.IsNull() ? 0 : converted.Float();
}

double StoredAsDateTime(const FieldValue& stored, const TFieldDef& def) {
    if (stored.GetKind() != FieldValue::Kind::String) return StoredAsFloat(stored, def);
    TFieldDef asDate = def;
    asDate.type = TFieldType::ftDateTime;
    auto converted = ToStored(stored, asDate);
    return converted.IsNull() ? 0 : converted.Float();
}

bool StoredAsBoolean(const FieldValue& stored, const TFieldDef& def) {
    TFieldDef asBoolean = def;
    asBoolean.type = TFieldType::ftBoolean;
    auto converted = ToStored(stored, asBoolean);
    return !converted.IsNull() && converted.Boolean();
}

} // namespace kav::detail
