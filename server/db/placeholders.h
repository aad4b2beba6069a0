#pragma once
// Numbered parameter places for a list in a statement's "in (...)".

#include <cstddef>
#include <string>

namespace kav::server {

// "?first, ?first+1, ..." for `count` parameters.
inline std::string Placeholders(std::size_t first, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += (i ? ", ?" : "?") + std::to_string(first + i);
    return text;
}

} // namespace kav::server
