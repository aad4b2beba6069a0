#pragma once
// TAggregate: a maintained sum, count, min, max or average of one field over a group of rows of
// a dataset's view, e.g. "sum(Amount)" at grouping level 6 of an index on six fields. The group
// is that of the dataset's current row; level 0 is the whole view. Owned by its dataset.

#include "platform/dataset/fieldvalue.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace kav {

class TClientDataSet;

class TAggregate final {
public:
    enum class Function { Sum, Count, Min, Max, Avg };

    // Raises EDatabaseError for an expression other than function(field) or count(*).
    TAggregate(TClientDataSet& dataSet, std::string name, std::string expression, int groupingLevel,
               std::string indexName);
    TAggregate(const TAggregate&) = delete;
    TAggregate& operator=(const TAggregate&) = delete;

    const std::string& Name() const { return name_; }
    const std::string& Expression() const { return expression_; }
    int GroupingLevel() const { return level_; }
    const std::string& IndexName() const { return indexName_; }

    // Null when the view is empty, when the aggregate's index is not the current one, and for
    // sum/min/max/avg of a group whose values are all null. Sums of integer and currency fields
    // are exact. Raises when the level exceeds the current index's fields.
    FieldValue Value();

private:
    friend class TClientDataSet;
    void Bind();    // resolves the field against the dataset's current structure; raises
    void TryBind(); // the same, leaving the aggregate unbound (raising on use) when it fails

    TClientDataSet* dataSet_;
    std::string name_, expression_, fieldName_, indexName_;
    Function function_ = Function::Sum;
    int level_ = 0;
    int field_ = -1; // -1: count(*)
    // The last computed group: rows [begin, end) of the view at viewVersion/tableVersion.
    std::uint64_t viewVersion_ = ~std::uint64_t{0}, tableVersion_ = 0;
    std::size_t begin_ = 0, end_ = 0;
    FieldValue cached_;
};

} // namespace kav
