#pragma once
// Variant and safe array: the self-describing values of the wire. A Variant carries one of the
// type codes below; an array variant owns a SafeArray (dimensions, element type, flat elements).
//
// Strings are UTF-8 here whatever their wire form (ansi string or OLE wide string); the type code
// alone decides how TosDataBuffer encodes them. Values are plain copyable/movable objects with no
// shared state, so one thread uses a Variant at a time.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pelio {

using TVarType = std::uint16_t;

inline constexpr TVarType varEmpty = 0x0000;
inline constexpr TVarType varNull = 0x0001;
inline constexpr TVarType varSmallint = 0x0002;
inline constexpr TVarType varInteger = 0x0003;
inline constexpr TVarType varSingle = 0x0004;
inline constexpr TVarType varDouble = 0x0005;
inline constexpr TVarType varCurrency = 0x0006;
inline constexpr TVarType varDate = 0x0007;
inline constexpr TVarType varOleStr = 0x0008;
inline constexpr TVarType varDispatch = 0x0009;
inline constexpr TVarType varError = 0x000A;
inline constexpr TVarType varBoolean = 0x000B;
inline constexpr TVarType varVariant = 0x000C;
inline constexpr TVarType varUnknown = 0x000D;
inline constexpr TVarType varDecimal = 0x000E;
inline constexpr TVarType varShortInt = 0x0010;
inline constexpr TVarType varByte = 0x0011;
inline constexpr TVarType varWord = 0x0012;
inline constexpr TVarType varLongWord = 0x0013;
inline constexpr TVarType varInt64 = 0x0014;
inline constexpr TVarType varString = 0x0100;
inline constexpr TVarType varTypeMask = 0x0FFF;
inline constexpr TVarType varArray = 0x2000;
inline constexpr TVarType varByRef = 0x4000;

class Variant;

struct SafeArrayBound {
    std::int32_t ElementCount = 0;
    std::int32_t LowerBound = 0;
    friend bool operator==(const SafeArrayBound&, const SafeArrayBound&) = default;
};

// A safe array with its elements stored flat, index 0 to n-1 in memory order (first dimension
// fastest, as the OLE descriptor lays them out). Which element store is used follows from
// ElementType: fixed-size types keep their little-endian images in RawData (ElementSize bytes
// each, booleans as 16-bit values), varOleStr/varString elements live in Strings (UTF-8), and
// varVariant elements in Variants.
class SafeArray {
public:
    TVarType ElementType = varByte;
    std::uint16_t Features = 0;
    std::uint32_t ElementSize = 1;
    std::vector<SafeArrayBound> Bounds;
    std::string RawData;
    std::vector<std::string> Strings;
    std::vector<Variant> Variants;

    // One dimension of `count` elements of a fixed-size type, zero-filled.
    static SafeArray Create(TVarType elementType, std::int32_t count, std::int32_t lowerBound = 0);
    // A one-dimensional byte array that takes over `bytes` without copying them.
    static SafeArray FromBytes(std::string&& bytes);

    friend bool operator==(const SafeArray&, const SafeArray&);
};

// Product of the element counts of all dimensions; 1 for an array without dimensions.
// Raises std::runtime_error when a count is negative or the product exceeds 2^31 - 1.
std::int64_t SafeArrayElementTotal(const SafeArray& array);
// Address of element `index` (0 to n-1) of a fixed-size-element array's data; the caller keeps
// index below SafeArrayElementTotal. Null for string and variant arrays, which keep no flat block.
const char* SafeArrayCalculateElementAddress(const SafeArray& array, std::int64_t index);
// Element size of a fixed-size variant type (2 for booleans); 0 for any other type.
std::uint32_t FixedElementSize(TVarType type) noexcept;

class Variant {
public:
    Variant() = default;
    Variant(const Variant& other);
    Variant(Variant&&) noexcept = default;
    Variant& operator=(const Variant& other);
    Variant& operator=(Variant&&) noexcept = default;
    ~Variant();

    static Variant Null();
    static Variant SmallInt(std::int16_t value);
    static Variant Integer(std::int32_t value);
    static Variant Single(float value);
    static Variant Double(double value);
    // A currency amount as its scaled integer (value x 10000).
    static Variant Currency(std::int64_t scaled);
    static Variant Date(double days);
    static Variant OleStr(std::string utf8);
    static Variant Boolean(bool value);
    static Variant ShortInt(std::int8_t value);
    static Variant Byte(std::uint8_t value);
    static Variant Word(std::uint16_t value);
    static Variant LongWord(std::uint32_t value);
    static Variant Int64(std::int64_t value);
    static Variant String(std::string utf8);
    static Variant Array(SafeArray array);
    // The usual form of a data packet: takes over `bytes` without copying them.
    static Variant ByteArray(std::string&& bytes);
    // A value of a type that carries no payload here (dispatch, error, ...). Such variants come
    // from other peers' type systems; the buffer refuses to encode them.
    static Variant OfType(TVarType type);

    TVarType Type() const noexcept { return type_; }
    bool IsEmpty() const noexcept { return type_ == varEmpty; }
    bool IsArray() const noexcept { return (type_ & varArray) != 0; }
    bool IsByteArray() const noexcept { return type_ == (varArray | varByte); }

    // Typed access; each raises std::runtime_error when the variant holds another kind of value.
    std::int64_t AsInt64() const;    // the integer types
    double AsDouble() const;         // single, double, date
    std::int64_t AsCurrency() const; // scaled by 10000
    bool AsBoolean() const;
    const std::string& AsText() const; // OLE string or ansi string
    const SafeArray& AsArray() const;
    SafeArray& AsArray();
    // The bytes of a byte array, without copying.
    std::string_view ByteArrayView() const;
    // Moves the bytes of a byte array out and leaves the variant empty.
    std::string TakeByteArray() &&;

    // The 16-bit boolean as stored (-1 true, 0 false).
    std::int16_t RawBoolean() const;
    std::uint64_t RawBits() const noexcept { return bits_; }
    static Variant FromRawBits(TVarType type, std::uint64_t bits);

    friend bool operator==(const Variant& a, const Variant& b);

private:
    TVarType type_ = varEmpty;
    std::uint64_t bits_ = 0; // fixed-size payloads, as their little-endian image
    std::string text_;
    std::unique_ptr<SafeArray> array_;
};

} // namespace pelio
