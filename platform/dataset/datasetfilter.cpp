// Filters of a client dataset: the filter expression and the filter callback.
#include "platform/dataset/clientdataset.h"
#include "platform/dataset/conversions.h"
#include "platform/dataset/filterexpr.h"

namespace kav {
namespace {

FilterValueKind KindOfType(TFieldType type) {
    switch (type) {
    case TFieldType::ftString:
    case TFieldType::ftMemo:
    case TFieldType::ftBlob:
        return FilterValueKind::String;
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftLargeint:
        return FilterValueKind::Integer;
    case TFieldType::ftBoolean:
        return FilterValueKind::Boolean;
    case TFieldType::ftDateTime:
    case TFieldType::ftTimeStamp:
        return FilterValueKind::DateTime;
    case TFieldType::ftDataSet:
        return FilterValueKind::Null;
    default:
        return FilterValueKind::Float;
    }
}

class FieldsOfTable final : public FilterFields {
public:
    explicit FieldsOfTable(const detail::Table& table) : table_(table) {}
    std::optional<int> IndexOf(std::string_view name) const override { return table_.FieldIndex(name); }
    FilterValueKind KindOf(int index) const override {
        return KindOfType(table_.Fields()[static_cast<std::size_t>(index)].type);
    }

private:
    const detail::Table& table_;
};

} // namespace

// The row a filter reads: cells are read in place, calculated ones computed on first use.
class TClientDataSet::FilterRowOf final : public FilterRow {
public:
    FilterRowOf(TClientDataSet& dataSet, detail::Record* record) : dataSet_(dataSet), record_(record) {}
    FilterValue Get(int field) const override {
        const auto& cell = dataSet_.CellOf(record_, field);
        FilterValue value;
        if (cell.IsNull()) return value;
        const auto type = dataSet_.DefOf(field).type;
        value.kind = KindOfType(type);
        switch (value.kind) {
        case FilterValueKind::String:
            value.text = cell.String();
            break;
        case FilterValueKind::Integer:
            value.integer = cell.Integer();
            break;
        case FilterValueKind::Boolean:
            value.boolean = cell.Boolean();
            break;
        case FilterValueKind::Float:
            value.number = type == TFieldType::ftCurrency
                               ? static_cast<double>(cell.Integer()) / detail::kCurrencyScale
                               : cell.Float();
            break;
        case FilterValueKind::DateTime:
            value.number = cell.Float();
            break;
        case FilterValueKind::Null:
            break;
        }
        return value;
    }

private:
    TClientDataSet& dataSet_;
    detail::Record* record_;
};

bool TClientDataSet::MatchesFilter(detail::Record* record) {
    return filter_->Matches(FilterRowOf(*this, record));
}

std::shared_ptr<const Filter> TClientDataSet::ParseFilter(const std::string& text) const {
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) return nullptr;
    return std::make_shared<const Filter>(Filter::Parse(text, FieldsOfTable(*table_)));
}

void TClientDataSet::SetFilter(std::string text) {
    if (!Active()) { // parsed when the dataset opens
        filterText_ = std::move(text);
        return;
    }
    auto parsed = ParseFilter(text);
    CheckBrowse();
    filterText_ = std::move(text);
    filter_ = std::move(parsed);
    if (filtered_) {
        EmitReset([this] { RebuildView(); });
        NotifyDependents();
    }
}

void TClientDataSet::SetFiltered(bool filtered) {
    if (filtered == filtered_) return;
    if (Active()) CheckBrowse();
    filtered_ = filtered;
    if (Active()) {
        EmitReset([this] { RebuildView(); });
        NotifyDependents();
    }
}

void TClientDataSet::SetOnFilterRecord(std::function<bool(TClientDataSet&)> accept) {
    if (Active()) CheckBrowse();
    onFilterRecord_ = std::move(accept);
    if (Active() && filtered_) {
        EmitReset([this] { RebuildView(); });
        NotifyDependents();
    }
}

} // namespace kav
