#pragma once
// TosDataBuffer: the marshalling buffer every message is composed in and decoded from.
//
// Wire format: a flat byte sequence without type tags, no alignment or padding, every multi-byte
// value little-endian. Writer and reader agree on the order and types; only variants carry a type
// code (signed 32-bit, the 16-bit variant type zero-extended) before their payload.
//   - Length prefixes are signed 32-bit. String: byte count then the bytes in the ansi code page
//     (GB18030; UTF-8 inside the program). WideString: UTF-16 unit count then UTF-16LE units.
//     PChar: text length + 1, the bytes and a zero byte (null is sent as the empty text).
//     PWideChar: unit count without terminator, then the units (null is sent as prefix 0).
//   - Variant arrays: type code with bit 0x2000, then dimension count (16), feature flags (16),
//     element size (32), per dimension element count and lower bound (32 each), then the
//     elements: fixed-size types as one block of n x element size bytes, wide strings as
//     WideString, ansi strings as String, variants recursively.
//
// Reading never trusts the input: every read checks the bytes that remain, and prefixes, counts
// and dimension numbers larger than what remains are refused before anything is allocated.
// Failures raise std::runtime_error (the text "无效的数据格式!" for unsupported variant or element
// types). After a failed read the buffer is only fit for Reset.
//
// Threading: none; one thread uses a buffer at a time.

#include "rpc/realformats.h"
#include "rpc/variant.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace pelio {

struct TGUID {
    std::uint32_t D1 = 0;
    std::uint16_t D2 = 0;
    std::uint16_t D3 = 0;
    std::uint8_t D4[8] = {};
    friend bool operator==(const TGUID&, const TGUID&) = default;
};

// The text raised for variant and array element types the wire does not know.
inline constexpr std::string_view kInvalidDataFormat = "无效的数据格式!";

class TosDataBuffer final {
public:
    TosDataBuffer() = default;
    TosDataBuffer(const TosDataBuffer&) = delete;
    TosDataBuffer& operator=(const TosDataBuffer&) = delete;

    std::size_t GetSize() const noexcept { return data_.size(); }
    void Reset() noexcept;

    void WriteBoolean(bool value);
    void WriteByteBool(std::uint8_t value);
    void WriteByte(std::uint8_t value);
    void WriteShortInt(std::int8_t value);
    void WriteSmallInt(std::int16_t value);
    void WriteWord(std::uint16_t value);
    void WriteWordBool(std::uint16_t value);
    void WriteInteger(std::int32_t value);
    void WriteLongInt(std::int32_t value);
    void WriteCardinal(std::uint32_t value);
    void WriteLongWord(std::uint32_t value);
    void WriteLongBool(std::uint32_t value);
    void WriteSingle(float value);
    void WriteDouble(double value);
    void WriteDateTime(double value);
    void WriteCurrency(std::int64_t scaled);
    void WriteComp(std::int64_t value);
    void WriteInt64(std::int64_t value);
    void WriteReal48(TExtended value); // raises std::range_error outside the Real48 range
    void WriteExtended(TExtended value);
    void WriteGUID(const TGUID& value);
    void WriteRawData(const void* data, std::size_t count);
    void WriteString(std::string_view utf8);
    // The String encoding of bytes that are not text (a data packet): no code page conversion.
    void WriteStringBytes(std::string_view bytes);
    void WriteWideString(std::string_view utf8);
    void WritePChar(std::optional<std::string_view> utf8);
    void WritePWideChar(std::optional<std::string_view> utf8);
    // Writes the bytes from the stream's current position to its end; the stream's size decides
    // the prefix, so it should stand at its start.
    void WriteStream(std::istream& stream);
    void WriteVariant(const Variant& value);
    void WriteOleVariant(const Variant& value) { WriteVariant(value); }
    void WritePVarArray(TVarType type, const SafeArray& array);

    bool ReadBoolean();
    std::uint8_t ReadByteBool();
    std::uint8_t ReadByte();
    std::int8_t ReadShortInt();
    std::int16_t ReadSmallInt();
    std::uint16_t ReadWord();
    std::uint16_t ReadWordBool();
    std::int32_t ReadInteger();
    std::int32_t ReadLongInt();
    std::uint32_t ReadCardinal();
    std::uint32_t ReadLongWord();
    std::uint32_t ReadLongBool();
    float ReadSingle();
    double ReadDouble();
    double ReadDateTime();
    std::int64_t ReadCurrency();
    std::int64_t ReadComp();
    std::int64_t ReadInt64();
    TExtended ReadReal48();
    TExtended ReadExtended();
    TGUID ReadGUID();
    void ReadRawData(void* data, std::size_t count);
    std::string ReadString();
    std::string ReadStringBytes();
    std::string ReadWideString();
    // Null for a prefix <= 0; otherwise the text up to its first zero character.
    std::optional<std::string> ReadPChar();
    std::optional<std::string> ReadPWideChar();
    // Appends the bytes to the stream at its position.
    void ReadStream(std::ostream& stream);
    Variant ReadVariant();
    // As ReadVariant, with an ansi string value turned into an OLE string.
    Variant ReadOleVariant();
    SafeArray ReadPVarArray(TVarType type);

    // The transport's access to the bytes: it rewinds the buffer before sending and after
    // receiving, and fills it in place.
    const std::string& Bytes() const noexcept { return data_; }
    std::string& MutableBytes() noexcept { return data_; }
    void Rewind() noexcept { position_ = 0; }
    std::size_t Position() const noexcept { return position_; }
    std::size_t Remaining() const noexcept { return data_.size() - position_; }

private:
    void Append(const void* data, std::size_t count);
    template <class T> void WriteLE(T value);
    template <class T> T ReadLE();
    const char* Take(std::size_t count);
    std::size_t ReadCount(std::int32_t prefix, std::size_t unitSize);
    void WriteVariantAt(const Variant& value, int depth);
    Variant ReadVariantAt(int depth);
    void WritePVarArrayAt(TVarType type, const SafeArray& array, int depth);
    SafeArray ReadPVarArrayAt(TVarType type, int depth);

    std::string data_;
    std::size_t position_ = 0;
};

} // namespace pelio
