#include "rpc/realformats.h"

#include <cmath>
#include <stdexcept>

namespace pelio {

namespace {

constexpr int kReal48Bias = 129;
constexpr int kExtendedBias = 16383;

} // namespace

Real48Bytes EncodeReal48(TExtended value) {
    Real48Bytes bytes{};
    if (!std::isfinite(value)) throw std::range_error("Real48 cannot hold an infinite or NaN value");
    if (value == 0) return bytes;
    const bool negative = std::signbit(value);
    int exponent = 0;
    // |value| = m * 2^exponent with m in [0.5, 1); Real48 wants 1.f * 2^(e - 129).
    TExtended mantissa = std::frexp(std::fabs(value), &exponent);
    std::uint64_t fraction = static_cast<std::uint64_t>(std::llround(std::ldexp(mantissa, 40)));
    if (fraction >> 40) { // rounding carried into a new leading bit
        fraction >>= 1;
        ++exponent;
    }
    int biased = exponent - 1 + kReal48Bias;
    if (biased <= 0) return bytes;
    if (biased > 255) throw std::range_error("Value out of the Real48 range");
    fraction &= (std::uint64_t{1} << 39) - 1;
    bytes[0] = static_cast<std::uint8_t>(biased);
    for (int i = 0; i < 5; ++i)
        bytes[1 + i] = static_cast<std::uint8_t>(fraction >> (8 * i));
    if (negative) bytes[5] |= 0x80;
    return bytes;
}

TExtended DecodeReal48(const Real48Bytes& bytes) noexcept {
    if (bytes[0] == 0) return 0;
    std::uint64_t fraction = 0;
    for (int i = 0; i < 5; ++i)
        fraction |= std::uint64_t{bytes[1 + i]} << (8 * i);
    fraction &= (std::uint64_t{1} << 39) - 1;
    TExtended magnitude =
        std::ldexp(static_cast<TExtended>(fraction | (std::uint64_t{1} << 39)), bytes[0] - kReal48Bias - 39);
    return (bytes[5] & 0x80) ? -magnitude : magnitude;
}

ExtendedBytes EncodeExtended(TExtended value) noexcept {
    ExtendedBytes bytes{};
    std::uint64_t mantissa = 0;
    int biased = 0;
    const bool negative = std::signbit(value);
    if (std::isnan(value)) {
        biased = 0x7FFF;
        mantissa = 0xC000000000000000ull;
    } else if (std::isinf(value)) {
        biased = 0x7FFF;
        mantissa = 0x8000000000000000ull;
    } else if (value != 0) {
        int exponent = 0;
        TExtended m = std::frexp(std::fabs(value), &exponent); // [0.5, 1)
        biased = exponent - 1 + kExtendedBias;
        if (biased <= 0) { // subnormal: exponent field 0 stands for 2^(1 - bias), no implicit bit
            m = std::ldexp(m, biased - 1);
            biased = 0;
        }
        // m < 1, so m * 2^64 fits; split to stay exact where long double has 64 mantissa bits.
        TExtended high = std::floor(std::ldexp(m, 32));
        TExtended low = std::ldexp(m, 64) - std::ldexp(high, 32);
        mantissa = (static_cast<std::uint64_t>(high) << 32) | static_cast<std::uint64_t>(low);
    }
    for (int i = 0; i < 8; ++i)
        bytes[i] = static_cast<std::uint8_t>(mantissa >> (8 * i));
    const unsigned top = static_cast<unsigned>(biased) | (negative ? 0x8000u : 0u);
    bytes[8] = static_cast<std::uint8_t>(top);
    bytes[9] = static_cast<std::uint8_t>(top >> 8);
    return bytes;
}

TExtended DecodeExtended(const ExtendedBytes& bytes) noexcept {
    std::uint64_t mantissa = 0;
    for (int i = 0; i < 8; ++i)
        mantissa |= std::uint64_t{bytes[i]} << (8 * i);
    const unsigned top = bytes[8] | (unsigned{bytes[9]} << 8);
    const bool negative = (top & 0x8000) != 0;
    const int biased = static_cast<int>(top & 0x7FFF);
    TExtended magnitude;
    if (biased == 0x7FFF) {
        magnitude = (mantissa << 1) == 0 ? HUGE_VALL : std::nanl("");
    } else {
        const int exponent = (biased == 0 ? 1 : biased) - kExtendedBias - 63;
        magnitude = std::ldexp(static_cast<TExtended>(mantissa >> 32), exponent + 32) +
                    std::ldexp(static_cast<TExtended>(mantissa & 0xFFFFFFFFu), exponent);
    }
    return negative ? -magnitude : magnitude;
}

} // namespace pelio
