#include "platform/dataset/datapacketbuilder.h"

#include "platform/core/textcodec.h"
#include "platform/dataset/conversions.h"
#include "platform/dataset/datapacket.h"
#include "platform/dataset/errors.h"
#include "platform/dataset/packetbytes.h"

#include <cmath>
#include <limits>
#include <unordered_set>

namespace kav {
namespace {

bool IsIntegerType(TFieldType t) {
    return t == TFieldType::ftSmallint || t == TFieldType::ftInteger || t == TFieldType::ftLargeint;
}
bool IsFloatType(TFieldType t) {
    return t == TFieldType::ftFloat || t == TFieldType::ftBCD || t == TFieldType::ftCurrency;
}
bool IsDateTimeType(TFieldType t) {
    return t == TFieldType::ftDateTime || t == TFieldType::ftTimeStamp;
}
bool IsTextType(TFieldType t) {
    return t == TFieldType::ftString || t == TFieldType::ftMemo || t == TFieldType::ftBlob;
}
bool IsBooleanType(TFieldType t) {
    return t == TFieldType::ftBoolean;
}
bool IsNestedType(TFieldType t) {
    return t == TFieldType::ftDataSet;
}
bool AnyType(TFieldType) {
    return true;
}

void CheckFields(const std::vector<TFieldDef>& fields) {
    if (fields.empty()) throw EDatabaseError("A data packet needs at least one field");
    std::unordered_set<std::string> names;
    for (const auto& def : fields) {
        if (def.name.empty()) throw EDatabaseError("A data packet field has no name");
        if (def.IsCalculated())
            throw EDatabaseError("Calculated field '" + def.name + "' cannot be written to a data packet");
        if (!names.insert(AsciiUpper(def.name)).second)
            throw EDatabaseError("Field '" + def.name + "' appears twice");
        if (def.type == TFieldType::ftDataSet) CheckFields(def.nestedFields);
    }
}

bool SameFields(const std::vector<TFieldDef>& a, const std::vector<TFieldDef>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!EqualsIgnoringCase(a[i].name, b[i].name) || a[i].type != b[i].type ||
            (a[i].type == TFieldType::ftDataSet && !SameFields(a[i].nestedFields, b[i].nestedFields)))
            return false;
    return true;
}

} // namespace

TDataPacketBuilder::TDataPacketBuilder(std::vector<TFieldDef> fields) : fields_(std::move(fields)) {
    CheckFields(fields_);
    nextField_ = fields_.size();
}

void TDataPacketBuilder::BeginRow() {
    CheckRowComplete();
    if (rowCount_ == std::numeric_limits<std::uint32_t>::max())
        throw EDatabaseError("Too many rows for a data packet");
    ++rowCount_;
    rows_.push_back(static_cast<char>(detail::RowState::Unmodified));
    nullMapOffset_ = rows_.size();
    rows_.append((fields_.size() + 7) / 8, '\0');
    nextField_ = 0;
}

const TFieldDef& TDataPacketBuilder::Next(bool (*accepts)(TFieldType), const char* what) {
    if (nextField_ >= fields_.size())
        throw EDatabaseError(rowCount_ == 0 ? "A value before BeginRow" : "More values than fields in a row");
    const auto& def = fields_[nextField_];
    if (!accepts(def.type))
        throw EDatabaseError(std::string("Field '") + def.name + "' of type " +
                             std::string(FieldTypeName(def.type)) + " cannot hold " + what);
    return def;
}

void TDataPacketBuilder::AddNull() {
    Next(AnyType, "null");
    auto k = nextField_++;
    rows_[nullMapOffset_ + k / 8] = static_cast<char>(rows_[nullMapOffset_ + k / 8] | (1 << (k % 8)));
}

void TDataPacketBuilder::AddInteger(std::int64_t value) {
    const auto& def = Next(IsIntegerType, "an integer");
    detail::PacketWriter w(rows_);
    auto outOfRange = [&] {
        throw EDatabaseError("Value " + std::to_string(value) + " out of range for field '" + def.name + "'");
    };
    if (def.type == TFieldType::ftSmallint) {
        if (value < INT16_MIN || value > INT16_MAX) outOfRange();
        w.I16(static_cast<std::int16_t>(value));
    } else if (def.type == TFieldType::ftInteger) {
        if (value < INT32_MIN || value > INT32_MAX) outOfRange();
        w.I32(static_cast<std::int32_t>(value));
    } else {
        w.I64(value);
    }
    ++nextField_;
}

void TDataPacketBuilder::AddFloat(double value) {
    const auto& def = Next(IsFloatType, "a number");
    detail::PacketWriter w(rows_);
    if (def.type == TFieldType::ftCurrency)
        w.I64(detail::ToStored(FieldValue(value), def).Integer()); // raises beyond the range
    else
        w.F64(value);
    ++nextField_;
}

void TDataPacketBuilder::AddDateTime(double value) {
    const auto& def = Next(IsDateTimeType, "a date-time");
    if (!std::isfinite(value)) throw EDatabaseError("Date-time of field '" + def.name + "' is not a number");
    detail::PacketWriter(rows_).F64(value);
    ++nextField_;
}

void TDataPacketBuilder::AddString(std::string_view value) {
    const auto& def = Next(IsTextType, "a text");
    if (value.size() > UINT32_MAX) throw EDatabaseError("Value too long for field '" + def.name + "'");
    detail::PacketWriter w(rows_);
    w.U32(static_cast<std::uint32_t>(value.size()));
    w.Bytes(value);
    ++nextField_;
}

void TDataPacketBuilder::AddBoolean(bool value) {
    Next(IsBooleanType, "a boolean");
    detail::PacketWriter(rows_).U8(value ? 1 : 0);
    ++nextField_;
}

void TDataPacketBuilder::AddNested(const TDataPacketBuilder& detail) {
    const auto& def = Next(IsNestedType, "a nested table");
    if (!SameFields(def.nestedFields, detail.fields_))
        throw EDatabaseError("Nested rows do not match the fields of '" + def.name + "'");
    detail.CheckRowComplete();
    if (detail.rowCount_ == 0) {
        AddNull();
        return;
    }
    auto length = 4 + detail.rows_.size();
    if (length > UINT32_MAX) throw EDatabaseError("Nested table of field '" + def.name + "' too large");
    detail::PacketWriter w(rows_);
    w.U32(static_cast<std::uint32_t>(length));
    w.U32(detail.rowCount_);
    w.Bytes(detail.rows_);
    ++nextField_;
}

void TDataPacketBuilder::ClearRows() {
    rows_.clear();
    rowCount_ = 0;
    nextField_ = fields_.size();
}

void TDataPacketBuilder::CheckRowComplete() const {
    if (rowCount_ > 0 && nextField_ != fields_.size())
        throw EDatabaseError("Row " + std::to_string(rowCount_) + " ends before field '" +
                             fields_[nextField_].name + "'");
}

std::string TDataPacketBuilder::Packet() const {
    CheckRowComplete();
    std::string out;
    out.reserve(64 + fields_.size() * 16 + rows_.size());
    detail::PacketWriter w(out);
    detail::WritePacketHeader(w, fields_, detail::PacketContent::All);
    w.U32(rowCount_);
    w.Bytes(rows_);
    return out;
}

} // namespace kav
