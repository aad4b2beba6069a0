#include "platform/core/compacttext.h"

#include <limits>
#include <ostream>
#include <stdexcept>

namespace kav {

void TCompactText::Init(std::string_view text) {
    if (text.size() <= kInline) {
        CopyShort(text.data(), text.size());
        SetInline(text.size());
        return;
    }
    if (text.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("a text of " + std::to_string(text.size()) + " bytes is too long to keep");
    char* block = new char[text.size()];
    std::memcpy(block, text.data(), text.size());
    const auto size = static_cast<std::uint32_t>(text.size());
    std::memcpy(bytes_, &block, sizeof block);
    std::memcpy(bytes_ + sizeof block, &size, sizeof size);
    bytes_[kInline] = static_cast<char>(kHeapTag);
}

TCompactText& TCompactText::AssignElsewhere(std::string_view text) {
    if (OnHeap() && HeapSize() == text.size()) {
        std::memmove(HeapData(), text.data(), text.size()); // the text may be a part of this one
        return *this;
    }
    TCompactText replacement(text); // first, so that a text taken from this one is still there
    *this = std::move(replacement);
    return *this;
}

std::ostream& operator<<(std::ostream& out, const TCompactText& text) {
    return out << text.view();
}

} // namespace kav
