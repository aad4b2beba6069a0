#pragma once
// TRowReader: reads the rows of a dataset's view by position, for code that turns a whole result
// into records. The cursor does not move. Every value reads exactly as the field's accessor
// (AsString, AsInteger, ...) reads it on that row, and texts are assigned into the caller's
// strings, so that their buffers are reused.
//
// A reader keeps pointers to the rows as they were when it was set up: it is valid while the
// dataset is neither changed nor closed. Like the dataset, it belongs to one thread.

#include "platform/core/datetime.h"
#include "platform/dataset/clientdataset.h"

#include <cassert>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kav {

class TRowReader final {
public:
    // The rows the dataset shows now. Raises EDatabaseError when it is closed.
    explicit TRowReader(TClientDataSet& dataSet);
    // No rows, until ReadNested points it at some.
    TRowReader() = default;

    int RowCount() const { return static_cast<int>(rows_.size()); }

    // `row` must be in range, `field` an index of the dataset's fields (TField::Index). Conversions that fail
    // raise EDatabaseError.
    void ReadText(int row, int field, std::string& text) const {
        text.clear();
        AppendText(row, field, text);
    }
    // The text ReadText would give, as a view of the stored text, or of `scratch` when the value
    // is converted; valid while the dataset is unchanged and scratch untouched.
    std::string_view TextOf(int row, int field, std::string& scratch) const {
        const FieldValue& value = Cell(row, field);
        if (value.GetKind() == FieldValue::Kind::String) return value.String();
        scratch.clear();
        if (!value.IsNull()) AppendConverted(value, field, scratch);
        return scratch;
    }
    void AppendText(int row, int field, std::string& text) const {
        const FieldValue& value = Cell(row, field);
        if (value.GetKind() == FieldValue::Kind::String)
            text.append(value.String());
        else if (!value.IsNull()) // null reads as ""
            AppendConverted(value, field, text);
    }
    int ReadInteger(int row, int field) const;
    double ReadFloat(int row, int field) const;
    TDateTime ReadDateTime(int row, int field) const;

    // Asks the processor to fetch the rows after `row` while row `row` is read: freshly decoded
    // rows are mostly not in cache, and reading them in order would otherwise wait for memory on
    // nearly every value. With `nestedField` the rows of that nested table are fetched too; a
    // nested row is reached through a chain of pointers (values, table, its rows, their values),
    // so each call takes every chain one link further, a row apart. Call it for every row in
    // order; rows out of range are ignored.
    void FetchAhead(int row, int nestedField = -1) const;

    // Points `nested` at the rows of nested-table field `field` in row `row`, as that field's
    // NestedDataSet shows them on that row; `nested` then reads through the nested cursor's fields.
    // When the nested cursor filters, orders or limits its rows, the dataset's cursor is moved to
    // `row` to let it choose them.
    void ReadNested(int row, int field, TRowReader& nested);

private:
    const FieldValue& Cell(int row, int field) const {
        assert(row >= 0 && row < RowCount() && field >= 0 && field < dataSet_->FieldCount());
        detail::Record* record = rows_[static_cast<std::size_t>(row)];
        return calculated_ ? dataSet_->CellOf(record, field)
                           : record->values[static_cast<std::size_t>(field)];
    }
    void AppendConverted(const FieldValue& value, int field, std::string& text) const;
    void Point(TClientDataSet& dataSet);

    TClientDataSet* dataSet_ = nullptr;
    bool calculated_ = false; // the dataset has calculated fields
    std::vector<detail::Record*> rows_;
};

} // namespace kav
