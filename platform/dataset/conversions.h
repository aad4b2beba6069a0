#pragma once
// Conversions between a field's stored value and the typed accessors. Internal to the dataset.
//
// Stored form per type: texts and blobs as String; small, normal and large integers as Integer;
// currency as Integer counting 1/10000; float, BCD, date-time and time stamp as Float; boolean
// as Boolean; nested tables as Nested. Every conversion raises EDatabaseError naming the field
// and the value when the value does not fit.

#include "platform/core/datetime.h"
#include "platform/dataset/fielddef.h"
#include "platform/dataset/fieldvalue.h"

#include <string>

namespace kav::detail {

constexpr std::int64_t kCurrencyScale = 10000;
// Currency amounts travel as doubles through the accessors; beyond 2^53 / 10000 they would not
// come back exact, so larger amounts are refused.
constexpr double kMaxCurrency = 100'000'000'000.0;
constexpr std::int64_t kMaxCurrencyScaled = 1'000'000'000'000'000;

// Any value -> the stored form of `def`'s type. Empty text becomes null for non-text fields.
FieldValue ToStored(const FieldValue& value, const TFieldDef& def);
// Stored form -> the value a caller sees (currency as Float).
FieldValue FromStored(const FieldValue& stored, const TFieldDef& def);

std::string StoredAsString(const FieldValue& stored, const TFieldDef& def);
std::int64_t StoredAsInteger(const FieldValue& stored, const TFieldDef& def);
// StoredAsInteger within 32 bits; outside raises "Value N of field 'X' is not an Integer".
int StoredAsInt32(const FieldValue& stored, const TFieldDef& def);
double StoredAsFloat(const FieldValue& stored, const TFieldDef& def);
double StoredAsDateTime(const FieldValue& stored, const TFieldDef& def); // texts are parsed as dates
bool StoredAsBoolean(const FieldValue& stored, const TFieldDef& def);

// Orders two stored values of one field: null first, numbers by value (NaN last), texts by bytes (or by
// ASCII letters ignoring case). Returns <0, 0 or >0.
int CompareStored(const FieldValue& a, const FieldValue& b, bool caseInsensitive);

// The text StoredAsString gives, appended; numbers are written without a temporary.
void AppendStoredAsString(const FieldValue& stored, const TFieldDef& def, std::string& text);

// The value with at most 15 significant digits, without trailing zeros (0.1 + 0.2 shows as 0.3).
std::string FormatFloat(double value);
void AppendFloat(double value, std::string& text);

} // namespace kav::detail
