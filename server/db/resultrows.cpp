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

ColumnKind KindOfValue(const CellValue& v) {
    if (v.kind == Cell::Kind::Integer) {
        if (v.integer >= INT16_MIN && v.integer <= INT16_MAX) return ColumnKind::Smallint;
        return v.integer >= INT32_MIN && v.integer <= INT32_MAX ? ColumnKind::Integer : ColumnKind::Largeint;
    }
    return v.kind == Cell::Kind::Float ? ColumnKind::Float : ColumnKind::String;
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

CellValue ResultRows::ViewOf(const Cell& cell) const {
    CellValue value;
    value.kind = cell.kind;
    if (cell.kind == Cell::Kind::Integer) value.integer = cell.integer;
    if (cell.kind == Cell::Kind::Float) value.real = cell.real;
    if (cell.kind == Cell::Kind::Text) value.text = TextOf(cell);
    return value;
}

void ResultRows::AddText(std::string_view value) {
    if (value.size() > UINT32_MAX) throw EDatabase("A value of more than 4 GiB");
    auto& cell = cells.emplace_back();
    cell.kind = Cell::Kind::Text;
    cell.length = static_cast<std::uint32_t>(value.size());
    cell.offset = text.size();
    text.append(value);
}

void ResultRows::Add(const CellValue& value) {
    switch (value.kind) {
    case Cell::Kind::Integer:
        return AddInteger(value.integer);
    case Cell::Kind::Float:
        return AddFloat(value.real);
    case Cell::Kind::Text:
        return AddText(value.text);
    default:
        return AddNull();
    }
}

ColumnTally::ColumnTally(ColumnKind declared)
    : kind_(declared),
      widenable_(declared == ColumnKind::Unknown || (Rank(declared) > 0 && declared != ColumnKind::String)) {}

std::size_t ColumnTally::Utf8Length(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

void ColumnTally::Widen(const CellValue& value) {
    const auto valueKind = KindOfValue(value);
    if (kind_ == ColumnKind::Unknown)
        kind_ = valueKind == ColumnKind::Float || valueKind == ColumnKind::String ? valueKind
                                                                                  : ColumnKind::Largeint;
    else if (Rank(valueKind) > Rank(kind_))
        kind_ = valueKind;
    widenable_ = kind_ != ColumnKind::String; // the widest kind
}

TFieldDef ColumnTally::Field(std::string name, int declaredSize) const {
    const auto kind = kind_ == ColumnKind::Unknown ? ColumnKind::String : kind_;
    auto def = MakeFieldDef(std::move(name), FieldTypeOf(kind));
    if (kind == ColumnKind::String) {
        // Numbers that widened the column to text print in at most 24 characters.
        const auto longest = anyNumber_ ? std::max<std::size_t>(longest_, 24) : longest_;
        def.size =
            static_cast<int>(std::max<std::size_t>({static_cast<std::size_t>(declaredSize), longest, 1}));
    }
    return def;
}

std::vector<std::string> FieldNamesOf(const std::vector<ResultColumn>& columns) {
    std::vector<std::string> result;
    std::unordered_set<std::string> names;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const auto base = columns[c].name.empty() ? "COLUMN" + std::to_string(c + 1) : columns[c].name;
        auto name = base;
        for (int suffix = 1; !names.insert(AsciiUpper(name)).second; ++suffix)
            name = base + "_" + std::to_string(suffix);
        result.push_back(std::move(name));
    }
    return result;
}

std::vector<TFieldDef> FieldDefsOf(const ResultRows& rows) {
    const auto columnCount = rows.columns.size();
    auto names = FieldNamesOf(rows.columns);
    std::vector<TFieldDef> fields;
    for (std::size_t c = 0; c < columnCount; ++c) {
        ColumnTally tally(rows.columns[c].kind);
        for (std::size_t r = 0; r < rows.RowCount(); ++r)
            tally.Add(rows.ViewOf(rows.cells[r * columnCount + c]));
        fields.push_back(tally.Field(std::move(names[c]), rows.columns[c].size));
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

std::size_t AddValue(TDataPacketBuilder& builder, const TFieldDef& field, const CellValue& value) {
    if (value.kind == Cell::Kind::Null) {
        builder.AddNull();
        return 0;
    }
    switch (field.type) {
    case TFieldType::ftString: {
        std::string number;
        if (value.kind == Cell::Kind::Integer)
            number = std::to_string(value.integer);
        else if (value.kind == Cell::Kind::Float)
            number = FormatDouble(value.real);
        const std::string_view text = value.kind == Cell::Kind::Text ? value.text : std::string_view(number);
        builder.AddString(text);
        return 4 + text.size();
    }
    case TFieldType::ftFloat:
        builder.AddFloat(value.kind == Cell::Kind::Integer ? static_cast<double>(value.integer) : value.real);
        return 8;
    case TFieldType::ftBoolean:
        builder.AddBoolean(value.kind == Cell::Kind::Float ? value.real != 0 : value.integer != 0);
        return 1;
    case TFieldType::ftDateTime:
        if (value.kind != Cell::Kind::Text)
            throw EDatabase("Column '" + field.name + "' holds a number, not a date-time");
        builder.AddDateTime(ParseDatabaseDateTime(value.text, field.name));
        return 8;
    case TFieldType::ftSmallint:
        builder.AddInteger(value.integer);
        return 2;
    case TFieldType::ftInteger:
        builder.AddInteger(value.integer);
        return 4;
    default:
        builder.AddInteger(value.integer);
        return 8;
    }
}

namespace {

void AddRow(TDataPacketBuilder& builder, const std::vector<TFieldDef>& fields, const ResultRows& rows,
            std::size_t row, PacketSizeGuard& size) {
    builder.BeginRow();
    size.AddRow(fields.size());
    const auto columnCount = rows.columns.size();
    for (std::size_t c = 0; c < columnCount; ++c)
        size.Add(AddValue(builder, fields[c], rows.ViewOf(rows.cells[row * columnCount + c])));
}

} // namespace

std::string PacketOf(const ResultRows& rows, std::size_t maxBytes) {
    auto fields = FieldDefsOf(rows);
    TDataPacketBuilder builder(fields);
    PacketSizeGuard size(maxBytes);
    for (std::size_t r = 0; r < rows.RowCount(); ++r)
        AddRow(builder, fields, rows, r, size);
    return builder.Packet();
}

std::string MasterDetailPacketOf(const ResultRows& master, std::string_view detailName,
                                 const ResultRows& details, const std::vector<std::size_t>& detailEnds,
                                 std::size_t maxBytes) {
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
    PacketSizeGuard size(maxBytes);
    std::size_t begin = 0;
    for (std::size_t r = 0; r < master.RowCount(); ++r) {
        AddRow(builder, fields, master, r, size);
        detail.ClearRows();
        for (auto d = begin; d < detailEnds[r]; ++d)
            AddRow(detail, nested.nestedFields, details, d, size);
        builder.AddNested(detail);
        size.Add(detailEnds[r] > begin ? 8 : 0); // the nested table's length and row count
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
