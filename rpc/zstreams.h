#pragma once
// Whole-buffer zlib streams (RFC 1950) for message bodies, through libdeflate: a message is always
// compressed and inflated in one piece, which libdeflate does about twice as fast as zlib's
// streaming interface. Each object keeps its libdeflate state for the life of its owner: setting
// one up costs more than compressing a small message.
//
// Threading: none; one object serves one thread.

#include <cstddef>
#include <string>
#include <string_view>

struct libdeflate_compressor;
struct libdeflate_decompressor;

namespace pelio {

// Deflate level 1 in a zlib stream whose header announces the fastest level (78 01), as zlib's
// level 1 writes it; any zlib reader reads it.
class TosDeflater final {
public:
    TosDeflater(); // raises std::bad_alloc when libdeflate cannot set up
    ~TosDeflater();
    TosDeflater(const TosDeflater&) = delete;
    TosDeflater& operator=(const TosDeflater&) = delete;

    // Replaces `out` with the whole compressed form of `in`.
    void Compress(std::string_view in, std::string& out);

private:
    libdeflate_compressor* compressor_;
};

class TosInflater final {
public:
    TosInflater(); // raises std::bad_alloc when libdeflate cannot set up
    ~TosInflater();
    TosInflater(const TosInflater&) = delete;
    TosInflater& operator=(const TosInflater&) = delete;

    // Replaces `out` with the decompressed form of `in`, which must be one complete zlib stream of
    // exactly `size` bytes, with a correct checksum and nothing after it. More output than `size`
    // is never produced; a `size` that `in` could not honestly hold is refused before anything is
    // allocated. Any fault raises std::runtime_error saying what was wrong.
    void Decompress(std::string_view in, std::size_t size, std::string& out);

private:
    libdeflate_decompressor* decompressor_;
};

} // namespace pelio
