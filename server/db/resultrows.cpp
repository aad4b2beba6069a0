#include "server/db/resultrows.h"

#include "platform/core/datetime.h"
#include "platform/core/textcodec.h"

#include <algorithm>
#include <charconv>
#include <unordered_set>

namespace kav::server::detail {
namespace {

// Kinds in widening order; a value that does not fit a kind moves its column further right.
int Rank(ColumnKind kind) {
    switch (kind) {
    case ColumnKind::Smallint:
        return 1;
    case ColumnKind::Integer:
        return 2;
    case ColumnKind::Largeint:
        return 3;
    case ColumnKind::Float:
        return 4;
    case ColumnKind::String:
        return 5;
    default:
        return 0;
    }
}

ColumnKind KindOfValue(const Cell& v) {
    if (v.kind == Cell::Kind::Integer) {
        if (v.integer >= INT16_MIN && v.integer <= INT16_MAX) return ColumnKind::Smallint;
        return v.integer >= INT32_MIN && v.integer <= INT32_MAX ? ColumnKind::Integer : ColumnKind::Largeint;
    }
    return v.kind == Cell::Kind::Float ? ColumnKind::Float : ColumnKind::String;
}

std::size_t Utf8Length(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string FormatDouble(double value) {
    char buffer[32];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, end);
}

TFieldType FieldTypeOf(ColumnKind kind) {
    switch (kind) {
    case ColumnKind::Smallint:
        return TFieldType::ftSmallint;
    case ColumnKind::Integer:
        return TFieldType::ftInteger;
    case ColumnKind::Largeint:
        return TFieldType::ftLargeint;
    case ColumnKind::Float:
        return TFieldType::ftFloat;
    case ColumnKind::Boolean:
        return TFieldType::ftBoolean;
    case ColumnKind::DateTime:
        return TFieldType::ftDateTime;
    default:
        return TFieldType::ftString;
    }
}

int Digits(std::string_view text, std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

} // namespace

SqlValue ResultRows::ValueOf(const Cell& cell) const {
    switch (cell.kind) {
    case Cell::Kind::Integer:
        return cell.integer;
    case Cell::Kind::Float:
        return cell.real;
    case Cell::Kind::Text:
        return std::string(TextOf(cell));
    default:
        return std::monostate{};
    }
}

void ResultRows::AddText(std::string_view value) {
    if (value.size() > UINT32_MAX) throw EDatabase("A value of more than 4 GiB");
    auto& cell = cells.emplace_back();
    cell.kind = Cell::Kind::Text;
    cell.length = static_cast<std::uint32_t>(value.size());
    cell.offset = text.size();
    text.append(value);
}

std::vector<TFieldDef> FieldDefsOf(const ResultRows& rows) {
    const auto columnCount = rows.columns.size();
    const auto rowCount = rows.RowCount();
    std::vector<TFieldDef> fields;
    std::unordered_set<std::string> names;
    for (std::size_t c = 0; c < columnCount; ++c) {
        const auto& column = rows.columns[c];
        auto kind = column.kind;
        std::size_t longest = 0;
        bool widenable = kind == ColumnKind::Unknown || Rank(kind) > 0;
        bool anyNumber = false;
        for (std::size_t r = 0; r < rowCount; ++r) {
            const auto& v = rows.cells[r * columnCount + c];
            if (v.kind == Cell::Kind::Null) continue;
            if (v.kind == Cell::Kind::Text)
                longest = std::max(longest, Utf8Length(rows.TextOf(v)));
            else
                anyNumber = true;
            if (!widenable) continue;
            auto valueKind = KindOfValue(v);
            if (kind == ColumnKind::Unknown)
                kind = valueKind == ColumnKind::Float || valueKind == ColumnKind::String
                           ? valueKind
                           : ColumnKind::Largeint;
            else if (Rank(valueKind) > Rank(kind))
                kind = valueKind;
        }
        if (kind == ColumnKind::Unknown) kind = ColumnKind::String;
        // Numbers that widened the column to text print in at most 24 characters.
        if (kind == ColumnKind::String && anyNumber) longest = std::max<std::size_t>(longest, 24);
        const auto base = column.name.empty() ? "COLUMN" + std::to_string(c + 1) : column.name;
        auto name = base;
        for (int suffix = 1; !names.insert(AsciiUpper(name)).second; ++suffix)
            name = base + "_" + std::to_string(suffix);
        auto def = MakeFieldDef(std::move(name), FieldTypeOf(kind));
        if (kind == ColumnKind::String)
            def.size =
                static_cast<int>(std::max<std::size_t>({static_cast<std::size_t>(column.size), longest, 1}));
        fields.push_back(std::move(def));
    }
    return fields;
}

double ParseDatabaseDateTime(std::string_view text, std::string_view column) {
    // The usual "YYYY-MM-DD hh:mm:ss" without the general parser's scanning.
    if (text.size() == 19 && text[4] == '-' && text[7] == '-' && text[10] == ' ' && text[13] == ':' &&
        text[16] == ':') {
        CivilDateTime c{Digits(text, 0, 4),  Digits(text, 5, 2),  Digits(text, 8, 2),
                        Digits(text, 11, 2), Digits(text, 14, 2), Digits(text, 17, 2)};
        if (c.year >= 0 && c.month >= 0 && c.day >= 0 && c.hour >= 0 && c.minute >= 0 && c.second >= 0) {
            try {
                return EncodeDateTime(c);
            } catch (const DateTimeError&) {
            }
        }
    }
    auto local = text;
    if (local.size() > 19) { // PostgreSQL's offset of a timestamp with time zone: +08, -03:30
        auto sign = local.find_last_of("+-");
        if (sign != std::string_view::npos && sign > 10) local = local.substr(0, sign);
    }
    try {
        return ParseDateTimeIso(std::string(local));
    } catch (const DateTimeError&) {
        throw EDatabase("Column '" + std::string(column) + "' holds '" + std::string(text) +
                        "', which is not a date-time");
    }
}

void AddRowValues(TDataPacketBuilder& builder, const std::vector<TFieldDef>& fields, const ResultRows& rows,
                  std::size_t row) {
    const auto columnCount = rows.columns.size();
    for (std::size_t c = 0; c < columnCount; ++c) {
        const auto& v = rows.cells[row * columnCount + c];
        if (v.kind == Cell::Kind::Null) {
            builder.AddNull();
            continue;
        }
        switch (fields[c].type) {
        case TFieldType::ftString:
            if (v.kind == Cell::Kind::Text)
                builder.AddString(rows.TextOf(v));
            else if (v.kind == Cell::Kind::Integer)
                builder.AddString(std::to_string(v.integer));
            else
                builder.AddString(FormatDouble(v.real));
            break;
        case TFieldType::ftFloat:
            builder.AddFloat(v.kind == Cell::Kind::Integer ? static_cast<double>(v.integer) : v.real);
            break;
        case TFieldType::ftBoolean:
            builder.AddBoolean(v.integer != 0);
            break;
        case TFieldType::ftDateTime:
            if (v.kind != Cell::Kind::Text)
                throw EDatabase("Column '" + fields[c].name + "' holds a number, not a date-time");
            builder.AddDateTime(ParseDatabaseDateTime(rows.TextOf(v), fields[c].name));
            break;
        default:
            builder.AddInteger(v.integer);
            break;
        }
    }
}

std::string PacketOf(const ResultRows& rows) {
    auto fields = FieldDefsOf(rows);
    TDataPacketBuilder builder(fields);
    for (std::size_t r = 0; r < rows.RowCount(); ++r) {
        builder.BeginRow();
        AddRowValues(builder, fields, rows, r);
    }
    return builder.Packet();
}

std::string MasterDetailPacketOf(const ResultRows& master, std::string_view detailName,
                                 const ResultRows& details, const std::vector<std::size_t>& detailEnds) {
    if (detailName.empty()) throw EDatabase("The detail table needs a name");
    auto fields = FieldDefsOf(master);
    for (const auto& def : fields)
        if (EqualsIgnoringCase(def.name, detailName))
            throw EDatabase("The detail name '" + std::string(detailName) + "' is also a master column");
    auto nested = MakeFieldDef(std::string(detailName), TFieldType::ftDataSet);
    nested.nestedFields = FieldDefsOf(details);
    auto all = fields;
    all.push_back(nested);
    TDataPacketBuilder builder(std::move(all));
    TDataPacketBuilder detail(nested.nestedFields);
    std::size_t begin = 0;
    for (std::size_t r = 0; r < master.RowCount(); ++r) {
        builder.BeginRow();
        AddRowValues(builder, fields, master, r);
        detail.ClearRows();
        for (auto d = begin; d < detailEnds[r]; ++d) {
            detail.BeginRow();
            AddRowValues(detail, nested.nestedFields, details, d);
        }
        builder.AddNested(detail);
        begin = detailEnds[r];
    }
    return builder.Packet();
}

std::optional<std::size_t> ColumnIndexOf(const ResultRows& rows, std::string_view name) {
    for (std::size_t c = 0; c < rows.columns.size(); ++c)
        if (EqualsIgnoringCase(rows.columns[c].name, name)) return c;
    return std::nullopt;
}

} // namespace kav::server::detail
