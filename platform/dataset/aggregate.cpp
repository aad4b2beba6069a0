#include "platform/dataset/aggregate.h"

#include "platform/core/textcodec.h"
#include "platform/dataset/clientdataset.h"
#include "platform/dataset/conversions.h"

#include <algorithm>

namespace kav {

TAggregate::TAggregate(TClientDataSet& dataSet, std::string name, std::string expression, int groupingLevel,
                       std::string indexName)
    : dataSet_(&dataSet), name_(std::move(name)), expression_(std::move(expression)),
      indexName_(std::move(indexName)), level_(groupingLevel) {
    auto bad = [this] {
        return EDatabaseError("Aggregate '" + name_ + "': cannot read expression '" + expression_ + "'");
    };
    if (level_ < 0) throw bad();
    auto open = expression_.find('('), close = expression_.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) throw bad();
    auto function = AsciiLower(expression_.substr(0, open));
    std::erase(function, ' ');
    auto argument = SplitFieldNames(expression_.substr(open + 1, close - open - 1));
    if (argument.size() != 1 || expression_.find_first_not_of(' ', close + 1) != std::string::npos)
        throw bad();
    if (function == "sum")
        function_ = Function::Sum;
    else if (function == "count")
        function_ = Function::Count;
    else if (function == "min")
        function_ = Function::Min;
    else if (function == "max")
        function_ = Function::Max;
    else if (function == "avg")
        function_ = Function::Avg;
    else
        throw bad();
    fieldName_ = argument[0];
    if (fieldName_ == "*" && function_ != Function::Count) throw bad();
    Bind();
}

void TAggregate::Bind() {
    viewVersion_ = ~std::uint64_t{0};
    field_ = -1;
    if (fieldName_ == "*" || !dataSet_->Active()) return;
    field_ = dataSet_->IndexOfField(fieldName_);
    auto type = dataSet_->DefOf(field_).type;
    bool numeric = type != TFieldType::ftString && type != TFieldType::ftMemo && type != TFieldType::ftBlob &&
                   type != TFieldType::ftBoolean && type != TFieldType::ftDataSet;
    if ((function_ == Function::Sum || function_ == Function::Avg) && !numeric)
        throw EDatabaseError("Aggregate '" + name_ + "': field '" + fieldName_ + "' is not numeric");
}

void TAggregate::TryBind() {
    try {
        Bind();
    } catch (const EDatabaseError&) {
        field_ = -1;
    }
}

FieldValue TAggregate::Value() {
    auto& ds = *dataSet_;
    ds.CheckActive();
    if (field_ < 0 && fieldName_ != "*") Bind();
    if (!indexName_.empty() && !EqualsIgnoringCase(indexName_, ds.indexName_)) return {};
    if (static_cast<std::size_t>(level_) > ds.key_.fields.size())
        throw EDatabaseError("Aggregate '" + name_ + "': grouping level " + std::to_string(level_) +
                             " exceeds the index's " + std::to_string(ds.key_.fields.size()) + " fields");
    auto* current = ds.Current();
    if (!current) return {};
    auto pos = static_cast<std::size_t>(ds.pos_);
    if (viewVersion_ == ds.viewVersion_ && tableVersion_ == ds.table_->version && pos >= begin_ && pos < end_)
        return cached_;

    auto& view = ds.view_;
    std::size_t begin = 0, end = view.size();
    if (level_ > 0) {
        std::vector<FieldValue> key;
        for (int i = 0; i < level_; ++i)
            key.push_back(ds.CellOf(current, ds.key_.fields[static_cast<std::size_t>(i)]));
        auto count = key.size();
        auto below = [&](detail::Record* r, const std::vector<FieldValue>& k) {
            return ds.CompareKeys(r, k, count) < 0;
        };
        auto above = [&](const std::vector<FieldValue>& k, detail::Record* r) {
            return ds.CompareKeys(r, k, count) > 0;
        };
        begin =
            static_cast<std::size_t>(std::lower_bound(view.begin(), view.end(), key, below) - view.begin());
        end = static_cast<std::size_t>(
            std::upper_bound(view.begin() + static_cast<std::ptrdiff_t>(begin), view.end(), key, above) -
            view.begin());
    }

    FieldValue result;
    if (field_ < 0) {
        result = FieldValue(static_cast<std::int64_t>(end - begin));
    } else {
        const auto& def = ds.DefOf(field_);
        std::int64_t count = 0, integerSum = 0;
        double floatSum = 0;
        const FieldValue* best = nullptr;
        for (std::size_t i = begin; i < end; ++i) {
            const auto& cell = ds.CellOf(view[i], field_);
            if (cell.IsNull()) continue;
            ++count;
            switch (function_) {
            case Function::Sum:
            case Function::Avg:
                if (cell.GetKind() == FieldValue::Kind::Integer)
                    integerSum += cell.Integer();
                else
                    floatSum += cell.Float();
                break;
            case Function::Min:
                if (!best || detail::CompareStored(cell, *best, false) < 0) best = &cell;
                break;
            case Function::Max:
                if (!best || detail::CompareStored(cell, *best, false) > 0) best = &cell;
                break;
            case Function::Count:
                break;
            }
        }
        const bool scaled = def.type == TFieldType::ftCurrency;
        const double total = floatSum + (scaled ? static_cast<double>(integerSum) / detail::kCurrencyScale
                                                : static_cast<double>(integerSum));
        switch (function_) {
        case Function::Count:
            result = FieldValue(count);
            break;
        case Function::Sum:
            if (count == 0) break;
            if (!scaled && floatSum == 0 &&
                (def.type == TFieldType::ftSmallint || def.type == TFieldType::ftInteger ||
                 def.type == TFieldType::ftLargeint))
                result = FieldValue(integerSum);
            else
                result = FieldValue(total);
            break;
        case Function::Avg:
            if (count > 0) result = FieldValue(total / static_cast<double>(count));
            break;
        case Function::Min:
        case Function::Max:
            if (best) result = detail::FromStored(*best, def);
            break;
        }
    }
    viewVersion_ = ds.viewVersion_;
    tableVersion_ = ds.table_->version;
    begin_ = begin;
    end_ = end;
    cached_ = result;
    return result;
}

} // namespace kav
