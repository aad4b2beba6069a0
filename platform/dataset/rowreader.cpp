#include "platform/dataset/rowreader.h"

#include "platform/core/prefetch.h"
#include "platform/dataset/conversions.h"

#include <algorithm>
#include <cassert>

namespace kav {

using detail::Record;

TRowReader::TRowReader(TClientDataSet& dataSet) {
    dataSet.CheckActive();
    Point(dataSet);
    rows_ = dataSet.view_;
}

void TRowReader::Point(TClientDataSet& dataSet) {
    dataSet_ = &dataSet;
    const auto& defs = dataSet.table_->Fields();
    calculated_ = std::any_of(defs.begin(), defs.end(), [](const TFieldDef& d) { return d.IsCalculated(); });
}

void TRowReader::AppendConverted(const FieldValue& value, int field, std::string& text) const {
    detail::AppendStoredAsString(value, dataSet_->DefOf(field), text);
}

int TRowReader::ReadInteger(int row, int field) const {
    return detail::StoredAsInt32(Cell(row, field), dataSet_->DefOf(field));
}

double TRowReader::ReadFloat(int row, int field) const {
    return detail::StoredAsFloat(Cell(row, field), dataSet_->DefOf(field));
}

TDateTime TRowReader::ReadDateTime(int row, int field) const {
    return detail::StoredAsDateTime(Cell(row, field), dataSet_->DefOf(field));
}

void TRowReader::FetchAhead(int row, int nestedField) const {
    const auto at = [&](std::size_t ahead) -> const Record* {
        const auto index = static_cast<std::size_t>(row) + ahead;
        return index < rows_.size() ? rows_[index] : nullptr;
    };
    const auto values = [](const Record* record) {
        PrefetchBytes(record->values.data(), record->values.size() * sizeof(FieldValue));
    };
    if (nestedField < 0) {
        if (const Record* record = at(2)) __builtin_prefetch(record);
        if (const Record* record = at(1)) values(record);
        return;
    }
    // Each link below was fetched by the call for the row before.
    const auto nested = [nestedField](const Record* record) -> const detail::Table* {
        const FieldValue& cell = record->values[static_cast<std::size_t>(nestedField)];
        return cell.GetKind() == FieldValue::Kind::Nested ? cell.Nested().get() : nullptr;
    };
    if (const Record* record = at(6)) __builtin_prefetch(record);
    if (const Record* record = at(5)) values(record);
    if (const Record* record = at(4))
        if (const detail::Table* table = nested(record)) __builtin_prefetch(table);
    if (const Record* record = at(3))
        if (const detail::Table* table = nested(record)) __builtin_prefetch(table->rows.data());
    if (const Record* record = at(2))
        if (const detail::Table* table = nested(record))
            for (const auto& line : table->rows)
                __builtin_prefetch(line.get());
    if (const Record* record = at(1))
        if (const detail::Table* table = nested(record))
            for (const auto& line : table->rows)
                values(line.get());
}

void TRowReader::ReadNested(int row, int field, TRowReader& nested) {
    assert(row >= 0 && row < RowCount());
    TClientDataSet& cursor = dataSet_->NestedCursor(field);
    if (nested.dataSet_ != &cursor) nested.Point(cursor);
    nested.rows_.clear();
    if (cursor.ShowsEveryRow() && !nested.calculated_) {
        // The rows in natural order, without those the change log holds as deleted. The row keeps
        // its table (made when it has none, as the cursor would), so no reference is taken.
        Record* record = rows_[static_cast<std::size_t>(row)];
        const FieldValue& cell = record->values[static_cast<std::size_t>(field)];
        const detail::Table& table =
            cell.IsNull() ? *dataSet_->table_->NestedOf(record, field) : *cell.Nested();
        for (const auto& line : table.rows)
            if (!line->deleted) nested.rows_.push_back(line.get());
        return;
    }
    assert(dataSet_->view_[static_cast<std::size_t>(row)] == rows_[static_cast<std::size_t>(row)]);
    dataSet_->SetPos(row);
    nested.rows_ = cursor.view_;
}

} // namespace kav
