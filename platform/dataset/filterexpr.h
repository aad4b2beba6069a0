#pragma once
// Filter expressions of client datasets, e.g.  PRICE > 0   OrderCode = 'x' and Status = 'B'
//
// Grammar (keywords and field names ignore letter case):
//   expr       := orExpr
//   orExpr     := andExpr { "or" andExpr }
//   andExpr    := notExpr { "and" notExpr }
//   notExpr    := "not" notExpr | predicate
//   predicate  := "(" expr ")" | operand ( compOp operand | "is" ["not"] "null" | ["not"] "like" string )
//   compOp     := "=" | "<>" | "<" | ">" | "<=" | ">="
//   operand    := field | string | number | "null" | "true" | "false"
//   field      := identifier | "[" any text but "]" "]"
//   string     := "'" { char | "''" } "'"
//
// A filter is parsed once against the dataset's fields (names are resolved then, so an unknown field
// is a parse error) and evaluated per row through FilterRow, without copying values.
//
// Thread safety: a parsed Filter is immutable; Matches may run on many threads at once.

#include "platform/dataset/errors.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kav {

enum class FilterValueKind { Null, Boolean, Integer, Float, String, DateTime };

// One field value as the evaluator sees it. `text` must stay valid until Matches returns.
struct FilterValue {
    FilterValueKind kind = FilterValueKind::Null;
    bool boolean = false;
    std::int64_t integer = 0;
    double number = 0; // Float (also currency and BCD) and DateTime (days since 1899-12-30)
    std::string_view text;
};

// The fields a filter may name: resolved when the filter is parsed.
class FilterFields {
public:
    virtual ~FilterFields() = default;
    virtual std::optional<int> IndexOf(std::string_view name) const = 0; // ignoring letter case
    virtual FilterValueKind KindOf(int index) const = 0;
};

// The current row while a filter is evaluated.
class FilterRow {
public:
    virtual ~FilterRow() = default;
    virtual FilterValue Get(int fieldIndex) const = 0;
};

// A filter text that does not parse. Position() is the 0-based character offset of the fault,
// and the message names it: "Filter error at position 12: expected ')' in: ...".
class EFilterError : public EDatabaseError {
public:
    EFilterError(const std::string& message, std::size_t position)
        : EDatabaseError(message), position_(position) {}
    std::size_t Position() const { return position_; }

private:
    std::size_t position_;
};

class Filter {
public:
    // Raises EFilterError for text that does not parse or names an unknown field.
    static Filter Parse(std::string_view text, const FilterFields& fields);

    Filter(const Filter&) = default;
    Filter& operator=(const Filter&) = default;
    Filter(Filter&&) noexcept = default;
    Filter& operator=(Filter&&) noexcept = default;
    ~Filter();

    const std::string& Text() const { return text_; }
    bool Matches(const FilterRow& row) const;

    struct Node; // the expression tree, defined by the implementation

private:
    Filter(std::string text, std::shared_ptr<const Node> root);
    std::string text_;
    std::shared_ptr<const Node> root_;
};

} // namespace kav
