#pragma once
// Test helpers: byte strings written as hexadecimal text ("03 00 00 00 61").

#include <string>
#include <string_view>

namespace pelio::testing {

inline std::string HexBytes(std::string_view hex) {
    std::string out;
    int pending = -1;
    for (char c : hex) {
        int digit = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                           : -1;
        if (digit < 0) continue;
        if (pending < 0) {
            pending = digit;
        } else {
            out.push_back(static_cast<char>(pending * 16 + digit));
            pending = -1;
        }
    }
    return out;
}

} // namespace pelio::testing
