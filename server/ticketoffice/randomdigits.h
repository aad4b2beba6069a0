#pragma once
// Random decimal digits from libsodium's generator, for codes that are printed or told to a
// customer and must not be guessable (ticket bar codes, collection passwords).

#include <sodium.h>
#include <string>

namespace kav::server {

inline std::string RandomDigits(int count) {
    std::string digits;
    for (int i = 0; i < count; ++i)
        digits += static_cast<char>('0' + randombytes_uniform(10));
    return digits;
}

} // namespace kav::server
