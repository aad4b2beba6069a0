#pragma once
// One zlib deflate and one inflate stream, each kept for the life of its owner and reset per
// message: building a fresh zlib state per call costs far more than the compression of a small
// message itself.

#include <cstddef>
#include <string>
#include <string_view>
#include <zlib.h>

namespace pelio {

// zlib format (RFC 1950), level 1. `memoryLevel` (1-9, zlib's memLevel) sizes the match hash
// table, which a reset clears: small messages compress as well with a small table, and faster.
class TosDeflater final {
public:
    explicit TosDeflater(int memoryLevel = 8);
    ~TosDeflater();
    TosDeflater(const TosDeflater&) = delete;
    TosDeflater& operator=(const TosDeflater&) = delete;

    // Replaces `out` with the whole compressed form of `in`. Raises std::runtime_error on a zlib
    // failure.
    void Compress(std::string_view in, std::string& out);

private:
    z_stream stream_{};
};

class TosInflater final {
public:
    TosInflater();
    ~TosInflater();
    TosInflater(const TosInflater&) = delete;
    TosInflater& operator=(const TosInflater&) = delete;

    // Replaces `out` with the decompressed form of `in`, which must be one complete zlib stream of
    // exactly `size` bytes and nothing after it. More output than `size` is never produced: a
    // stream that would exceed it, stops short of it, or is corrupt raises std::runtime_error
    // with zlib's message or the mismatch.
    void Decompress(std::string_view in, std::size_t size, std::string& out);

private:
    z_stream stream_{};
};

} // namespace pelio
