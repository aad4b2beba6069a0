#pragma once
// Values written into SQL text. The client builds its statements as text; every value goes
// between apostrophes with its own apostrophes doubled, so that no value can end the literal.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace kav {

// The value with every apostrophe doubled.
std::string SqlEscape(std::string_view value);
// The value as a string literal: between apostrophes, its own apostrophes doubled.
std::string SqlQuote(std::string_view value);

using SqlArgument = std::variant<std::string_view, std::int64_t>;

// The pattern with each %s replaced by the next text argument escaped, each %d by the next integer
// argument, and %% by %. A %s must stand between apostrophes ('%s') so that its value always lands
// inside a literal. Raises std::invalid_argument when pattern and arguments do not match (count,
// kind, a %s outside apostrophes, an unknown conversion); that is a caller's bug.
std::string SqlFormat(std::string_view pattern, std::initializer_list<SqlArgument> arguments);

} // namespace kav
