#pragma once
// The session context in its text form: one "Name=Value" line per value, lines ended by "\n"
// (a "\r\n" is accepted when reading). Names are ASCII letters, digits and '_', unique, and matched
// ignoring letter case; a value runs from the first '=' to the end of its line and may hold any
// UTF-8 text but a line break. The server issues the text at login and signs it; the client
// passes it unchanged as the first argument of its remote calls. Format: docs/context.md.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kav {

// The names of the values the system reads.
namespace context_names {
inline constexpr std::string_view NodeCode = "NodeCode";
inline constexpr std::string_view UserCode = "UserCode";
inline constexpr std::string_view UserName = "UserName";
inline constexpr std::string_view GroupCode = "GroupCode";
inline constexpr std::string_view GroupType = "GroupType";
inline constexpr std::string_view OwnerCode = "OwnerCode";
inline constexpr std::string_view SiteCode = "SiteCode";
inline constexpr std::string_view SiteName = "SiteName";
// Always the last line of an issued context; covers every byte before it.
inline constexpr std::string_view Signature = "Signature";
} // namespace context_names

// Raised for text that is not a context (a line without '=', a bad or repeated name) and for a
// value that cannot be stored (a line break in it). The message names the offending line or value.
class ContextTextError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TContextText {
public:
    using Entry = std::pair<std::string, std::string>;

    // Empty lines are skipped.
    static TContextText Parse(std::string_view text);
    // The lines in the order the values were first set, each ended by "\n".
    std::string Format() const;

    std::optional<std::string> TryValue(std::string_view name) const;
    // Empty when the value is absent.
    std::string Value(std::string_view name) const;
    // Replaces the value of that name (keeping its place) or appends it.
    void SetValue(std::string_view name, std::string_view value);
    void Remove(std::string_view name);

    const std::vector<Entry>& Entries() const noexcept { return entries_; }

private:
    std::vector<Entry> entries_;
};

} // namespace kav
