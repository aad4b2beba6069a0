#include "rpc/fixeddeflate.h"
#include "zlibpeer.h"

#include <gtest/gtest.h>
#include <random>
#include <stdexcept>

using pelio::TosFixedDeflater;
using pelio::test::ZlibInflate;

namespace {

struct Shape {
    const char* name;
    std::string (*make)(std::size_t size, std::mt19937& random);
};

const Shape kShapes[] = {
    {"random bytes",
     [](std::size_t size, std::mt19937& random) {
         std::string s(size, '\0');
         for (char& c : s)
             c = static_cast<char>(random());
         return s;
     }},
    {"one byte repeated (longest matches at distance 1)",
     [](std::size_t size, std::mt19937&) { return std::string(size, 'x'); }},
    {"short period",
     [](std::size_t size, std::mt19937& random) {
         const std::size_t period = 2 + random() % 7;
         std::string s(size, '\0');
         for (std::size_t i = 0; i < size; ++i)
             s[i] = static_cast<char>('a' + i % period);
         return s;
     }},
    {"text with far repeats and high bytes",
     [](std::size_t size, std::mt19937& random) {
         static const std::string words[] = {
             "ReleaseSeat",    "TTPTicketOffice",    "\xE5\x94\xAE\xE7\xA5\xA8",
             "20261207000123", std::string(4, '\0'), "SIGNATURE=6b1f0e7c\n"};
         std::string s;
         while (s.size() < size)
             s += words[random() % std::size(words)];
         s.resize(size);
         return s;
     }},
};

} // namespace

TEST(FixedDeflate, EveryShapeAndSizeInflatesBackWithZlib) {
    TosFixedDeflater deflater; // one encoder throughout: what an earlier message left must not leak
    std::mt19937 random(7);
    std::string stream;
    for (const Shape& shape : kShapes) {
        for (std::size_t size = 0; size <= TosFixedDeflater::kMaxInput;
             size += size < 40 ? 1 : 1 + random() % 97) {
            const std::string data = shape.make(size, random);
            deflater.Compress(data, stream);
            ASSERT_GE(stream.size(), 2u);
            EXPECT_EQ(stream.substr(0, 2), "\x78\x01") << "a zlib header announcing the fastest level";
            ASSERT_EQ(ZlibInflate(stream, size), data) << shape.name << ", " << size << " bytes";
        }
        const std::string full = shape.make(TosFixedDeflater::kMaxInput, random);
        deflater.Compress(full, stream);
        ASSERT_EQ(ZlibInflate(stream, full.size()), full) << shape.name << ", the largest input";
    }
}

TEST(FixedDeflate, CompressesRepetitiveMessagesAndRefusesLargeOnes) {
    TosFixedDeflater deflater;
    std::string stream;
    deflater.Compress(std::string(TosFixedDeflater::kMaxInput, '\0'), stream);
    EXPECT_LT(stream.size(), 30u) << "runs become matches";
    EXPECT_THROW(deflater.Compress(std::string(TosFixedDeflater::kMaxInput + 1, 'a'), stream),
                 std::invalid_argument);
}
