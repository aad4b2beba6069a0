#include "platform/dataset/field.h"

#include "platform/dataset/clientdataset.h"
#include "platform/dataset/conversions.h"

namespace kav {

const TFieldDef& TField::Def() const {
    return dataSet_->DefOf(index_);
}

int TField::DisplayWidth() const {
    const auto& def = Def();
    if (def.displayWidth > 0) return def.displayWidth;
    switch (def.type) {
    case TFieldType::ftString:
        return def.size > 0 ? def.size : 20;
    case TFieldType::ftBoolean:
        return 5;
    case TFieldType::ftSmallint:
        return 6;
    case TFieldType::ftDateTime:
    case TFieldType::ftTimeStamp:
        return 19;
    default:
        return 10;
    }
}

// Display properties live in the shared table (every cursor shows them) and in FieldDefs.
void TField::ChangeDef(const std::function<void(TFieldDef&)>& change) {
    dataSet_->CheckActive();
    dataSet_->table_->ChangeField(static_cast<std::size_t>(index_), change);
    change(dataSet_->fieldDefs_[static_cast<std::size_t>(index_)]);
    // Grids show these properties (columns, labels, widths, editability): let them read them again.
    dataSet_->EmitReset([] {});
}

void TField::SetVisible(bool visible) {
    ChangeDef([visible](TFieldDef& d) { d.visible = visible; });
}

void TField::SetDisplayLabel(std::string label) {
    ChangeDef([&label](TFieldDef& d) { d.displayLabel = label; });
}

void TField::SetDisplayWidth(int width) {
    ChangeDef([width](TFieldDef& d) { d.displayWidth = width; });
}

void TField::SetReadOnly(bool readOnly) {
    ChangeDef([readOnly](TFieldDef& d) { d.readOnly = readOnly; });
}

void TField::SetRequired(bool required) {
    ChangeDef([required](TFieldDef& d) { d.required = required; });
}

bool TField::IsNull() const {
    return dataSet_->ReadCell(index_).IsNull();
}

std::string TField::AsString() const {
    const TFieldDef& def = Def();
    return detail::StoredAsString(dataSet_->ReadCell(index_, def), def);
}

int TField::AsInteger() const {
    const TFieldDef& def = Def();
    return detail::StoredAsInt32(dataSet_->ReadCell(index_, def), def);
}

std::int64_t TField::AsLargeInt() const {
    const TFieldDef& def = Def();
    return detail::StoredAsInteger(dataSet_->ReadCell(index_, def), def);
}

double TField::AsFloat() const {
    const TFieldDef& def = Def();
    return detail::StoredAsFloat(dataSet_->ReadCell(index_, def), def);
}

TDateTime TField::AsDateTime() const {
    const TFieldDef& def = Def();
    return detail::StoredAsDateTime(dataSet_->ReadCell(index_, def), def);
}

bool TField::AsBoolean() const {
    const TFieldDef& def = Def();
    return detail::StoredAsBoolean(dataSet_->ReadCell(index_, def), def);
}

FieldValue TField::Value() const {
    const TFieldDef& def = Def();
    return detail::FromStored(dataSet_->ReadCell(index_, def), def);
}

FieldValue TField::OldValue() const {
    auto* ds = dataSet_;
    ds->CheckActive();
    auto* record =
        ds->peek_ ? ds->peek_ : (ds->state_ == TDataSetState::dsEdit ? ds->editing_ : ds->Current());
    if (!record) return {};
    const auto& source = record->original.empty() ? record->values : record->original;
    return detail::FromStored(source[static_cast<std::size_t>(index_)], Def());
}

void TField::SetAsString(std::string_view value) {
    SetValue(FieldValue(value));
}
void TField::SetAsInteger(std::int64_t value) {
    SetValue(FieldValue(value));
}
void TField::SetAsFloat(double value) {
    SetValue(FieldValue(value));
}
void TField::SetAsBoolean(bool value) {
    SetValue(FieldValue(value));
}

void TField::SetValue(const FieldValue& value) {
    dataSet_->CheckActive();
    dataSet_->WriteCell(index_, detail::ToStored(value, Def()));
}

TClientDataSet& TField::NestedDataSet() const {
    return dataSet_->NestedCursor(index_);
}

} // namespace kav
