#include "platform/core/textcodec.h"

#include <cerrno>
#include <iconv.h>
#include <mutex>

namespace kav {
namespace {

std::mutex codePageMutex;
std::string codePage = "GB18030";

// One iconv descriptor per thread and direction, reopened when the code page changes.
class Converter final {
public:
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    Converter() = default;
    ~Converter() { close(); }

    std::string convert(std::string_view input, const std::string& from, const std::string& to) {
        if (handle_ == reinterpret_cast<iconv_t>(-1) || from != from_ || to != to_) {
            close();
            handle_ = iconv_open(to.c_str(), from.c_str());
            if (handle_ == reinterpret_cast<iconv_t>(-1))
                throw TextCodecError("unknown code page conversion " + from + " -> " + to);
            from_ = from;
            to_ = to;
        }
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        std::string out;
        out.resize(input.size() * 2 + 16);
        char* in = const_cast<char*>(input.data());
        size_t inLeft = input.size();
        size_t written = 0;
        while (true) {
            char* outPtr = out.data() + written;
            size_t outLeft = out.size() - written;
            size_t rc = iconv(handle_, inLeft ? &in : nullptr, &inLeft, &outPtr, &outLeft);
            written = out.size() - outLeft;
            if (rc != static_cast<size_t>(-1)) {
                if (inLeft == 0) break;
                continue;
            }
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            const size_t offset = input.size() - inLeft;
            throw TextCodecError("text is not valid " + from + " at byte " + std::to_string(offset));
        }
        out.resize(written);
        return out;
    }

private:
    void close() {
        if (handle_ != reinterpret_cast<iconv_t>(-1)) iconv_close(handle_);
        handle_ = reinterpret_cast<iconv_t>(-1);
    }
    iconv_t handle_ = reinterpret_cast<iconv_t>(-1);
    std::string from_, to_;
};

thread_local Converter toAnsi;
thread_local Converter fromAnsi;
thread_local Converter toCodePage;

} // namespace

std::string AnsiCodePage() {
    std::lock_guard lock(codePageMutex);
    return codePage;
}

void SetAnsiCodePage(std::string name) {
    std::lock_guard lock(codePageMutex);
    codePage = std::move(name);
}

bool IsAscii(std::string_view bytes) noexcept {
    for (unsigned char c : bytes)
        if (c & 0x80) return false;
    return true;
}

bool IsValidUtf8(std::string_view s) noexcept {
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = s[i];
        int extra;
        char32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<size_t>(extra) >= s.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            unsigned char cc = s[i + k];
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        static constexpr char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
        if (cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

std::string Utf8ToAnsi(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    return toAnsi.convert(utf8, "UTF-8", AnsiCodePage());
}

std::string Utf8ToCodePage(std::string_view utf8, const std::string& codePage) {
    if (IsAscii(utf8)) return std::string(utf8);
    return toCodePage.convert(utf8, "UTF-8", codePage);
}

std::string AnsiToUtf8(std::string_view ansi) {
    if (IsAscii(ansi)) return std::string(ansi);
    return fromAnsi.convert(ansi, AnsiCodePage(), "UTF-8");
}

std::u16string Utf8ToUtf16(std::string_view s) {
    if (!IsValidUtf8(s)) throw TextCodecError("text is not valid UTF-8");
    std::u16string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = s[i];
        char32_t cp;
        int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : 3;
        cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
        for (int k = 1; k <= extra; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        i += extra + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::string AsciiUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

} // namespace kav
