#include "server/db/sqldialect.h"

#include "platform/core/textcodec.h"

#include <algorithm>
#include <cctype>

namespace kav::server {
namespace {

enum class TokenKind { Word, Literal, Name, Comment, Blank, Parameter, Other };

struct Token {
    TokenKind kind;
    std::string_view text;
};

bool IsWordStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || (c & 0x80);
}
bool IsWordChar(char c) {
    return IsWordStart(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '$';
}

// Splits SQL into tokens that together give back the whole text. An unterminated literal or
// comment runs to the end (the database reports the error).
std::vector<Token> Tokenize(std::string_view sql) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    auto push = [&](TokenKind kind, std::size_t end) {
        tokens.push_back({kind, sql.substr(i, end - i)});
        i = end;
    };
    while (i < sql.size()) {
        char c = sql[i];
        std::size_t j = i + 1;
        if (c == '\'' || c == '"') {
            // E'...' strings of PostgreSQL escape with a backslash; others only by doubling.
            bool backslash = c == '\'' && !tokens.empty() && tokens.back().kind == TokenKind::Word &&
                             EqualsIgnoringCase(tokens.back().text, "e");
            while (j < sql.size()) {
                if (backslash && sql[j] == '\\') {
                    j += 2;
                } else if (sql[j] == c) {
                    if (j + 1 < sql.size() && sql[j + 1] == c) {
                        j += 2;
                    } else {
                        ++j;
                        break;
                    }
                } else {
                    ++j;
                }
            }
            push(c == '\'' ? TokenKind::Literal : TokenKind::Name, std::min(j, sql.size()));
        } else if (c == '-' && j < sql.size() && sql[j] == '-') {
            auto end = sql.find('\n', j);
            push(TokenKind::Comment, end == std::string_view::npos ? sql.size() : end);
        } else if (c == '/' && j < sql.size() && sql[j] == '*') {
            auto end = sql.find("*/", j + 1);
            push(TokenKind::Comment, end == std::string_view::npos ? sql.size() : end + 2);
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            while (j < sql.size() && std::isspace(static_cast<unsigned char>(sql[j])))
                ++j;
            push(TokenKind::Blank, j);
        } else if (IsWordStart(c)) {
            while (j < sql.size() && IsWordChar(sql[j]))
                ++j;
            push(TokenKind::Word, j);
        } else if (c == ':' && j < sql.size() && IsWordStart(sql[j])) {
            while (j < sql.size() && IsWordChar(sql[j]) && sql[j] != '$')
                ++j;
            push(TokenKind::Parameter, j);
        } else if (c == ':' && j < sql.size() && sql[j] == ':') {
            push(TokenKind::Other, j + 1); // a PostgreSQL cast, never a parameter
        } else {
            push(TokenKind::Other, j);
        }
    }
    return tokens;
}

bool IsNoise(const Token& t) {
    return t.kind == TokenKind::Blank || t.kind == TokenKind::Comment;
}

struct Expected {
    TokenKind kind;
    std::string_view text; // compared ignoring letter case
};
constexpr Expected kCastNow[] = {{TokenKind::Word, "cast"},      {TokenKind::Other, "("},
                                 {TokenKind::Literal, "'now'"},  {TokenKind::Word, "as"},
                                 {TokenKind::Word, "timestamp"}, {TokenKind::Other, ")"}};

// Matches `pattern` at tokens[at], blanks and comments allowed between its tokens; returns the
// index after the match, or 0.
template <std::size_t N>
std::size_t Match(const std::vector<Token>& tokens, std::size_t at, const Expected (&pattern)[N]) {
    std::size_t i = at;
    for (const auto& expected : pattern) {
        while (i > at && i < tokens.size() && IsNoise(tokens[i]))
            ++i;
        if (i >= tokens.size() || tokens[i].kind != expected.kind ||
            !EqualsIgnoringCase(tokens[i].text, expected.text))
            return 0;
        ++i;
    }
    return i;
}

} // namespace

std::string RewriteForSQLite(std::string_view sql) {
    auto tokens = Tokenize(sql);
    std::string out;
    out.reserve(sql.size());
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (auto end = Match(tokens, i, kCastNow)) {
            out += "datetime('now','localtime')";
            i = end - 1;
        } else {
            out += tokens[i].text;
        }
    }
    return out;
}

PositionalSql RewriteForPostgreSQL(std::string_view sql) {
    PositionalSql result;
    result.sql.reserve(sql.size());
    for (const auto& t : Tokenize(sql)) {
        if (t.kind != TokenKind::Parameter) {
            result.sql += t.text;
            continue;
        }
        auto name = t.text.substr(1);
        auto found = std::find(result.names.begin(), result.names.end(), name);
        if (found == result.names.end()) found = result.names.insert(found, std::string(name));
        result.sql += '$';
        result.sql += std::to_string(found - result.names.begin() + 1);
    }
    return result;
}

std::string NumberedParametersForPostgreSQL(std::string_view sql) {
    std::string out;
    out.reserve(sql.size());
    for (const auto& t : Tokenize(sql))
        out += t.kind == TokenKind::Other && t.text == "?" ? std::string_view("$") : t.text;
    return out;
}

std::string LeadingKeyword(std::string_view sql) {
    for (const auto& t : Tokenize(sql)) {
        if (IsNoise(t) || t.text == "(") continue;
        return t.kind == TokenKind::Word ? AsciiLower(t.text) : std::string();
    }
    return {};
}

} // namespace kav::server
