#pragma once
// TField: one column of a dataset cursor, reading and writing the cursor's current row.
// Fields are owned by their dataset and live while its structure does (until Close, SetData
// with other fields, or CreateDataSet); do not keep references across those.

#include "platform/core/datetime.h"
#include "platform/dataset/fielddef.h"
#include "platform/dataset/fieldvalue.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kav {

class TClientDataSet;

class TField final {
public:
    TField(TClientDataSet& dataSet, int index) : dataSet_(&dataSet), index_(index) {}
    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;

    TClientDataSet& DataSet() const { return *dataSet_; }
    int Index() const { return index_; }
    const TFieldDef& Def() const;
    const std::string& FieldName() const { return Def().name; }
    TFieldType DataType() const { return Def().type; }
    int Size() const { return Def().size; }
    bool Required() const { return Def().required; }
    bool ReadOnly() const { return Def().readOnly; }
    bool Visible() const { return Def().visible; }
    const std::string& DisplayLabel() const { return Def().DisplayName(); }
    int DisplayWidth() const;
    // Display properties are shared by every cursor over the same records.
    void SetVisible(bool visible);
    void SetDisplayLabel(std::string label);
    void SetDisplayWidth(int width);
    void SetReadOnly(bool readOnly);
    void SetRequired(bool required);

    // Reading. Null reads as "", 0, false. Conversions that fail raise EDatabaseError.
    bool IsNull() const;
    std::string AsString() const;
    int AsInteger() const; // floats round to the nearest integer; out of range raises
    std::int64_t AsLargeInt() const;
    double AsFloat() const;
    double AsCurrency() const { return AsFloat(); }
    TDateTime AsDateTime() const; // texts in the forms ParseDateTimeIso reads
    bool AsBoolean() const;       // texts beginning with T/Y/1 or F/N/0
    FieldValue Value() const;
    FieldValue OldValue() const; // the value before the row's pending change (its current value if none)

    // Writing: only while the dataset is in edit or insert state (calculated fields: in the calc
    // callback). Raises EDatabaseError for read-only fields and values that do not convert.
    void SetAsString(std::string_view value);
    void SetAsInteger(std::int64_t value);
    void SetAsFloat(double value);
    void SetAsCurrency(double value) { SetAsFloat(value); }
    void SetAsDateTime(TDateTime value) { SetAsFloat(value); }
    void SetAsBoolean(bool value);
    void SetValue(const FieldValue& value);
    void Clear() { SetValue(FieldValue()); }

    // The detail cursor of a nested-table field; it follows this dataset's current row. Owned by
    // this dataset and valid as long as its fields are.
    TClientDataSet& NestedDataSet() const;

private:
    void ChangeDef(const std::function<void(TFieldDef&)>& change);

    TClientDataSet* dataSet_;
    int index_;
};

} // namespace kav
