#include "platform/core/datetime.h"
#include "platform/core/textcodec.h"
#include "platform/dataset/filterexpr.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

using namespace kav;

namespace {

using K = FilterValueKind;
using Cell = std::optional<std::string>; // nullopt is null; otherwise the value as text

struct Column {
    std::string name;
    K kind;
};

// A small table whose cells are written as text and read in their column's kind.
class Table final : public FilterFields {
public:
    Table(std::vector<Column> columns, std::vector<std::vector<Cell>> rows)
        : columns_(std::move(columns)), rows_(std::move(rows)) {}

    std::optional<int> IndexOf(std::string_view name) const override {
        for (std::size_t i = 0; i < columns_.size(); ++i)
            if (EqualsIgnoringCase(columns_[i].name, name)) return static_cast<int>(i);
        return std::nullopt;
    }
    K KindOf(int index) const override { return columns_[index].kind; }

    FilterValue Get(int row, int field) const {
        const Cell& cell = rows_[row][field];
        FilterValue v;
        if (!cell) return v;
        v.kind = columns_[field].kind;
        switch (v.kind) {
        case K::Boolean:
            v.boolean = *cell == "true";
            break;
        case K::Integer:
            v.integer = std::stoll(*cell);
            break;
        case K::Float:
            v.number = std::stod(*cell);
            break;
        case K::DateTime:
            v.number = ParseDateTimeIso(*cell);
            break;
        default:
            v.text = *cell;
        }
        return v;
    }

    // Numbers (from 1) of the rows the filter passes.
    std::vector<int> Select(std::string_view text) const {
        const Filter filter = Filter::Parse(text, *this);
        std::vector<int> passed;
        for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
            const RowView row(*this, r);
            if (filter.Matches(row)) passed.push_back(r + 1);
        }
        return passed;
    }

private:
    struct RowView final : FilterRow {
        RowView(const Table& t, int r) : table(t), row(r) {}
        FilterValue Get(int field) const override { return table.Get(row, field); }
        const Table& table;
        int row;
    };

    std::vector<Column> columns_;
    std::vector<std::vector<Cell>> rows_;
};

using Rows = std::vector<int>;
const Cell null = std::nullopt;

// Seats and prices as the seat map and the order windows filter them.
const Table& Seats() {
    static const Table table({{"SEATCODE", K::String},
                              {"OrderCode", K::String},
                              {"Status", K::String},
                              {"PRICE", K::Float},
                              {"ROWNO", K::Integer},
                              {"PAYDATE", K::DateTime},
                              {"ISADDITION", K::Boolean},
                              {"ACTIONMODULE", K::String}},
                             {
                                 {"S1", "O1", "B", "180", "1", "2026-12-07 19:30:00", "false", "02"},
                                 {"S2", "O1", "S", "0", "1", "2026-12-07", "true", "03"},
                                 {"S3", "O2", "B", "380.5", "2", null, "false", ""},
                                 {"S4", null, null, null, null, "2026-12-08", null, null},
                                 {"S5", "O'1", "b", "-20", "12", "1899-12-29 06:00:00", "true", "02"},
                             });
    return table;
}

TEST(Filter, ExpressionsTheWindowsUse) {
    const Table& t = Seats();
    EXPECT_EQ(t.Select("PRICE > 0"), (Rows{1, 3}));
    EXPECT_EQ(t.Select(" OrderCode= 'O1' and Status = 'B'"), (Rows{1}));
    EXPECT_EQ(t.Select("STATUS = 'B'"), (Rows{1, 3}));
    EXPECT_EQ(t.Select("OrderCode = 'O''1'"), (Rows{5}));
    EXPECT_EQ(t.Select("ACTIONMODULE = '02'"), (Rows{1, 5}));
    EXPECT_EQ(t.Select("ACTIONMODULE = ''"), (Rows{3}));
    EXPECT_EQ(t.Select("ACTIONMODULE = '' or ACTIONMODULE is null"), (Rows{3, 4}));
    EXPECT_EQ(t.Select(""), (Rows{1, 2, 3, 4, 5}));
    EXPECT_EQ(t.Select("  \t "), (Rows{1, 2, 3, 4, 5}));
}

TEST(Filter, PrecedenceParenthesesAndLetterCase) {
    const Table& t = Seats();
    // and binds tighter than or; not tighter than and.
    EXPECT_EQ(t.Select("Status = 'S' or Status = 'B' and ROWNO = 2"), (Rows{2, 3}));
    EXPECT_EQ(t.Select("(Status = 'S' or Status = 'B') and ROWNO = 2"), (Rows{3}));
    EXPECT_EQ(t.Select("not Status = 'B' and ROWNO = 1"), (Rows{2}));
    EXPECT_EQ(t.Select("not (Status = 'B' and ROWNO = 1)"), (Rows{2, 3, 5}));
    EXPECT_EQ(t.Select("not not Status = 'S'"), (Rows{2}));
    EXPECT_EQ(t.Select("((((PRICE > 300))))"), (Rows{3}));
    // Keywords and field names ignore case, in brackets too; literals do not.
    EXPECT_EQ(t.Select("status = 'B' AND price>0 Or [seatcode]='S5'"), (Rows{1, 3, 5}));
    EXPECT_EQ(t.Select("Status = 'b'"), (Rows{5}));
    EXPECT_EQ(t.Select("isaddition = TRUE"), (Rows{2, 5}));
    EXPECT_EQ(t.Select("1 = 1 and 'a' < 'b'"), (Rows{1, 2, 3, 4, 5}));
}

TEST(Filter, NullsFollowThreeValuedLogic) {
    const Table& t = Seats(); // row 4 is null everywhere but its seat code and date
    EXPECT_EQ(t.Select("PRICE > 0"), (Rows{1, 3}));
    EXPECT_EQ(t.Select("not (PRICE > 0)"), (Rows{2, 5}));
    EXPECT_EQ(t.Select("PRICE <> 180"), (Rows{2, 3, 5}));
    EXPECT_EQ(t.Select("PRICE is null"), (Rows{4}));
    EXPECT_EQ(t.Select("price IS NOT NULL"), (Rows{1, 2, 3, 5}));
    EXPECT_EQ(t.Select("PRICE = null"), (Rows{4}));
    EXPECT_EQ(t.Select("null <> PRICE"), (Rows{1, 2, 3, 5}));
    // Unknown or true is true; unknown and false is false, so its negation is true.
    EXPECT_EQ(t.Select("PRICE > 0 or SEATCODE = 'S4'"), (Rows{1, 3, 4}));
    EXPECT_EQ(t.Select("not (PRICE > 0 and SEATCODE = 'S1')"), (Rows{2, 3, 4, 5}));
    EXPECT_EQ(t.Select("not (PRICE > 0 or SEATCODE = 'S9')"), (Rows{2, 5}));
    EXPECT_EQ(t.Select("not (Status like '%')"), (Rows{}));
    EXPECT_EQ(t.Select("Status not like 'B'"), (Rows{2, 5}));
}

TEST(Filter, ConvertsBetweenKinds) {
    const Table& t = Seats();
    // Integer and Float fields against integer, decimal, signed and exponent literals.
    EXPECT_EQ(t.Select("PRICE = 180 and ROWNO = 1.0"), (Rows{1}));
    EXPECT_EQ(t.Select("PRICE >= 380.5 or PRICE < -1e1"), (Rows{3, 5}));
    EXPECT_EQ(t.Select("ROWNO > PRICE"), (Rows{2, 5}));
    EXPECT_EQ(t.Select("PRICE = '380.5'"), (Rows{3}));
    // A text field against a number is read as a number ('02' is 2); rows that are not numbers fail.
    EXPECT_EQ(t.Select("ACTIONMODULE = 2"), (Rows{1, 5}));
    EXPECT_EQ(t.Select("SEATCODE > 0"), (Rows{}));
    // Date-times: a date literal is midnight; compare to the millisecond.
    EXPECT_EQ(t.Select("PAYDATE = '2026-12-07'"), (Rows{2}));
    EXPECT_EQ(t.Select("PAYDATE >= '2026-12-07' and PAYDATE < '2026/12/08'"), (Rows{1, 2}));
    EXPECT_EQ(t.Select("PAYDATE = '2026-12-07 19:30'"), (Rows{1}));
    EXPECT_EQ(t.Select("PAYDATE > " + std::to_string(EncodeDate(2026, 12, 7))), (Rows{1, 4}));
    // Before 1899-12-30 the stored form is not ordered by value; the comparison still follows time.
    EXPECT_EQ(t.Select("PAYDATE > '1899-12-29 05:59' and PAYDATE < '1899-12-29 06:01'"), (Rows{5}));
    EXPECT_EQ(t.Select("PAYDATE < '1899-12-30'"), (Rows{5}));
    // Booleans against true/false, text and 0/1.
    EXPECT_EQ(t.Select("ISADDITION = 'true' or ISADDITION = 0"), (Rows{1, 2, 3, 5}));
    // Text compares by code point, so Chinese text orders after ASCII.
    EXPECT_EQ(t.Select("SEATCODE < '演' and SEATCODE >= 'S3'"), (Rows{3, 4, 5}));
}

TEST(Filter, Like) {
    const Table& t = Seats();
    EXPECT_EQ(t.Select("SEATCODE like 'S%'"), (Rows{1, 2, 3, 4, 5}));
    EXPECT_EQ(t.Select("OrderCode like 'O_'"), (Rows{1, 2, 3}));
    EXPECT_EQ(t.Select("OrderCode not like '%1'"), (Rows{3}));
    EXPECT_EQ(t.Select("OrderCode LIKE 'O''%'"), (Rows{5}));
    EXPECT_EQ(t.Select("Status like 'b'"), (Rows{5}));
}

TEST(Filter, EvaluatesTextFieldsAgainstDateTimeFields) {
    const Table t(
        {{"WHEN", K::DateTime}, {"TEXT", K::String}},
        {{"2026-12-07 10:00:00", "2026-12-07 10:00"}, {"2026-12-07", "not a date"}, {"2026-12-07", null}});
    EXPECT_EQ(t.Select("WHEN = TEXT"), (Rows{1}));
    EXPECT_EQ(t.Select("TEXT <> WHEN"), (Rows{}));
}

struct BadFilter {
    const char* text;
    std::size_t position;
    const char* message;
};

TEST(Filter, RefusesBadTextNamingThePosition) {
    const BadFilter cases[] = {
        {"PRICE > ", 8, "expected a field, a value or '(' but found the end of the filter"},
        {"PRICES > 0", 0, "unknown field 'PRICES'"},
        {"(PRICE > 0 and ROWNO = 1", 24, "expected ')' to close the '(' at position 0"},
        {"PRICE > 0)", 9, "expected AND or OR but found ')'"},
        {"Status = 'B", 9, "text not closed with an apostrophe"},
        {"[Status = 'B'", 0, "field name not closed with ']'"},
        {"PRICE > 0 && ROWNO = 1", 10, "unexpected character '&'"},
        {"Status = \"B\"", 9, "unexpected character '\"' (texts are written in single quotes)"},
        {"PRICE > 12abc", 8, "malformed number '12abc'"},
        {"PRICE > 1.2.3", 8, "malformed number '1.2.3'"},
        {"PRICE", 5, "expected a comparison, IS or LIKE after 'PRICE'"},
        {"PRICE is 0", 9, "expected NULL after IS but found '0'"},
        {"Status not = 'B'", 11, "expected LIKE after NOT"},
        {"Status like Status", 12, "expected a pattern in quotes after LIKE"},
        {"PRICE like '1%'", 0, "LIKE needs a text but 'PRICE' is a number"},
        {"PRICE > null", 6, "NULL can only be compared with = or <>"},
        {"PAYDATE = 'tomorrow'", 10, "''tomorrow'' is not a date or date-time as field 'PAYDATE' needs"},
        {"PAYDATE > '2026-02-30'", 10, "is not a date or date-time"},
        {"ROWNO = 'twelve'", 8, "is not a number"},
        {"ISADDITION = PAYDATE", 11, "cannot compare a Boolean with a date or date-time"},
        {"PRICE > 0 and", 13, "expected a field, a value or '(' but found the end of the filter"},
        {"()", 1, "expected a field, a value or '(' but found ')'"},
        {"and = 1", 0, "expected a field, a value or '(' but found 'and'"},
        // Positions count characters, not bytes.
        {"SEATCODE = '演出' or 座位 = 1", 19, "unknown field '座位'"},
    };
    for (const auto& c : cases) {
        try {
            Seats().Select(c.text);
            ADD_FAILURE() << "parsed: " << c.text;
        } catch (const EFilterError& e) {
            EXPECT_EQ(e.Position(), c.position) << c.text;
            const std::string message = e.what();
            const std::string prefix = "Filter error at position " + std::to_string(c.position) + ": ";
            EXPECT_EQ(message.rfind(prefix, 0), 0u) << message;
            EXPECT_NE(message.find(c.message), std::string::npos) << message;
            EXPECT_NE(message.find(std::string(" in: ") + c.text), std::string::npos) << message;
        }
    }
}

TEST(Filter, LimitsNestingButNotLength) {
    const auto nested = [](int depth, const char* open) {
        std::string text;
        for (int i = 0; i < depth; ++i)
            text += open;
        text += "ROWNO = 1";
        if (*open == '(') text += std::string(depth, ')');
        return text;
    };
    EXPECT_EQ(Seats().Select(nested(100, "(")), (Rows{1, 2}));
    EXPECT_THROW(Seats().Select(nested(101, "(")), EFilterError);
    EXPECT_EQ(Seats().Select(nested(100, "not ")), (Rows{1, 2}));
    EXPECT_THROW(Seats().Select(nested(101, "not ")), EFilterError);
    // A long run of terms is one flat node: no deep recursion when parsed, evaluated or destroyed.
    std::string longOr = "ROWNO = 2";
    for (int i = 0; i < 100'000; ++i)
        longOr += " or ROWNO = 1 and PRICE < 0";
    EXPECT_EQ(Seats().Select(longOr), (Rows{3}));
}

} // namespace
