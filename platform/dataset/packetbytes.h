#pragma once
// Little-endian primitives of data packets. Internal to the dataset.
//
// PacketReader checks every read against the end of its input and raises EDatabaseError naming
// the offset; it never reads past the end and never allocates from a count it has not checked.

#include "platform/dataset/errors.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace kav::detail {

class PacketWriter {
public:
    explicit PacketWriter(std::string& out) : out_(out) {}
    void U8(std::uint8_t v) { out_.push_back(static_cast<char>(v)); }
    void U16(std::uint16_t v) { Raw(v); }
    void U32(std::uint32_t v) { Raw(v); }
    void I16(std::int16_t v) { Raw(v); }
    void I32(std::int32_t v) { Raw(v); }
    void I64(std::int64_t v) { Raw(v); }
    void F64(double v) { Raw(std::bit_cast<std::uint64_t>(v)); }
    void Bytes(std::string_view bytes) { out_.append(bytes); }
    std::size_t Size() const { return out_.size(); }
    // Overwrites a U32 written earlier at `offset` (length prefixes).
    void PatchU32(std::size_t offset, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out_[offset + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
    }

private:
    template <typename T> void Raw(T v) {
        static_assert(std::endian::native == std::endian::little || std::endian::native == std::endian::big);
        char bytes[sizeof(T)];
        for (std::size_t i = 0; i < sizeof(T); ++i)
            bytes[i] = static_cast<char>(static_cast<std::make_unsigned_t<T>>(v) >> (8 * i));
        out_.append(bytes, sizeof(T));
    }
    std::string& out_;
};

class PacketReader {
public:
    explicit PacketReader(std::string_view in, std::size_t base = 0) : in_(in), base_(base) {}
    std::uint8_t U8() { return static_cast<std::uint8_t>(Take(1)[0]); }
    std::uint16_t U16() { return Raw<std::uint16_t>(); }
    std::uint32_t U32() { return Raw<std::uint32_t>(); }
    std::int16_t I16() { return static_cast<std::int16_t>(Raw<std::uint16_t>()); }
    std::int32_t I32() { return static_cast<std::int32_t>(Raw<std::uint32_t>()); }
    std::int64_t I64() { return static_cast<std::int64_t>(Raw<std::uint64_t>()); }
    double F64() { return std::bit_cast<double>(Raw<std::uint64_t>()); }
    std::string_view Take(std::size_t n) {
        if (n > Remaining())
            Fail("needs " + std::to_string(n) + " bytes, " + std::to_string(Remaining()) + " left");
        auto bytes = in_.substr(pos_, n);
        pos_ += n;
        return bytes;
    }
    std::size_t Remaining() const { return in_.size() - pos_; }
    std::size_t Offset() const { return base_ + pos_; }
    [[noreturn]] void Fail(const std::string& what) const {
        throw EDatabaseError("Bad data packet at offset " + std::to_string(Offset()) + ": " + what);
    }

private:
    template <typename T> T Raw() {
        auto bytes = Take(sizeof(T));
        T v = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            v |= static_cast<T>(static_cast<std::uint8_t>(bytes[i])) << (8 * i);
        return v;
    }
    std::string_view in_;
    std::size_t pos_ = 0;
    std::size_t base_;
};

} // namespace kav::detail
