#pragma once
// A deflate encoder for small messages: greedy LZ77 matching against a one-entry hash table and
// deflate's fixed Huffman codes, in one final block, wrapped as a zlib stream whose header
// announces the fastest compression (78 01), as zlib's level 1 does.
//
// For a message of a few hundred bytes a general encoder spends most of its time setting up its
// match finder and Huffman tables (libdeflate about 3 microseconds whatever the size, this
// encoder 0.1 to 0.7), which the message is too short to profit from; this encoder does neither
// and compresses such messages about as well. Any zlib decoder reads its output.
//
// Threading: none; one encoder serves one thread.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pelio {

class TosFixedDeflater final {
public:
    // Inputs up to this size. Beyond it a general encoder's tables earn their cost in fewer bytes.
    static constexpr std::size_t kMaxInput = 512;

    // Replaces `out` with the zlib stream of `in`. `in` must be at most kMaxInput bytes.
    void Compress(std::string_view in, std::string& out);

private:
    static constexpr int kHashBits = 12;
    // Positions where a 3-byte sequence was last seen: only hints, each is checked against the
    // current input, so entries left by an earlier message need no clearing.
    std::array<std::uint16_t, std::size_t{1} << kHashBits> lastSeen_{};
};

} // namespace pelio
