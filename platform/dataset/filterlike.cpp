#include "platform/dataset/filterlike.h"

namespace kav::filter {
namespace {

// Bytes in the UTF-8 character starting at text[i]; a stray byte of broken UTF-8 counts as one.
std::size_t CharLength(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    std::size_t end = i + 1;
    while (end < text.size() && end < i + length && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        ++end;
    return end - i;
}

} // namespace

LikePattern::LikePattern(std::string pattern) : pattern_(std::move(pattern)) {}

bool LikePattern::Matches(std::string_view text) const noexcept {
    const std::string_view p = pattern_;
    std::size_t pi = 0, ti = 0;
    // Where to resume after the last %: that % may then swallow one more character.
    std::size_t starP = std::string_view::npos, starT = 0;
    while (ti < text.size()) {
        if (pi < p.size() && p[pi] == '%') {
            starP = ++pi;
            starT = ti;
        } else if (pi < p.size() && p[pi] == '_') {
            ++pi;
            ti += CharLength(text, ti);
        } else if (pi < p.size() && p[pi] == text[ti]) {
            ++pi;
            ++ti;
        } else if (starP != std::string_view::npos) {
            starT += CharLength(text, starT);
            ti = starT;
            pi = starP;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '%')
        ++pi;
    return pi == p.size();
}

} // namespace kav::filter
