#include "rpc/databuffer.h"

#include "platform/core/textcodec.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <istream>
#include <limits>
#include <ostream>
#include <stdexcept>

namespace pelio {

namespace {

// Arrays of variants nest; a hostile peer must not be able to exhaust the stack.
constexpr int kMaxVariantDepth = 32;
constexpr std::size_t kStreamChunk = 0x8000;

[[noreturn]] void InvalidDataFormat() {
    throw std::runtime_error(std::string(kInvalidDataFormat));
}

std::int32_t CheckedPrefix(std::size_t count, const char* what) {
    if (count >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw std::runtime_error(std::string(what) +
                                 " too long for a 32-bit prefix: " + std::to_string(count));
    return static_cast<std::int32_t>(count);
}

// The block of a zero-terminated text always ends in zero, whatever the peer sent.
std::string UpToFirstZero(std::string text) {
    if (!text.empty()) text.back() = '\0';
    text.resize(std::min(text.size(), text.find('\0')));
    return text;
}

// Payload size of a scalar variant of a fixed-size type; 0 for other types.
std::size_t ScalarSize(TVarType type) {
    if ((type & ~varTypeMask) != 0) return 0;
    if (type == varInt64) return 8;
    if (type == varBoolean) return 0;
    return FixedElementSize(type);
}

bool IsStringElement(TVarType type) {
    return type == varOleStr || type == varString;
}

} // namespace

void TosDataBuffer::Reset() noexcept {
    data_.clear();
    position_ = 0;
}

void TosDataBuffer::Append(const void* data, std::size_t count) {
    if (count == 0) return;
    if (position_ == data_.size()) {
        data_.append(static_cast<const char*>(data), count);
    } else {
        if (position_ + count > data_.size()) data_.resize(position_ + count);
        std::memcpy(data_.data() + position_, data, count);
    }
    position_ += count;
}

const char* TosDataBuffer::Take(std::size_t count) {
    if (count > Remaining())
        throw std::runtime_error("Stream read error: " + std::to_string(count) + " bytes needed at offset " +
                                 std::to_string(position_) + ", " + std::to_string(Remaining()) + " remain");
    const char* start = data_.data() + position_;
    position_ += count;
    return start;
}

std::size_t TosDataBuffer::ReadCount(std::int32_t prefix, std::size_t unitSize) {
    if (prefix <= 0) return 0;
    const auto count = static_cast<std::size_t>(prefix);
    if (count * unitSize > Remaining())
        throw std::runtime_error("Length prefix " + std::to_string(prefix) + " at offset " +
                                 std::to_string(position_ - 4) + " exceeds the " +
                                 std::to_string(Remaining()) + " bytes that remain");
    return count;
}

template <class T> void TosDataBuffer::WriteLE(T value) {
    static_assert(std::is_integral_v<T>);
    unsigned char bytes[sizeof(T)];
    auto bits = static_cast<std::make_unsigned_t<T>>(value);
    for (std::size_t i = 0; i < sizeof(T); ++i)
        bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
    Append(bytes, sizeof(T));
}

template <class T> T TosDataBuffer::ReadLE() {
    static_assert(std::is_integral_v<T>);
    const auto* bytes = reinterpret_cast<const unsigned char*>(Take(sizeof(T)));
    std::make_unsigned_t<T> bits = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        bits |=
            static_cast<std::make_unsigned_t<T>>(static_cast<std::make_unsigned_t<T>>(bytes[i]) << (8 * i));
    return static_cast<T>(bits);
}

void TosDataBuffer::WriteBoolean(bool value) {
    WriteLE<std::uint8_t>(value ? 1 : 0);
}
void TosDataBuffer::WriteByteBool(std::uint8_t value) {
    WriteLE(value);
}
void TosDataBuffer::WriteByte(std::uint8_t value) {
    WriteLE(value);
}
void TosDataBuffer::WriteShortInt(std::int8_t value) {
    WriteLE(value);
}
void TosDataBuffer::WriteSmallInt(std::int16_t value) {
    WriteLE(value);
}
void TosDataBuffer::WriteWord(std::uint16_t value) {
    WriteLE(value);
}
void TosDataBuffer::WriteWordBool(std::uint16_t value) {
    WriteLE(value);
}
void TosDataBuffer::WriteInteger(std::int32_t value) {
    WriteLE(value);
}
void TosDataBuffer::WriteLongInt(std::int32_t value) {
    WriteLE(value);
}
void TosDataBuffer::WriteCardinal(std::uint32_t value) {
    WriteLE(value);
}
void TosDataBuffer::WriteLongWord(std::uint32_t value) {
    WriteLE(value);
}
void TosDataBuffer::WriteLongBool(std::uint32_t value) {
    WriteLE(value);
}
void TosDataBuffer::WriteSingle(float value) {
    WriteLE(std::bit_cast<std::uint32_t>(value));
}
void TosDataBuffer::WriteDouble(double value) {
    WriteLE(std::bit_cast<std::uint64_t>(value));
}
void TosDataBuffer::WriteDateTime(double value) {
    WriteDouble(value);
}
void TosDataBuffer::WriteCurrency(std::int64_t scaled) {
    WriteLE(scaled);
}
void TosDataBuffer::WriteComp(std::int64_t value) {
    WriteLE(value);
}
void TosDataBuffer::WriteInt64(std::int64_t value) {
    WriteLE(value);
}

void TosDataBuffer::WriteReal48(TExtended value) {
    const Real48Bytes bytes = EncodeReal48(value);
    Append(bytes.data(), bytes.size());
}

void TosDataBuffer::WriteExtended(TExtended value) {
    const ExtendedBytes bytes = EncodeExtended(value);
    Append(bytes.data(), bytes.size());
}

void TosDataBuffer::WriteGUID(const TGUID& value) {
    WriteLE(value.D1);
    WriteLE(value.D2);
    WriteLE(value.D3);
    Append(value.D4, sizeof value.D4);
}

void TosDataBuffer::WriteRawData(const void* data, std::size_t count) {
    Append(data, count);
}

void TosDataBuffer::WriteString(std::string_view utf8) {
    WriteStringBytes(kav::Utf8ToAnsi(utf8));
}

void TosDataBuffer::WriteStringBytes(std::string_view bytes) {
    WriteInteger(CheckedPrefix(bytes.size(), "String"));
    Append(bytes.data(), bytes.size());
}

void TosDataBuffer::WriteWideString(std::string_view utf8) {
    const std::u16string units = kav::Utf8ToUtf16(utf8);
    WriteInteger(CheckedPrefix(units.size(), "Wide string"));
    for (char16_t unit : units)
        WriteLE(static_cast<std::uint16_t>(unit));
}

void TosDataBuffer::WritePChar(std::optional<std::string_view> utf8) {
    const std::string ansi = kav::Utf8ToAnsi(utf8.value_or(std::string_view()));
    WriteInteger(CheckedPrefix(ansi.size() + 1, "PChar"));
    Append(ansi.data(), ansi.size());
    WriteLE<std::uint8_t>(0);
}

void TosDataBuffer::WritePWideChar(std::optional<std::string_view> utf8) {
    if (!utf8) {
        WriteInteger(0);
        return;
    }
    WriteWideString(*utf8);
}

void TosDataBuffer::WriteStream(std::istream& stream) {
    const std::streampos start = stream.tellg();
    stream.seekg(0, std::ios::end);
    const std::streamoff size = stream.tellg() - start;
    stream.seekg(start);
    if (!stream || size < 0) throw std::runtime_error("WriteStream: the stream cannot tell its size");
    WriteInteger(CheckedPrefix(static_cast<std::size_t>(size), "Stream"));
    std::string chunk(std::min<std::size_t>(static_cast<std::size_t>(size), kStreamChunk), '\0');
    for (std::streamoff left = size; left > 0;) {
        const auto piece = static_cast<std::streamsize>(std::min<std::streamoff>(left, kStreamChunk));
        if (!stream.read(chunk.data(), piece)) throw std::runtime_error("WriteStream: stream read error");
        Append(chunk.data(), static_cast<std::size_t>(piece));
        left -= piece;
    }
}

void TosDataBuffer::WriteVariant(const Variant& value) {
    WriteVariantAt(value, 0);
}

void TosDataBuffer::WriteVariantAt(const Variant& value, int depth) {
    const TVarType type = value.Type();
    WriteInteger(type);
    if (type == varEmpty || type == varNull) return;
    if (type == varBoolean) {
        WriteLE<std::uint8_t>(value.RawBoolean() != 0 ? 1 : 0);
    } else if (type == varOleStr) {
        WritePWideChar(value.AsText());
    } else if (type == varString) {
        WritePChar(value.AsText());
    } else if (const std::size_t size = ScalarSize(type)) {
        for (std::size_t i = 0; i < size; ++i)
            WriteLE(static_cast<std::uint8_t>(value.RawBits() >> (8 * i)));
    } else if (value.IsArray()) {
        WritePVarArrayAt(type, value.AsArray(), depth);
    } else {
        InvalidDataFormat();
    }
}

void TosDataBuffer::WritePVarArray(TVarType type, const SafeArray& array) {
    WritePVarArrayAt(type, array, 0);
}

void TosDataBuffer::WritePVarArrayAt(TVarType type, const SafeArray& array, int depth) {
    const TVarType elementType = type & varTypeMask;
    const bool fixed = FixedElementSize(elementType) != 0;
    if ((type & ~(varArray | varTypeMask)) != 0 ||
        !(fixed || IsStringElement(elementType) || elementType == varVariant))
        InvalidDataFormat();
    if (depth >= kMaxVariantDepth)
        throw std::runtime_error("Variant arrays nested deeper than " + std::to_string(kMaxVariantDepth));
    if (array.Bounds.size() > std::numeric_limits<std::uint16_t>::max())
        throw std::runtime_error("Array of more than 65535 dimensions");
    const std::int64_t total = SafeArrayElementTotal(array);
    const auto n = static_cast<std::size_t>(total);
    const std::size_t stored = fixed ? array.RawData.size() / std::max(1u, array.ElementSize)
                               : IsStringElement(elementType) ? array.Strings.size()
                                                              : array.Variants.size();
    if (stored < n || (fixed && array.ElementSize != FixedElementSize(elementType)))
        throw std::runtime_error("Array descriptor does not match its data: " + std::to_string(n) +
                                 " elements announced, " + std::to_string(stored) + " stored");

    WriteWord(static_cast<std::uint16_t>(array.Bounds.size()));
    WriteWord(array.Features);
    WriteCardinal(array.ElementSize);
    for (const SafeArrayBound& bound : array.Bounds) {
        WriteInteger(bound.ElementCount);
        WriteInteger(bound.LowerBound);
    }
    if (fixed) {
        Append(SafeArrayCalculateElementAddress(array, 0), n * array.ElementSize);
    } else if (elementType == varOleStr) {
        for (std::size_t i = 0; i < n; ++i)
            WriteWideString(array.Strings[i]);
    } else if (elementType == varString) {
        for (std::size_t i = 0; i < n; ++i)
            WriteString(array.Strings[i]);
    } else {
        for (std::size_t i = 0; i < n; ++i)
            WriteVariantAt(array.Variants[i], depth + 1);
    }
}

bool TosDataBuffer::ReadBoolean() {
    return ReadLE<std::uint8_t>() != 0;
}
std::uint8_t TosDataBuffer::ReadByteBool() {
    return ReadLE<std::uint8_t>();
}
std::uint8_t TosDataBuffer::ReadByte() {
    return ReadLE<std::uint8_t>();
}
std::int8_t TosDataBuffer::ReadShortInt() {
    return ReadLE<std::int8_t>();
}
std::int16_t TosDataBuffer::ReadSmallInt() {
    return ReadLE<std::int16_t>();
}
std::uint16_t TosDataBuffer::ReadWord() {
    return ReadLE<std::uint16_t>();
}
std::uint16_t TosDataBuffer::ReadWordBool() {
    return ReadLE<std::uint16_t>();
}
std::int32_t TosDataBuffer::ReadInteger() {
    return ReadLE<std::int32_t>();
}
std::int32_t TosDataBuffer::ReadLongInt() {
    return ReadLE<std::int32_t>();
}
std::uint32_t TosDataBuffer::ReadCardinal() {
    return ReadLE<std::uint32_t>();
}
std::uint32_t TosDataBuffer::ReadLongWord() {
    return ReadLE<std::uint32_t>();
}
std::uint32_t TosDataBuffer::ReadLongBool() {
    return ReadLE<std::uint32_t>();
}
float TosDataBuffer::ReadSingle() {
    return std::bit_cast<float>(ReadLE<std::uint32_t>());
}
double TosDataBuffer::ReadDouble() {
    return std::bit_cast<double>(ReadLE<std::uint64_t>());
}
double TosDataBuffer::ReadDateTime() {
    return ReadDouble();
}
std::int64_t TosDataBuffer::ReadCurrency() {
    return ReadLE<std::int64_t>();
}
std::int64_t TosDataBuffer::ReadComp() {
    return ReadLE<std::int64_t>();
}
std::int64_t TosDataBuffer::ReadInt64() {
    return ReadLE<std::int64_t>();
}

TExtended TosDataBuffer::ReadReal48() {
    Real48Bytes bytes;
    std::memcpy(bytes.data(), Take(bytes.size()), bytes.size());
    return DecodeReal48(bytes);
}

TExtended TosDataBuffer::ReadExtended() {
    ExtendedBytes bytes;
    std::memcpy(bytes.data(), Take(bytes.size()), bytes.size());
    return DecodeExtended(bytes);
}

TGUID TosDataBuffer::ReadGUID() {
    TGUID guid;
    guid.D1 = ReadLE<std::uint32_t>();
    guid.D2 = ReadLE<std::uint16_t>();
    guid.D3 = ReadLE<std::uint16_t>();
    std::memcpy(guid.D4, Take(sizeof guid.D4), sizeof guid.D4);
    return guid;
}

void TosDataBuffer::ReadRawData(void* data, std::size_t count) {
    if (count) std::memcpy(data, Take(count), count);
}

std::string TosDataBuffer::ReadString() {
    return kav::AnsiToUtf8(ReadStringBytes());
}

std::string TosDataBuffer::ReadStringBytes() {
    const std::size_t count = ReadCount(ReadInteger(), 1);
    return std::string(Take(count), count);
}

std::string TosDataBuffer::ReadWideString() {
    const std::size_t count = ReadCount(ReadInteger(), 2);
    std::u16string units(count, u'\0');
    for (char16_t& unit : units)
        unit = static_cast<char16_t>(ReadLE<std::uint16_t>());
    return kav::Utf16ToUtf8(units);
}

std::optional<std::string> TosDataBuffer::ReadPChar() {
    const std::size_t count = ReadCount(ReadInteger(), 1);
    if (count == 0) return std::nullopt;
    return kav::AnsiToUtf8(UpToFirstZero(std::string(Take(count), count)));
}

std::optional<std::string> TosDataBuffer::ReadPWideChar() {
    const std::size_t count = ReadCount(ReadInteger(), 2);
    if (count == 0) return std::nullopt;
    std::u16string units(count, u'\0');
    for (char16_t& unit : units)
        unit = static_cast<char16_t>(ReadLE<std::uint16_t>());
    units.resize(std::min(units.size(), units.find(u'\0')));
    return kav::Utf16ToUtf8(units);
}

void TosDataBuffer::ReadStream(std::ostream& stream) {
    const std::size_t count = ReadCount(ReadInteger(), 1);
    for (std::size_t done = 0; done < count;) {
        const std::size_t piece = std::min(count - done, kStreamChunk);
        if (!stream.write(Take(piece), static_cast<std::streamsize>(piece)))
            throw std::runtime_error("ReadStream: stream write error");
        done += piece;
    }
}

Variant TosDataBuffer::ReadVariant() {
    return ReadVariantAt(0);
}

Variant TosDataBuffer::ReadOleVariant() {
    Variant value = ReadVariant();
    if (value.Type() == varString) return Variant::OleStr(value.AsText());
    return value;
}

Variant TosDataBuffer::ReadVariantAt(int depth) {
    const auto type = static_cast<TVarType>(static_cast<std::uint32_t>(ReadInteger()) & 0xFFFF);
    switch (type) {
    case varEmpty:
        return Variant();
    case varNull:
        return Variant::Null();
    case varBoolean:
        return Variant::Boolean(ReadLE<std::uint8_t>() != 0);
    case varOleStr:
        return Variant::OleStr(ReadPWideChar().value_or(std::string()));
    case varString:
        return Variant::String(ReadPChar().value_or(std::string()));
    default:
        break;
    }
    if (const std::size_t size = ScalarSize(type)) {
        std::uint64_t bits = 0;
        for (std::size_t i = 0; i < size; ++i)
            bits |= std::uint64_t{ReadLE<std::uint8_t>()} << (8 * i);
        return Variant::FromRawBits(type, bits);
    }
    if (type & varArray) return Variant::Array(ReadPVarArrayAt(type, depth));
    InvalidDataFormat();
}

SafeArray TosDataBuffer::ReadPVarArray(TVarType type) {
    return ReadPVarArrayAt(type, 0);
}

SafeArray TosDataBuffer::ReadPVarArrayAt(TVarType type, int depth) {
    const TVarType elementType = type & varTypeMask;
    const std::uint32_t naturalSize = FixedElementSize(elementType);
    if ((type & ~(varArray | varTypeMask)) != 0 ||
        !(naturalSize || IsStringElement(elementType) || elementType == varVariant))
        InvalidDataFormat();
    if (depth >= kMaxVariantDepth)
        throw std::runtime_error("Variant arrays nested deeper than " + std::to_string(kMaxVariantDepth));

    SafeArray array;
    array.ElementType = elementType;
    const std::uint16_t dimensions = ReadWord();
    array.Features = ReadWord();
    array.ElementSize = ReadCardinal();
    if (naturalSize && array.ElementSize != naturalSize)
        throw std::runtime_error("Array element size " + std::to_string(array.ElementSize) +
                                 " does not match element type " + std::to_string(elementType));
    if (std::size_t{dimensions} * 8 > Remaining())
        throw std::runtime_error("Array of " + std::to_string(dimensions) + " dimensions exceeds the " +
                                 std::to_string(Remaining()) + " bytes that remain");
    array.Bounds.resize(dimensions);
    for (SafeArrayBound& bound : array.Bounds) {
        bound.ElementCount = ReadInteger();
        bound.LowerBound = ReadInteger();
    }
    const auto n = static_cast<std::size_t>(SafeArrayElementTotal(array));
    // Every element takes at least 4 bytes (a prefix or a type code) unless its type is fixed-size.
    const std::size_t minimum = naturalSize ? naturalSize : 4;
    if (n > Remaining() / minimum)
        throw std::runtime_error("Array of " + std::to_string(n) + " elements exceeds the " +
                                 std::to_string(Remaining()) + " bytes that remain");
    if (naturalSize) {
        array.RawData.assign(Take(n * naturalSize), n * naturalSize);
    } else if (IsStringElement(elementType)) {
        array.Strings.reserve(n);
        for (std::size_t i = 0; i < n; ++i)
            array.Strings.push_back(elementType == varOleStr ? ReadWideString() : ReadString());
    } else {
        array.Variants.reserve(n);
        for (std::size_t i = 0; i < n; ++i)
            array.Variants.push_back(ReadVariantAt(depth + 1));
    }
    return array;
}

} // namespace pelio
