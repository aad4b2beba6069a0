#pragma once
// Reading the arguments of the report services. Every argument comes from the client and is untrusted: a
// malformed one raises pelio::EosRemoteException with a message for the seller naming what was wrong, and
// nothing is read from the database.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kav::server {

// At most this many codes in one list: a report over more products or sellers is refused.
inline constexpr std::size_t kMaxReportCodes = 1000;

// "'P0001','P0002'": codes as SQL string literals (apostrophes doubled inside) joined by commas, blanks
// around them allowed. Empty codes are refused, and so is an empty list; `what` names the list in messages.
std::vector<std::string> ParseQuotedCodes(std::string_view list, std::string_view what);
// Codes one per line ("\n" or "\r\n"); blank lines are skipped. An empty list is allowed.
std::vector<std::string> ParseCodeLines(std::string_view lines, std::string_view what);
// "YYYY-MM-DD hh:mm:ss" (or a shorter ISO date-time) as that form; none for an empty text and for
// date-time zero (1899-12-30), which mean "not set".
std::optional<std::string> ParseReportTime(std::string_view text, std::string_view what);

} // namespace kav::server
