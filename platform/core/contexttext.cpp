#include "platform/core/contexttext.h"

#include "platform/core/textcodec.h"

#include <algorithm>

namespace kav {

namespace {

bool IsValidName(std::string_view name) noexcept {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    });
}

void CheckValue(std::string_view name, std::string_view value) {
    if (value.find_first_of("\r\n") != std::string_view::npos)
        throw ContextTextError("context value " + std::string(name) + " holds a line break");
}

} // namespace

TContextText TContextText::Parse(std::string_view text) {
    TContextText result;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        const std::size_t equals = line.find('=');
        const std::string_view name = line.substr(0, equals);
        if (equals == std::string_view::npos || !IsValidName(name))
            throw ContextTextError("not a context line: \"" + std::string(line) + "\"");
        if (result.TryValue(name))
            throw ContextTextError("context value " + std::string(name) + " given twice");
        CheckValue(name, line.substr(equals + 1));
        result.entries_.emplace_back(name, line.substr(equals + 1));
    }
    return result;
}

std::string TContextText::Format() const {
    std::string text;
    for (const auto& [name, value] : entries_) {
        text += name;
        text += '=';
        text += value;
        text += '\n';
    }
    return text;
}

std::optional<std::string> TContextText::TryValue(std::string_view name) const {
    for (const auto& [entryName, value] : entries_)
        if (EqualsIgnoringCase(entryName, name)) return value;
    return std::nullopt;
}

std::string TContextText::Value(std::string_view name) const {
    return TryValue(name).value_or(std::string());
}

void TContextText::SetValue(std::string_view name, std::string_view value) {
    if (!IsValidName(name)) throw ContextTextError("not a context value name: \"" + std::string(name) + "\"");
    CheckValue(name, value);
    for (auto& [entryName, entryValue] : entries_)
        if (EqualsIgnoringCase(entryName, name)) {
            entryValue = value;
            return;
        }
    entries_.emplace_back(name, value);
}

void TContextText::Remove(std::string_view name) {
    std::erase_if(entries_, [&](const Entry& entry) { return EqualsIgnoringCase(entry.first, name); });
}

} // namespace kav
