#include "rpc/zstreams.h"

#include <libdeflate.h>
#include <new>
#include <stdexcept>

namespace pelio {

namespace {

// Deflate's largest possible ratio is about 1032:1; a larger claim cannot be honest.
constexpr std::size_t kMaxInflateRatio = 1040;
constexpr int kFastestLevel = 1;

} // namespace

TosDeflater::TosDeflater() : compressor_(libdeflate_alloc_compressor(kFastestLevel)) {
    if (!compressor_) throw std::bad_alloc();
}

TosDeflater::~TosDeflater() {
    libdeflate_free_compressor(compressor_);
}

void TosDeflater::Compress(std::string_view in, std::string& out) {
    out.resize(libdeflate_zlib_compress_bound(compressor_, in.size()));
    const std::size_t size =
        libdeflate_zlib_compress(compressor_, in.data(), in.size(), out.data(), out.size());
    // The bound always leaves room; nothing written would mean a broken library.
    if (size == 0) throw std::runtime_error("deflate: the compressed form exceeds its bound");
    out.resize(size);
}

TosInflater::TosInflater() : decompressor_(libdeflate_alloc_decompressor()) {
    if (!decompressor_) throw std::bad_alloc();
}

TosInflater::~TosInflater() {
    libdeflate_free_decompressor(decompressor_);
}

void TosInflater::Decompress(std::string_view in, std::size_t size, std::string& out) {
    if (size / kMaxInflateRatio > in.size())
        throw std::runtime_error("Compressed body of " + std::to_string(in.size()) +
                                 " bytes cannot hold the announced " + std::to_string(size) + " bytes");
    out.resize(size);
    std::size_t read = 0;
    std::size_t written = 0;
    switch (libdeflate_zlib_decompress_ex(decompressor_, in.data(), in.size(), out.data(), size, &read,
                                          &written)) {
    case LIBDEFLATE_SUCCESS:
        break;
    case LIBDEFLATE_INSUFFICIENT_SPACE:
        throw std::runtime_error("Body inflates to more than the announced " + std::to_string(size) +
                                 " bytes");
    default: // a bad header, bad deflate data, a wrong checksum, or a stream cut short
        throw std::runtime_error("Body of " + std::to_string(in.size()) +
                                 " bytes is not a complete zlib stream (corrupt or truncated)");
    }
    if (written != size)
        throw std::runtime_error("Body inflates to " + std::to_string(written) + " bytes, " +
                                 std::to_string(size) + " announced");
    if (read != in.size())
        throw std::runtime_error("Body has " + std::to_string(in.size() - read) +
                                 " bytes after its compressed stream");
}

} // namespace pelio
