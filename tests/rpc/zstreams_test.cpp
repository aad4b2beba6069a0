#include "rpc/zstreams.h"
#include "zlibpeer.h"

#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <stdexcept>
#include <zlib.h>

using pelio::TosDeflater;
using pelio::TosInflater;
using pelio::test::ZlibCompress;
using pelio::test::ZlibInflate;

namespace {

// zlib's streaming deflate, flushed every `piece` bytes: many blocks, stored and compressed mixed.
std::string ZlibCompressInPieces(const std::string& data, std::size_t piece) {
    z_stream stream{};
    deflateInit(&stream, 1);
    std::string out(compressBound(data.size()) + 64 * (data.size() / piece + 1), '\0');
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    for (std::size_t at = 0; at < data.size(); at += piece) {
        const std::size_t n = std::min(piece, data.size() - at);
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data() + at));
        stream.avail_in = static_cast<uInt>(n);
        deflate(&stream, at + n == data.size() ? Z_FINISH : Z_FULL_FLUSH);
    }
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

// Text-like rows with repeats near and far, and incompressible noise.
std::string Sample(std::size_t size, bool noisy) {
    std::mt19937 random(static_cast<unsigned>(size));
    std::string s;
    s.reserve(size);
    while (s.size() < size) {
        if (noisy)
            s.push_back(static_cast<char>(random()));
        else
            s += "ORDER" + std::to_string(random() % 5000) + "\x01\0\0\0N\xE5\x94\xAE" +
                 std::string(random() % 9, ' ');
    }
    s.resize(size);
    return s;
}

std::string Message(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "accepted";
}

} // namespace

TEST(ZStreams, OurStreamsAndZlibsReadEachOther) {
    TosDeflater deflater; // one of each throughout: nothing may leak from one message to the next
    TosInflater inflater;
    std::string stream, back;
    for (bool noisy : {false, true}) {
        for (std::size_t size : {std::size_t{1}, std::size_t{513}, std::size_t{16385}, std::size_t{70000},
                                 std::size_t{3} << 20}) {
            SCOPED_TRACE(std::to_string(size) + (noisy ? " noisy bytes" : " text bytes"));
            const std::string data = Sample(size, noisy);

            deflater.Compress(data, stream);
            EXPECT_EQ(stream.substr(0, 2), "\x78\x01") << "the zlib header of the fastest level";
            EXPECT_EQ(ZlibInflate(stream, size), data) << "zlib reads ours";
            inflater.Decompress(stream, size, back);
            EXPECT_EQ(back, data) << "we read ours";

            for (const std::string& theirs : {ZlibCompress(data, 1), ZlibCompress(data, 9),
                                              ZlibCompress(data, 0), ZlibCompressInPieces(data, 1000)}) {
                back.clear();
                inflater.Decompress(theirs, size, back);
                EXPECT_EQ(back, data) << "we read zlib's";
            }
        }
    }
}

TEST(ZStreams, FaultyStreamsAreRefusedAndTheInflaterStaysUsable) {
    const std::string data = Sample(5000, false);
    const std::string good = ZlibCompress(data, 1);
    std::string flipped = good;
    flipped[good.size() / 2] = static_cast<char>(flipped[good.size() / 2] ^ 0x10);
    std::string badChecksum = good;
    badChecksum.back() = static_cast<char>(badChecksum.back() ^ 1);
    const std::string bomb = ZlibCompress(std::string(4 << 20, '\0'), 9);
    struct Case {
        const char* name;
        std::string stream;
        std::size_t size;
        const char* says; // a part of the message; a stream cut short may read as too long or corrupt
    } cases[] = {
        {"empty body", "", data.size(), ""},
        {"header only", good.substr(0, 2), data.size(), ""},
        {"cut in the deflate data", good.substr(0, good.size() / 2), data.size(),
         "not a complete zlib stream"},
        {"cut in the checksum", good.substr(0, good.size() - 2), data.size(), ""},
        {"a flipped bit", flipped, data.size(), ""},
        {"a wrong checksum", badChecksum, data.size(), "not a complete zlib stream"},
        {"raw deflate without zlib header", good.substr(2), data.size(), "not a complete zlib stream"},
        {"more than announced", good, data.size() - 1, "more than the announced"},
        {"less than announced", good, data.size() + 1, "inflates to 5000 bytes, 5001 announced"},
        {"bytes after the stream", good + "xy", data.size(), "2 bytes after its compressed stream"},
        {"two streams back to back", good + good, data.size(), "after its compressed stream"},
        {"a size no body that short can hold", good.substr(0, 10), std::size_t{1} << 30, "cannot hold"},
        {"a bomb announced as small", bomb, 100, "more than the announced"},
    };
    TosInflater inflater;
    std::string out;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string message = Message([&] { inflater.Decompress(c.stream, c.size, out); });
        EXPECT_NE(message, "accepted");
        EXPECT_NE(message.find(c.says), std::string::npos) << message;
        EXPECT_LE(out.size(), c.size) << "never more output than announced";
        inflater.Decompress(good, data.size(), out);
        EXPECT_EQ(out, data) << "the next message inflates intact";
    }
}
