#include "rpc/zstreams.h"

#include <limits>
#include <stdexcept>

namespace pelio {

namespace {

// zlib's largest possible ratio is about 1032:1; a larger claim cannot be honest.
constexpr std::size_t kMaxInflateRatio = 1040;

[[noreturn]] void ZlibFailure(const char* step, int code, const z_stream& stream) {
    throw std::runtime_error(std::string(step) + ": " + (stream.msg ? stream.msg : zError(code)));
}

uInt ChunkSize(std::size_t left) {
    return static_cast<uInt>(std::min<std::size_t>(left, std::numeric_limits<uInt>::max()));
}

} // namespace

TosDeflater::TosDeflater(int memoryLevel) {
    if (const int rc = deflateInit2(&stream_, 1, Z_DEFLATED, MAX_WBITS, memoryLevel, Z_DEFAULT_STRATEGY);
        rc != Z_OK)
        ZlibFailure("deflateInit", rc, stream_);
}

TosDeflater::~TosDeflater() {
    deflateEnd(&stream_);
}

void TosDeflater::Compress(std::string_view in, std::string& out) {
    if (const int rc = deflateReset(&stream_); rc != Z_OK) ZlibFailure("deflateReset", rc, stream_);
    out.resize(deflateBound(&stream_, static_cast<uLong>(in.size())));
    stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    stream_.avail_in = ChunkSize(in.size());
    stream_.next_out = reinterpret_cast<Bytef*>(out.data());
    stream_.avail_out = ChunkSize(out.size());
    const int rc = deflate(&stream_, Z_FINISH);
    if (rc != Z_STREAM_END) ZlibFailure("deflate", rc, stream_);
    out.resize(stream_.total_out);
}

TosInflater::TosInflater() {
    if (const int rc = inflateInit(&stream_); rc != Z_OK) ZlibFailure("inflateInit", rc, stream_);
}

TosInflater::~TosInflater() {
    inflateEnd(&stream_);
}

void TosInflater::Decompress(std::string_view in, std::size_t size, std::string& out) {
    if (size / kMaxInflateRatio > in.size())
        throw std::runtime_error("Compressed body of " + std::to_string(in.size()) +
                                 " bytes cannot hold the announced " + std::to_string(size) + " bytes");
    if (const int rc = inflateReset(&stream_); rc != Z_OK) ZlibFailure("inflateReset", rc, stream_);
    out.resize(size);
    stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    stream_.avail_in = ChunkSize(in.size());
    stream_.next_out = reinterpret_cast<Bytef*>(out.data());
    stream_.avail_out = ChunkSize(size);
    int rc = inflate(&stream_, Z_FINISH);
    if (rc == Z_BUF_ERROR && stream_.avail_out == 0) {
        // The output is full: the stream must end here, so one more byte of room must stay unused.
        unsigned char probe;
        stream_.next_out = &probe;
        stream_.avail_out = 1;
        rc = inflate(&stream_, Z_FINISH);
        if (stream_.avail_out == 0)
            throw std::runtime_error("Body inflates to more than the announced " + std::to_string(size) +
                                     " bytes");
    }
    if (rc == Z_BUF_ERROR)
        throw std::runtime_error("Body is truncated: it inflates to " + std::to_string(stream_.total_out) +
                                 " of the announced " + std::to_string(size) + " bytes");
    if (rc != Z_STREAM_END) ZlibFailure("inflate", rc, stream_);
    if (stream_.total_out != size)
        throw std::runtime_error("Body inflates to " + std::to_string(stream_.total_out) + " bytes, " +
                                 std::to_string(size) + " announced");
    if (stream_.avail_in != 0)
        throw std::runtime_error("Body has " + std::to_string(stream_.avail_in) +
                                 " bytes after its compressed stream");
}

} // namespace pelio
