#pragma once
// The dialect adapter: the client's statements are written for PostgreSQL; these functions adapt
// them to the backend that runs them, and classify them for the statement guard.
//
// Rewrites, applied to code only (never inside '...' literals, "..." names or comments; keywords
// matched ignoring letter case and blanks):
//   SQLite      cast('now' as timestamp)  ->  datetime('now','localtime')
//               (SQLite would cast the text to the number 0, so every time compares greater.)
//               `like` is made case-sensitive per connection (PRAGMA case_sensitive_like = ON),
//               not by a rewrite; :NAME parameters are bound natively.
//   PostgreSQL  :NAME  ->  $n, numbered in order of first appearance; a name used twice keeps
//               its number. `::` (a cast) is left alone.
//
// Pure functions of their input; thread-safe.

#include <string>
#include <string_view>
#include <vector>

namespace kav::server {

std::string RewriteForSQLite(std::string_view sql);

struct PositionalSql {
    std::string sql;                // with $1, $2, ...
    std::vector<std::string> names; // names[n - 1] is the parameter written as $n (without ':')
};
PositionalSql RewriteForPostgreSQL(std::string_view sql);

// The server's own statements number their parameters ?1, ?2, ... (SQLite's form); PostgreSQL
// writes them $1, $2, ...
std::string NumberedParametersForPostgreSQL(std::string_view sql);

// The first keyword of the statement in lower case (comments, blanks and opening parentheses
// skipped); empty when the text holds no word.
std::string LeadingKeyword(std::string_view sql);

} // namespace kav::server
