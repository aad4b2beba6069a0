#pragma once
// A query's result as the backends read it, and its conversion to data packets. Internal to the
// server's database layer.
//
// Backends fill ResultRows with the columns' declared kinds (Unknown where the backend gives no
// type) and typed cells: integers, floats, texts; date-times as their text. FieldDefsOf settles
// the field types: an Unknown column takes its type from its values, a column whose values do not
// fit its declared kind is widened (integer -> larger integer -> float -> text) rather than cut,
// strings are sized to the longest value when larger than declared, and repeated names get a
// suffix ("NAME_1") because a packet's field names are unique ignoring case.

#include "platform/dataset/datapacketbuilder.h"
#include "platform/dataset/fielddef.h"
#include "server/db/database.h"

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

struct ResultRows {
    std::vector<ResultColumn> columns;
    std::vector<Cell> cells; // row after row, one cell per column
    std::string text;

    std::size_t RowCount() const { return columns.empty() ? 0 : cells.size() / columns.size(); }
    const Cell& At(std::size_t row, std::size_t column) const { return cells[row * columns.size() + column]; }
    std::string_view TextOf(const Cell& cell) const { return {text.data() + cell.offset, cell.length}; }
    SqlValue ValueOf(const Cell& cell) const;

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
};

std::vector<TFieldDef> FieldDefsOf(const ResultRows& rows);

// Adds the values of row `row` after the builder's BeginRow, one per field of `fields` (from
// FieldDefsOf). Raises EDatabase for a date-time column holding something else.
void AddRowValues(TDataPacketBuilder& builder, const std::vector<TFieldDef>& fields, const ResultRows& rows,
                  std::size_t row);

// The whole result as a packet.
std::string PacketOf(const ResultRows& rows);

// The master rows with a nested table field `detailName`; master row i holds the detail rows
// [detailEnds[i - 1], detailEnds[i]). Raises EDatabase when the name is empty or a master
// column already has it.
std::string MasterDetailPacketOf(const ResultRows& master, std::string_view detailName,
                                 const ResultRows& details, const std::vector<std::size_t>& detailEnds);

// The first column named `name` ignoring letter case.
std::optional<std::size_t> ColumnIndexOf(const ResultRows& rows, std::string_view name);

// Parses "YYYY-MM-DD[ hh:mm:ss[.fff]][+hh[:mm]]" as the backends write date-times (an offset is
// dropped: the session runs in local time). Raises EDatabase for other text.
double ParseDatabaseDateTime(std::string_view text, std::string_view column);

} // namespace kav::server::detail
