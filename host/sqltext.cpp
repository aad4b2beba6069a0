#include "host/sqltext.h"

#include <stdexcept>

namespace kav {

std::string SqlEscape(std::string_view value) {
    std::string result;
    result.reserve(value.size());
    for (char c : value) {
        if (c == '\'') result += '\'';
        result += c;
    }
    return result;
}

std::string SqlQuote(std::string_view value) {
    return '\'' + SqlEscape(value) + '\'';
}

std::string SqlFormat(std::string_view pattern, std::initializer_list<SqlArgument> arguments) {
    const auto fail = [&](const char* why) {
        throw std::invalid_argument(std::string("SqlFormat: ") + why + " in \"" + std::string(pattern) +
                                    "\"");
    };
    std::string result;
    const SqlArgument* next = arguments.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            result += pattern[i];
            continue;
        }
        if (++i == pattern.size()) fail("a lone % at the end");
        const char conversion = pattern[i];
        if (conversion == '%') {
            result += '%';
            continue;
        }
        if (conversion != 's' && conversion != 'd') fail("an unknown conversion");
        if (next == arguments.end()) fail("too few arguments");
        const SqlArgument& argument = *next++;
        if (conversion == 's') {
            const bool quoted =
                i >= 2 && pattern[i - 2] == '\'' && i + 1 < pattern.size() && pattern[i + 1] == '\'';
            if (!quoted) fail("a %s outside apostrophes");
            if (!std::holds_alternative<std::string_view>(argument)) fail("an integer for %s");
            result += SqlEscape(std::get<std::string_view>(argument));
        } else {
            if (!std::holds_alternative<std::int64_t>(argument)) fail("a text for %d");
            result += std::to_string(std::get<std::int64_t>(argument));
        }
    }
    if (next != arguments.end()) fail("too many arguments");
    return result;
}

} // namespace kav
