#include "platform/dataset/filterlexer.h"

#include "platform/dataset/filterexpr.h"

namespace kav::filter {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Field names may use any non-ASCII letters, so every byte of a multi-byte character counts.
bool IsNameStart(char c) {
    auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_' || u >= 0x80;
}

bool IsNameChar(char c) {
    return IsNameStart(c) || IsDigit(c);
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}

    std::vector<Token> Run() {
        std::vector<Token> tokens;
        for (;;) {
            while (pos_ < text_.size() && IsSpace(text_[pos_]))
                ++pos_;
            tokens.push_back(Next());
            if (tokens.back().kind == TokenKind::End) return tokens;
        }
    }

private:
    char At(std::size_t i) const { return i < text_.size() ? text_[i] : '\0'; }

    Token Make(TokenKind kind, std::size_t start, std::string value = {}) {
        return Token{kind, start, text_.substr(start, pos_ - start), std::move(value)};
    }

    Token Next() {
        const std::size_t start = pos_;
        if (pos_ >= text_.size()) return Make(TokenKind::End, start);
        const char c = text_[pos_];
        if (IsNameStart(c)) {
            while (pos_ < text_.size() && IsNameChar(text_[pos_]))
                ++pos_;
            return Make(TokenKind::Identifier, start, std::string(text_.substr(start, pos_ - start)));
        }
        if (IsDigit(c) ||
            ((c == '-' || c == '+' || c == '.') &&
             (IsDigit(At(pos_ + 1)) || (c != '.' && At(pos_ + 1) == '.' && IsDigit(At(pos_ + 2))))))
            return Number(start);
        switch (c) {
        case '\'':
            return Quoted(start, '\'', TokenKind::String, "text not closed with an apostrophe");
        case '[':
            return Quoted(start, ']', TokenKind::QuotedField, "field name not closed with ']'");
        case '(':
            ++pos_;
            return Make(TokenKind::LeftParen, start);
        case ')':
            ++pos_;
            return Make(TokenKind::RightParen, start);
        case '=':
            ++pos_;
            return Make(TokenKind::Equal, start);
        case '<':
            ++pos_;
            if (At(pos_) == '>') {
                ++pos_;
                return Make(TokenKind::NotEqual, start);
            }
            if (At(pos_) == '=') {
                ++pos_;
                return Make(TokenKind::LessEqual, start);
            }
            return Make(TokenKind::Less, start);
        case '>':
            ++pos_;
            if (At(pos_) == '=') {
                ++pos_;
                return Make(TokenKind::GreaterEqual, start);
            }
            return Make(TokenKind::Greater, start);
        default:
            break;
        }
        // Name the whole character, not its first byte, when it is not ASCII.
        std::size_t end = pos_ + 1;
        while (end < text_.size() && (static_cast<unsigned char>(text_[end]) & 0xC0) == 0x80)
            ++end;
        RaiseFilterError(text_, start,
                         "unexpected character '" + std::string(text_.substr(start, end - start)) + "'" +
                             (c == '"' ? " (texts are written in single quotes)" : ""));
    }

    Token Number(std::size_t start) {
        if (text_[pos_] == '-' || text_[pos_] == '+') ++pos_;
        while (IsDigit(At(pos_)))
            ++pos_;
        if (At(pos_) == '.') {
            ++pos_;
            while (IsDigit(At(pos_)))
                ++pos_;
        }
        if ((At(pos_) == 'e' || At(pos_) == 'E') &&
            (IsDigit(At(pos_ + 1)) ||
             ((At(pos_ + 1) == '-' || At(pos_ + 1) == '+') && IsDigit(At(pos_ + 2))))) {
            pos_ += 2;
            while (IsDigit(At(pos_)))
                ++pos_;
        }
        if (IsNameChar(At(pos_)) || At(pos_) == '.') {
            while (pos_ < text_.size() && (IsNameChar(text_[pos_]) || text_[pos_] == '.'))
                ++pos_;
            RaiseFilterError(text_, start,
                             "malformed number '" + std::string(text_.substr(start, pos_ - start)) + "'");
        }
        return Make(TokenKind::Number, start, std::string(text_.substr(start, pos_ - start)));
    }

    // A string ('' stands for one apostrophe) or a bracketed field name (no escape: it ends at the first
    // ']').
    Token Quoted(std::size_t start, char close, TokenKind kind, const char* unclosed) {
        std::string value;
        ++pos_;
        for (;;) {
            if (pos_ >= text_.size()) RaiseFilterError(text_, start, unclosed);
            const char c = text_[pos_++];
            if (c != close) {
                value += c;
            } else if (close == '\'' && At(pos_) == '\'') {
                value += c;
                ++pos_;
            } else {
                return Make(kind, start, std::move(value));
            }
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

} // namespace

std::vector<Token> Tokenize(std::string_view text) {
    return Lexer(text).Run();
}

std::size_t CharacterOffset(std::string_view text, std::size_t offset) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++characters;
    return characters;
}

void RaiseFilterError(std::string_view text, std::size_t offset, const std::string& what) {
    const std::size_t characters = CharacterOffset(text, offset);
    throw EFilterError("Filter error at position " + std::to_string(characters) + ": " + what +
                           " in: " + std::string(text),
                       characters);
}

} // namespace kav::filter
