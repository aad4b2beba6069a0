#pragma once
// A hint that a block of memory is read soon, for loops that walk heap objects in an order the
// processor cannot guess (rows, records). It never faults and changes no result.

#include <cstddef>

namespace kav {

inline void PrefetchBytes(const void* begin, std::size_t size) noexcept {
    constexpr std::size_t kCacheLine = 64;
    const char* bytes = static_cast<const char*>(begin);
    for (std::size_t offset = 0; offset < size; offset += kCacheLine)
        __builtin_prefetch(bytes + offset);
}

} // namespace kav
