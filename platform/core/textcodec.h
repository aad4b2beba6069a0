#pragma once
// Conversion between the program's UTF-8 strings and the ansi code page that files and the
// wire of older peers use (GB18030 by default, the lossless superset of GBK).
//
// Thread safety: the code page is process-wide and should be set once at start; the conversions
// themselves may run on any number of threads at once.

#include <stdexcept>
#include <string>
#include <string_view>

namespace kav {

// Raised when bytes are not valid in the encoding they are declared to be in. The message names
// the code page and the byte offset of the first bad sequence.
class TextCodecError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The ansi code page name as iconv knows it ("GB18030" unless changed).
std::string AnsiCodePage();
void SetAnsiCodePage(std::string name);

// UTF-8 -> ansi. Pure ASCII is returned unchanged without calling iconv.
std::string Utf8ToAnsi(std::string_view utf8);
// UTF-8 -> a code page iconv knows ("GBK", "GBK//TRANSLIT" to write "?" for what it lacks). Pure
// ASCII is returned unchanged. Raises TextCodecError for a character the code page cannot hold.
std::string Utf8ToCodePage(std::string_view utf8, const std::string& codePage);
// ansi -> UTF-8. Pure ASCII is returned unchanged without calling iconv.
std::string AnsiToUtf8(std::string_view ansi);

// UTF-8 <-> UTF-16 code units (host order). Invalid UTF-8 raises TextCodecError;
// unpaired surrogates in UTF-16 become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

bool IsAscii(std::string_view bytes) noexcept;
bool IsValidUtf8(std::string_view bytes) noexcept;

// Letter case folding of ASCII letters only (names, keys and SQL words); other bytes are unchanged.
std::string AsciiUpper(std::string_view text);
std::string AsciiLower(std::string_view text);
bool EqualsIgnoringCase(std::string_view a, std::string_view b) noexcept;

} // namespace kav
