#pragma once
// Portable conversions of the two legacy floating-point formats to and from the host's
// `long double`. The conversions work on the bit layout, so they give the same bytes on every
// host; where `long double` is narrower than 80 bits the low mantissa bits are rounded away.
//
// Real48 (6 bytes, little-endian): byte 0 is the exponent biased by 129 (0 means the value 0),
// bytes 1-5 hold a 39-bit fraction with an implicit leading 1, bit 47 is the sign.
// Extended (10 bytes, little-endian): a 64-bit mantissa with explicit integer bit, then 15 bits
// of exponent biased by 16383 and the sign bit (the x87 80-bit format).

#include <array>
#include <cstdint>

namespace pelio {

// The program's type for 80-bit extended values.
using TExtended = long double;

using Real48Bytes = std::array<std::uint8_t, 6>;
using ExtendedBytes = std::array<std::uint8_t, 10>;

// Raises std::range_error when |value| is above the Real48 range or not finite; values below
// its smallest normal number become 0.
Real48Bytes EncodeReal48(TExtended value);
TExtended DecodeReal48(const Real48Bytes& bytes) noexcept;

ExtendedBytes EncodeExtended(TExtended value) noexcept;
TExtended DecodeExtended(const ExtendedBytes& bytes) noexcept;

} // namespace pelio
