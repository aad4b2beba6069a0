#pragma once
// What a peer using zlib itself does with our message bodies, and what it sends us: zlib's own
// one-shot coders, so that the tests check the wire against the reference implementation.

#include <gtest/gtest.h>
#include <string>
#include <zlib.h>

namespace pelio::test {

// zlib's one-shot decoder, told the exact size; a text naming zlib's code when it refuses.
inline std::string ZlibInflate(const std::string& stream, std::size_t size) {
    std::string out(size, '\0');
    uLongf outSize = size;
    const int rc = uncompress(reinterpret_cast<Bytef*>(out.data()), &outSize,
                              reinterpret_cast<const Bytef*>(stream.data()), stream.size());
    if (rc != Z_OK || outSize != size) return "zlib refused the stream: " + std::to_string(rc);
    return out;
}

// zlib's one-shot encoder at `level`.
inline std::string ZlibCompress(const std::string& data, int level) {
    uLongf size = compressBound(data.size());
    std::string out(size, '\0');
    EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                        reinterpret_cast<const Bytef*>(data.data()), data.size(), level),
              Z_OK);
    out.resize(size);
    return out;
}

} // namespace pelio::test
