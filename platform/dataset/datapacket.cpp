#include "platform/dataset/datapacket.h"

#include "platform/core/textcodec.h"
#include "platform/dataset/conversions.h"
#include "platform/dataset/packetbytes.h"

#include <cmath>
#include <unordered_set>

namespace kav::detail {
namespace {

constexpr char kMagic[4] = {'K', 'V', 'D', 'P'};
constexpr std::uint16_t kVersion = 1;
constexpr std::uint16_t kFlagDelta = 1;
constexpr std::uint16_t kMaxFields = 4096;
constexpr std::uint16_t kMaxNameBytes = 1024;
constexpr std::uint16_t kMaxLabelBytes = 4096;
constexpr std::uint32_t kMaxFieldSize = 1u << 24;
constexpr int kMaxDepth = 8;

enum FieldFlag : std::uint8_t { kRequired = 1, kReadOnly = 2, kHidden = 4, kKey = 8, kKnownFlags = 15 };

std::vector<std::size_t> DataFields(const std::vector<TFieldDef>& fields) {
    std::vector<std::size_t> result;
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (!fields[i].IsCalculated()) result.push_back(i);
    return result;
}

// ---------------------------------------------------------------- encoding

void WriteFields(PacketWriter& w, const std::vector<TFieldDef>& fields) {
    auto data = DataFields(fields);
    w.U16(static_cast<std::uint16_t>(data.size()));
    for (auto i : data) {
        const auto& def = fields[i];
        w.U16(static_cast<std::uint16_t>(def.name.size()));
        w.Bytes(def.name);
        w.U8(static_cast<std::uint8_t>(def.type));
        w.U32(static_cast<std::uint32_t>(std::max(def.size, 0)));
        w.U8(static_cast<std::uint8_t>((def.required ? kRequired : 0) | (def.readOnly ? kReadOnly : 0) |
                                       (def.visible ? 0 : kHidden) | (def.key ? kKey : 0)));
        w.U16(static_cast<std::uint16_t>(def.displayLabel.size()));
        w.Bytes(def.displayLabel);
        w.U16(static_cast<std::uint16_t>(std::clamp(def.displayWidth, 0, 65535)));
        if (def.type == TFieldType::ftDataSet) WriteFields(w, def.nestedFields);
    }
}

std::uint32_t RowsToWrite(const Table& table, PacketContent content);

bool Written(const Table& table, const Record& r, PacketContent content) {
    if (r.deleted) return r.state != RowState::Inserted;
    if (content == PacketContent::All || r.state != RowState::Unmodified) return true;
    for (std::size_t i = 0; i < table.Fields().size(); ++i)
        if (table.Fields()[i].type == TFieldType::ftDataSet && !r.values[i].IsNull() &&
            RowsToWrite(*r.values[i].Nested(), content) > 0)
            return true;
    return false;
}

std::uint32_t RowsToWrite(const Table& table, PacketContent content) {
    std::uint32_t count = 0;
    for (const auto& r : table.rows)
        count += Written(table, *r, content) ? 1 : 0;
    return count;
}

// A nested table without rows to write is written as null, so that a row whose detail was
// never opened and one whose detail is empty encode alike.
bool IsNullValue(const FieldValue& v, PacketContent content) {
    return v.IsNull() || (v.GetKind() == FieldValue::Kind::Nested && RowsToWrite(*v.Nested(), content) == 0);
}

void WriteRows(PacketWriter& w, const Table& table, PacketContent content);

// `original`: the old values of a modified row, whose nested tables are not repeated (null).
void WriteImage(PacketWriter& w, const Table& table, const std::vector<std::size_t>& data,
                const std::vector<FieldValue>& values, PacketContent content, bool original = false) {
    std::string nulls((data.size() + 7) / 8, '\0');
    auto isNull = [&](const FieldValue& v) {
        return IsNullValue(v, content) || (original && v.GetKind() == FieldValue::Kind::Nested);
    };
    for (std::size_t k = 0; k < data.size(); ++k)
        if (isNull(values[data[k]])) nulls[k / 8] = static_cast<char>(nulls[k / 8] | (1 << (k % 8)));
    w.Bytes(nulls);
    for (std::size_t k = 0; k < data.size(); ++k) {
        const auto& v = values[data[k]];
        if (isNull(v)) continue;
        switch (table.Fields()[data[k]].type) {
        case TFieldType::ftString:
        case TFieldType::ftMemo:
        case TFieldType::ftBlob:
            if (v.String().size() > UINT32_MAX) throw EDatabaseError("Value too long for a data packet");
            w.U32(static_cast<std::uint32_t>(v.String().size()));
            w.Bytes(v.String());
            break;
        case TFieldType::ftSmallint:
            w.I16(static_cast<std::int16_t>(v.Integer()));
            break;
        case TFieldType::ftInteger:
            w.I32(static_cast<std::int32_t>(v.Integer()));
            break;
        case TFieldType::ftLargeint:
        case TFieldType::ftCurrency:
            w.I64(v.Integer());
            break;
        case TFieldType::ftBoolean:
            w.U8(v.Boolean() ? 1 : 0);
            break;
        case TFieldType::ftDataSet: {
            auto start = w.Size();
            w.U32(0);
            WriteRows(w, *v.Nested(), content);
            w.PatchU32(start, static_cast<std::uint32_t>(w.Size() - start - 4));
            break;
        }
        default:
            w.F64(v.Float());
            break;
        }
    }
}

void WriteRows(PacketWriter& w, const Table& table, PacketContent content) {
    auto data = DataFields(table.Fields());
    w.U32(RowsToWrite(table, content));
    for (const auto& r : table.rows) {
        if (!Written(table, *r, content)) continue;
        if (r->deleted) {
            w.U8(static_cast<std::uint8_t>(RowState::Deleted));
            WriteImage(w, table, data, r->original.empty() ? r->values : r->original, content);
            continue;
        }
        w.U8(static_cast<std::uint8_t>(r->state));
        WriteImage(w, table, data, r->values, content);
        if (r->state == RowState::Modified) WriteImage(w, table, data, r->original, content, true);
    }
}

// ---------------------------------------------------------------- decoding

std::vector<TFieldDef> ReadFields(PacketReader& r, int depth) {
    if (depth > kMaxDepth) r.Fail("nested tables deeper than " + std::to_string(kMaxDepth));
    auto count = r.U16();
    if (count == 0 || count > kMaxFields) r.Fail("impossible field count " + std::to_string(count));
    std::vector<TFieldDef> fields;
    std::unordered_set<std::string> names;
    for (int i = 0; i < count; ++i) {
        TFieldDef def;
        auto nameLength = r.U16();
        if (nameLength == 0 || nameLength > kMaxNameBytes)
            r.Fail("impossible field name length " + std::to_string(nameLength));
        def.name = r.Take(nameLength);
        if (!IsUsableFieldName(def.name)) r.Fail("'" + def.name + "' is not a usable field name");
        if (!names.insert(AsciiUpper(def.name)).second) r.Fail("field '" + def.name + "' appears twice");
        auto type = r.U8();
        if (!IsKnownFieldType(type))
            r.Fail("unknown type code " + std::to_string(type) + " of field '" + def.name + "'");
        def.type = static_cast<TFieldType>(type);
        auto size = r.U32();
        if (size > kMaxFieldSize)
            r.Fail("impossible size " + std::to_string(size) + " of field '" + def.name + "'");
        def.size = static_cast<int>(size);
        auto flags = r.U8();
        if (flags & ~kKnownFlags)
            r.Fail("unknown flags " + std::to_string(flags) + " of field '" + def.name + "'");
        def.required = flags & kRequired;
        def.readOnly = flags & kReadOnly;
        def.visible = !(flags & kHidden);
        def.key = flags & kKey;
        auto labelLength = r.U16();
        if (labelLength > kMaxLabelBytes) r.Fail("impossible label length " + std::to_string(labelLength));
        def.displayLabel = r.Take(labelLength);
        def.displayWidth = r.U16();
        if (def.type == TFieldType::ftDataSet) def.nestedFields = ReadFields(r, depth + 1);
        fields.push_back(std::move(def));
    }
    return fields;
}

void ReadRows(PacketReader& r, Table& table, std::size_t dataCount, int depth);

std::vector<FieldValue> ReadImage(PacketReader& r, const Table& table, std::size_t dataCount, int depth) {
    auto nulls = r.Take((dataCount + 7) / 8);
    if (dataCount % 8 != 0 && (static_cast<std::uint8_t>(nulls.back()) >> (dataCount % 8)) != 0)
        r.Fail("null map marks fields that do not exist");
    // Each value is made in its place, in field order; calculated fields follow as nulls.
    std::vector<FieldValue> values;
    values.reserve(table.Fields().size());
    for (std::size_t k = 0; k < dataCount; ++k) {
        if (static_cast<std::uint8_t>(nulls[k / 8]) & (1 << (k % 8))) {
            values.emplace_back();
            continue;
        }
        const auto& def = table.Fields()[k];
        switch (def.type) {
        case TFieldType::ftString:
        case TFieldType::ftMemo:
        case TFieldType::ftBlob:
            values.emplace_back(r.Take(r.U32()));
            break;
        case TFieldType::ftSmallint:
            values.emplace_back(std::int64_t{r.I16()});
            break;
        case TFieldType::ftInteger:
            values.emplace_back(std::int64_t{r.I32()});
            break;
        case TFieldType::ftLargeint:
            values.emplace_back(r.I64());
            break;
        case TFieldType::ftCurrency: {
            auto scaled = r.I64();
            if (scaled > kMaxCurrencyScaled || scaled < -kMaxCurrencyScaled)
                r.Fail("currency amount of field '" + def.name + "' out of range");
            values.emplace_back(scaled);
            break;
        }
        case TFieldType::ftBoolean: {
            auto b = r.U8();
            if (b > 1) r.Fail("boolean value " + std::to_string(b) + " of field '" + def.name + "'");
            values.emplace_back(b == 1);
            break;
        }
        case TFieldType::ftDateTime:
        case TFieldType::ftTimeStamp: {
            auto d = r.F64();
            if (!std::isfinite(d)) r.Fail("date-time of field '" + def.name + "' is not a number");
            values.emplace_back(d);
            break;
        }
        case TFieldType::ftDataSet: {
            auto length = r.U32();
            auto offset = r.Offset();
            PacketReader inner(r.Take(length), offset);
            auto nested = table.NewNested(k);
            ReadRows(inner, *nested, def.nestedFields.size(), depth + 1);
            if (inner.Remaining() != 0)
                inner.Fail("nested table of field '" + def.name + "' has trailing bytes");
            values.emplace_back(std::move(nested));
            break;
        }
        default:
            values.emplace_back(r.F64());
            break;
        }
    }
    values.resize(table.Fields().size());
    return values;
}

void ReadRows(PacketReader& r, Table& table, std::size_t dataCount, int depth) {
    auto count = r.U32();
    const std::size_t smallestRow = 1 + (dataCount + 7) / 8;
    if (count > r.Remaining() / smallestRow) r.Fail("impossible row count " + std::to_string(count));
    table.rows.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        auto state = r.U8();
        if (state > static_cast<std::uint8_t>(RowState::Deleted))
            r.Fail("unknown row state " + std::to_string(state));
        auto values = ReadImage(r, table, dataCount, depth);
        std::vector<FieldValue> original;
        if (state == static_cast<std::uint8_t>(RowState::Modified))
            original = ReadImage(r, table, dataCount, depth);
        table.Load(std::move(values), static_cast<RowState>(state), std::move(original));
    }
}

} // namespace

void WritePacketHeader(PacketWriter& w, const std::vector<TFieldDef>& fields, PacketContent content) {
    w.Bytes(std::string_view(kMagic, 4));
    w.U16(kVersion);
    w.U16(content == PacketContent::Delta ? kFlagDelta : 0);
    WriteFields(w, fields);
}

std::string EncodePacket(const Table& table, PacketContent content) {
    std::string out;
    out.reserve(64 + table.rows.size() * table.Fields().size() * 8);
    PacketWriter w(out);
    WritePacketHeader(w, table.Fields(), content);
    WriteRows(w, table, content);
    return out;
}

std::shared_ptr<Table> DecodePacket(std::string_view packet, const std::vector<TFieldDef>& calculated) {
    PacketReader r(packet);
    if (r.Remaining() < 4 || r.Take(4) != std::string_view(kMagic, 4)) r.Fail("not a data packet (magic)");
    auto version = r.U16();
    if (version != kVersion) r.Fail("unsupported version " + std::to_string(version));
    auto flags = r.U16();
    if (flags & ~kFlagDelta) r.Fail("unknown packet flags " + std::to_string(flags));
    auto fields = ReadFields(r, 0);
    const auto dataCount = fields.size();
    for (const auto& def : calculated) {
        for (const auto& existing : fields)
            if (EqualsIgnoringCase(existing.name, def.name))
                r.Fail("field '" + def.name + "' is both stored and calculated");
        fields.push_back(def);
    }
    auto table = std::make_shared<Table>(std::move(fields));
    ReadRows(r, *table, dataCount, 0);
    if (r.Remaining() != 0) r.Fail(std::to_string(r.Remaining()) + " bytes after the last row");
    return table;
}

} // namespace kav::detail
