// The dialect adapter: rewrites touch code only, never literals, quoted names or comments.
#include "server/db/sqldialect.h"

#include <gtest/gtest.h>

namespace kav::server {
namespace {

struct Rewrite {
    const char* in;
    const char* out;
};

TEST(SqlDialect, SQLiteGetsLocalNowForTheTimestampCast) {
    for (auto [in, out] : std::initializer_list<Rewrite>{
             {"select 1 where t < cast('Now' as timestamp)",
              "select 1 where t < datetime('now','localtime')"},
             {"CAST ( 'now'  AS\n TIMESTAMP )", "datetime('now','localtime')"},
             {"cast('now' /* c */ as timestamp)", "datetime('now','localtime')"},
             // Not the construct: other text, other types, or inside a literal, name or comment.
             {"cast('today' as timestamp)", "cast('today' as timestamp)"},
             {"cast('now' as date)", "cast('now' as date)"},
             {"select 'cast(''now'' as timestamp)'", "select 'cast(''now'' as timestamp)'"},
             {"select \"cast('now' as timestamp)\"", "select \"cast('now' as timestamp)\""},
             {"-- cast('now' as timestamp)\nselect 1", "-- cast('now' as timestamp)\nselect 1"},
             {"select mycast('now' as timestamp)", "select mycast('now' as timestamp)"},
             // Unterminated text is passed on for the database to refuse.
             {"select 'cast(", "select 'cast("},
         }) {
        EXPECT_EQ(RewriteForSQLite(in), out) << in;
    }
}

TEST(SqlDialect, PostgreSQLNumbersNamedParameters) {
    auto r = RewriteForPostgreSQL("select * from T where A = :NodeCode and B = :ORDERCODE and C = :nodecode2 "
                                  "and D = :NodeCode and E = ':Literal' and F::text = \":Name\" -- :Comment");
    EXPECT_EQ(r.sql, "select * from T where A = $1 and B = $2 and C = $3 and D = $1 and E = ':Literal' and "
                     "F::text = \":Name\" -- :Comment");
    EXPECT_EQ(r.names, (std::vector<std::string>{"NodeCode", "ORDERCODE", "nodecode2"}));

    // Backslashes end nothing in a standard literal, but escape the quote in E'...'.
    EXPECT_EQ(RewriteForPostgreSQL(R"(select '\' , :A, E'\' :B', :C)").sql,
              R"(select '\' , $1, E'\' :B', $2)");
    EXPECT_TRUE(RewriteForPostgreSQL("select 1").names.empty());
}

TEST(SqlDialect, NumberedParametersBecomeDollarsOutsideLiterals) {
    EXPECT_EQ(NumberedParametersForPostgreSQL("insert into T values (?1, '?2', ?2)"),
              "insert into T values ($1, '?2', $2)");
}

TEST(SqlDialect, LeadingKeywordSkipsCommentsAndParentheses) {
    for (auto [in, out] : std::initializer_list<Rewrite>{
             {"  UPDATE T set A = 1", "update"},
             {"/* x */ -- y\n ( select 1)", "select"},
             {"'delete'", ""},
             {"", ""},
         }) {
        EXPECT_EQ(LeadingKeyword(in), out) << in;
    }
}

} // namespace
} // namespace kav::server
