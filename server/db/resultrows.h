#pragma once
// A query's result as the backends read it, and its conversion to data packets. Internal to the
// server's database layer.
//
// Backends give the columns' declared kinds (Unknown where the backend gives no type) and typed
// values: integers, floats, texts; date-times as their text. The field types are settled from
// both (ColumnTally): an Unknown column takes its type from its values, a column whose values do
// not fit its declared kind is widened (integer -> larger integer -> float -> text) rather than
// cut, strings are sized to the longest value when larger than declared, and repeated names get
// a suffix ("NAME_1") because a packet's field names are unique ignoring case.
//
// Every conversion to a packet takes the largest packet it may build and raises EResultTooLarge
// as soon as the rows written pass it.

#include "platform/dataset/datapacketbuilder.h"
#include "platform/dataset/fielddef.h"
#include "server/db/database.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kav::server::detail {

enum class ColumnKind { Unknown, String, Smallint, Integer, Largeint, Float, Boolean, DateTime };

struct ResultColumn {
    std::string name;
    ColumnKind kind = ColumnKind::Unknown;
    int size = 0; // declared characters of a String column; 0 when not declared
};

// One value of a result; texts live in their ResultRows' text buffer, so that a large result
// costs no allocation per value.
struct Cell {
    enum class Kind : std::uint8_t { Null, Integer, Float, Text };
    Kind kind = Kind::Null;
    std::uint32_t length = 0; // Text: bytes
    union {
        std::int64_t integer = 0;
        double real;
        std::size_t offset; // Text: where in ResultRows::text
    };
};

// One value as a backend hands it over; a text refers to memory the caller keeps.
struct CellValue {
    Cell::Kind kind = Cell::Kind::Null;
    std::int64_t integer = 0;
    double real = 0;
    std::string_view text;
};

struct ResultRows {
    std::vector<ResultColumn> columns;
    std::vector<Cell> cells; // row after row, one cell per column
    std::string text;

    std::size_t RowCount() const { return columns.empty() ? 0 : cells.size() / columns.size(); }
    const Cell& At(std::size_t row, std::size_t column) const { return cells[row * columns.size() + column]; }
    std::string_view TextOf(const Cell& cell) const { return {text.data() + cell.offset, cell.length}; }
    SqlValue ValueOf(const Cell& cell) const;
    CellValue ViewOf(const Cell& cell) const;

    void AddNull() { cells.emplace_back(); }
    void AddInteger(std::int64_t value) {
        auto& cell = cells.emplace_back();
        cell.kind = Cell::Kind::Integer;
        cell.integer = value;
    }
    void AddFloat(double value) {
        auto& cell = cells.emplace_back();
        cell.kind = Cell::Kind::Float;
        cell.real = value;
    }
    void AddText(std::string_view value); // raises EDatabase beyond 4 GiB
    void Add(const CellValue& value);
};

// What the values of one column say about its field, gathered value by value.
class ColumnTally {
public:
    explicit ColumnTally(ColumnKind declared);
    void Add(const CellValue& value) {
        if (value.kind == Cell::Kind::Null) return;
        if (value.kind != Cell::Kind::Text)
            anyNumber_ = true;
        else if (value.text.size() > longest_) // a text has no more characters than bytes
            longest_ = std::max(longest_, Utf8Length(value.text));
        if (widenable_) Widen(value);
    }
    // Unknown until a value settles it; only ever widens.
    ColumnKind Kind() const { return kind_; }
    // The field of the column named `name` (from FieldNamesOf) declaring `declaredSize` characters.
    TFieldDef Field(std::string name, int declaredSize) const;

private:
    static std::size_t Utf8Length(std::string_view text);
    void Widen(const CellValue& value);

    ColumnKind kind_;
    bool widenable_;
    bool anyNumber_ = false;
    std::size_t longest_ = 0; // characters of the longest text
};

// The columns' names made unique ignoring case, in column order.
std::vector<std::string> FieldNamesOf(const std::vector<ResultColumn>& columns);

std::vector<TFieldDef> FieldDefsOf(const ResultRows& rows);

// Counts the bytes of a packet's rows as they are written; raises EResultTooLarge once they pass
// `limit`.
class PacketSizeGuard {
public:
    explicit PacketSizeGuard(std::size_t limit) : limit_(limit) {}
    void Add(std::size_t bytes) {
        bytes_ += bytes;
        if (bytes_ > limit_) throw EResultTooLarge(bytes_, limit_);
    }
    // A row's state byte and null map.
    void AddRow(std::size_t fieldCount) { Add(1 + (fieldCount + 7) / 8); }

private:
    std::size_t limit_;
    std::size_t bytes_ = 0;
};

// Writes `value` as the next value of the builder's row, into `field`; returns the bytes it
// added to the packet. Raises EDatabase for a date-time field given a number.
std::size_t AddValue(TDataPacketBuilder& builder, const TFieldDef& field, const CellValue& value);

// The whole result as a packet of at most `maxBytes` bytes of rows.
std::string PacketOf(const ResultRows& rows, std::size_t maxBytes = SIZE_MAX);

// The master rows with a nested table field `detailName`; master row i holds the detail rows
// [detailEnds[i - 1], detailEnds[i]). Raises EDatabase when the name is empty or a master
// column already has it.
std::string MasterDetailPacketOf(const ResultRows& master, std::string_view detailName,
                                 const ResultRows& details, const std::vector<std::size_t>& detailEnds,
                                 std::size_t maxBytes = SIZE_MAX);

// The first column named `name` ignoring letter case.
std::optional<std::size_t> ColumnIndexOf(const ResultRows& rows, std::string_view name);

// Parses "YYYY-MM-DD[ hh:mm:ss[.fff]][+hh[:mm]]" as the backends write date-times (an offset is
// dropped: the session runs in local time). Raises EDatabase for other text.
double ParseDatabaseDateTime(std::string_view text, std::string_view column);

} // namespace kav::server::detail
