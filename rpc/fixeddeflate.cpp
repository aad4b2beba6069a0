#include "rpc/fixeddeflate.h"

#include <algorithm>
#include <stdexcept>
#include <zlib.h>

namespace pelio {

namespace {

constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 258;
constexpr unsigned kEndOfBlock = 256;

constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                       15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                       67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> kDistanceExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                         6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

constexpr unsigned Reverse(unsigned code, int length) {
    unsigned reversed = 0;
    for (int i = 0; i < length; ++i, code >>= 1)
        reversed = (reversed << 1) | (code & 1);
    return reversed;
}

// A Huffman code ready for a bit stream that fills bytes from their low bit: deflate sends
// Huffman codes from their most significant bit, so they are stored reversed.
struct Code {
    std::uint16_t bits;
    std::uint8_t length;
};

// The fixed literal/length code.
constexpr std::array<Code, 288> kLiteralCodes = [] {
    std::array<Code, 288> codes{};
    for (unsigned symbol = 0; symbol < codes.size(); ++symbol) {
        unsigned code = 0;
        int length = 0;
        if (symbol < 144) {
            code = 0x30 + symbol, length = 8;
        } else if (symbol < 256) {
            code = 0x190 + (symbol - 144), length = 9;
        } else if (symbol < 280) {
            code = symbol - 256, length = 7;
        } else {
            code = 0xC0 + (symbol - 280), length = 8;
        }
        codes[symbol] = {static_cast<std::uint16_t>(Reverse(code, length)),
                         static_cast<std::uint8_t>(length)};
    }
    return codes;
}();

// Index into kLengthBase of every match length from kMinMatch to kMaxMatch.
constexpr std::array<std::uint8_t, kMaxMatch - kMinMatch + 1> kLengthSlot = [] {
    std::array<std::uint8_t, kMaxMatch - kMinMatch + 1> slots{};
    std::size_t slot = 0;
    for (std::size_t length = kMinMatch; length <= kMaxMatch; ++length) {
        while (slot + 1 < kLengthBase.size() && kLengthBase[slot + 1] <= length)
            ++slot;
        slots[length - kMinMatch] = static_cast<std::uint8_t>(slot);
    }
    return slots;
}();

class BitWriter {
public:
    explicit BitWriter(char* out) : out_(out) {}

    // `count` is at most 16, so the 64-bit store never overflows between flushes.
    void Put(std::uint32_t bits, int count) {
        pending_ |= std::uint64_t{bits} << pendingCount_;
        pendingCount_ += count;
        if (pendingCount_ < 32) return;
        for (int i = 0; i < 4; ++i, pending_ >>= 8)
            *out_++ = static_cast<char>(pending_ & 0xFF);
        pendingCount_ -= 32;
    }
    void PutCode(const Code& code) { Put(code.bits, code.length); }
    // Pads the last byte with zero bits; returns the end of the output.
    char* Finish() {
        for (; pendingCount_ > 0; pendingCount_ -= 8, pending_ >>= 8)
            *out_++ = static_cast<char>(pending_ & 0xFF);
        return out_;
    }

private:
    char* out_;
    std::uint64_t pending_ = 0;
    int pendingCount_ = 0;
};

std::uint32_t Hash(const unsigned char* at, int bits) {
    const std::uint32_t three = at[0] | (std::uint32_t{at[1]} << 8) | (std::uint32_t{at[2]} << 16);
    return (three * 2654435761u) >> (32 - bits);
}

void PutMatch(BitWriter& writer, std::size_t length, std::size_t distance) {
    const std::size_t slot = kLengthSlot[length - kMinMatch];
    writer.PutCode(kLiteralCodes[257 + slot]);
    writer.Put(static_cast<std::uint32_t>(length - kLengthBase[slot]), kLengthExtra[slot]);
    std::size_t code = kDistanceBase.size() - 1;
    while (kDistanceBase[code] > distance)
        --code;
    writer.Put(Reverse(static_cast<unsigned>(code), 5), 5);
    writer.Put(static_cast<std::uint32_t>(distance - kDistanceBase[code]), kDistanceExtra[code]);
}

} // namespace

void TosFixedDeflater::Compress(std::string_view in, std::string& out) {
    if (in.size() > kMaxInput)
        throw std::invalid_argument("Fixed-code compression takes at most " + std::to_string(kMaxInput) +
                                    " bytes");
    // Header; at most 9 bits per input byte (a literal takes 7 to 9 bits, a match of 3 to 10 bytes
    // at most 25, a longer one at most 31); block header, end code and padding; checksum.
    out.resize(2 + (in.size() * 9 + 7 + 3 + 7) / 8 + 4);
    out[0] = 0x78; // deflate, 32 KB window
    out[1] = 0x01; // fastest compression, no dictionary, header check bits
    BitWriter writer(out.data() + 2);
    writer.Put(0b011, 3); // final block, fixed codes

    const auto* data = reinterpret_cast<const unsigned char*>(in.data());
    const std::size_t size = in.size();
    std::size_t position = 0;
    while (position < size) {
        std::size_t length = 0;
        std::size_t candidate = 0;
        if (size - position >= kMinMatch) {
            std::uint16_t& entry = lastSeen_[Hash(data + position, kHashBits)];
            candidate = entry;
            entry = static_cast<std::uint16_t>(position);
            if (candidate < position) {
                const std::size_t limit = std::min(size - position, kMaxMatch);
                while (length < limit && data[candidate + length] == data[position + length])
                    ++length;
            }
        }
        if (length < kMinMatch) {
            writer.PutCode(kLiteralCodes[data[position]]);
            ++position;
            continue;
        }
        PutMatch(writer, length, position - candidate);
        // Remember the matched positions too, so later repeats of them are found.
        const std::size_t end = position + length;
        for (++position; position < end && size - position >= kMinMatch; ++position)
            lastSeen_[Hash(data + position, kHashBits)] = static_cast<std::uint16_t>(position);
        position = end;
    }
    writer.PutCode(kLiteralCodes[kEndOfBlock]);
    char* end = writer.Finish();

    const auto checksum = static_cast<std::uint32_t>(
        adler32(adler32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(in.data()), static_cast<uInt>(size)));
    for (int shift = 24; shift >= 0; shift -= 8)
        *end++ = static_cast<char>(checksum >> shift);
    out.resize(static_cast<std::size_t>(end - out.data()));
}

} // namespace pelio
