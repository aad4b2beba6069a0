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
// is a parse error) and evaluated per row through FilterRow, without copying values or allocating
// (except to read a text field compared with a date-time field). An empty or blank text matches every row.
//
// Meaning:
//  - Nulls follow SQL's three-valued logic: a comparison or LIKE involving null is unknown, `not`
//    of unknown stays unknown, and a row passes only when the whole filter is true. So neither
//    `PRICE > 0` nor `not (PRICE > 0)` passes a row whose PRICE is null; `is null` tests for it.
//    `x = null` and `x <> null` mean `x is null` and `x is not null`; other comparisons with null
//    do not parse.
//  - Text compares byte by byte (code-point order) and letter case counts: 'b' <> 'B'.
//  - A text literal compared with a number, date-time or Boolean field is converted when parsed
//    ('12.5', '2026-12-07', '2026-12-07 19:30:00', 'true'); one that does not convert is a parse
//    error. Date-times compare to the millisecond, so a date literal equals midnight only.
//  - Numbers compare by value across Integer and Float (and Boolean as 0/1); a text field compared
//    with a number is read as a number, and a row whose text is not one does not pass.
//  - LIKE needs a text on its left: % matches any run of characters, _ exactly one character
//    (one UTF-8 code point, not one byte); letter case counts; % and _ have no escape.
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

// A filter text that does not parse. Position() is the 0-based character offset (UTF-8 code points)
// of the fault,
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
    // Raises EFilterError for text that does not parse, names an unknown field, compares kinds
    // that never compare (Boolean with date-time), or nests parentheses and `not` over 100 deep.
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
