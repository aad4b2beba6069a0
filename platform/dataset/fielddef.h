#pragma once
// Field definitions of client datasets: what a column is called, what it holds and how it is shown.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kav {

// Type codes are stored in data packets; never renumber them.
enum class TFieldType : std::uint8_t {
    ftString = 1,   // text of up to `size` characters (UTF-8 inside the program)
    ftSmallint = 2, // 16-bit integer
    ftInteger = 3,  // 32-bit integer
    ftLargeint = 4, // 64-bit integer
    ftFloat = 5,
    ftCurrency = 6, // fixed point with four decimals, summed exactly
    ftBCD = 7,      // decimal amount, held as a double
    ftBoolean = 8,
    ftDateTime = 9, // days since 1899-12-30 (TDateTime)
    ftTimeStamp = 10,
    ftMemo = 11,    // text without a size limit
    ftBlob = 12,    // bytes
    ftDataSet = 13, // a nested table per row; its fields are TFieldDef::nestedFields
};

enum class TFieldKind : std::uint8_t {
    fkData,         // stored and carried in data packets
    fkCalculated,   // computed per row by the dataset's calc callback, never stored in packets
    fkInternalCalc, // like fkCalculated; may also be used in indexes and filters
};

struct TFieldDef {
    std::string name;
    TFieldType type = TFieldType::ftString;
    int size = 0; // characters for ftString; informational otherwise
    bool required = false;
    bool readOnly = false;
    bool visible = true;
    bool key = false;         // identifies the row when a delta is applied
    std::string displayLabel; // empty: the name is shown
    int displayWidth = 0;     // characters; 0: derived from the type and size
    TFieldKind kind = TFieldKind::fkData;
    std::vector<TFieldDef> nestedFields; // ftDataSet only

    const std::string& DisplayName() const { return displayLabel.empty() ? name : displayLabel; }
    bool IsCalculated() const { return kind != TFieldKind::fkData; }
};

inline TFieldDef MakeFieldDef(std::string name, TFieldType type, int size = 0) {
    TFieldDef def;
    def.name = std::move(name);
    def.type = type;
    def.size = size;
    return def;
}

// "String", "Integer", ... for messages; "Unknown" for codes outside the enumeration.
std::string_view FieldTypeName(TFieldType type) noexcept;
bool IsKnownFieldType(std::uint8_t code) noexcept;

// A name that field lists ("A;B") can express: not empty, no ';', no leading or trailing blank.
bool IsUsableFieldName(std::string_view name) noexcept;

// Splits "A;B; C" into trimmed names, skipping empty parts.
std::vector<std::string> SplitFieldNames(std::string_view names);

} // namespace kav
