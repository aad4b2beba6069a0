#pragma once
// The tokens of a filter text and the error every stage of the filter parser raises.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kav::filter {

enum class TokenKind {
    End,
    Identifier,  // a field name or a keyword (and, or, not, is, null, like, true, false)
    QuotedField, // [any text]: always a field name, never a keyword
    String,      // 'text' with '' standing for one apostrophe
    Number,      // optional sign, digits, optional fraction and exponent
    LeftParen,
    RightParen,
    Equal,
    NotEqual,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::size_t offset = 0;    // byte offset of the token in the filter text
    std::string_view spelling; // the token as written (views the filter text)
    std::string value;         // names without brackets and strings without quotes
};

// Splits `text` into tokens ending with one End token. Raises EFilterError on a character that
// starts no token, an unclosed string or bracket, or a malformed number. The tokens view `text`.
std::vector<Token> Tokenize(std::string_view text);

// The number of characters (UTF-8 code points) before byte `offset` of `text`.
std::size_t CharacterOffset(std::string_view text, std::size_t offset);

// Raises EFilterError for `text` with the fault `what` at byte `offset`; the error's position
// counts characters (UTF-8 code points), so it matches what an editor shows.
[[noreturn]] void RaiseFilterError(std::string_view text, std::size_t offset, const std::string& what);

} // namespace kav::filter
