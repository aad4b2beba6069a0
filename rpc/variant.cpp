#include "rpc/variant.h"

#include <bit>
#include <limits>
#include <stdexcept>

namespace pelio {

namespace {

[[noreturn]] void WrongKind(TVarType type, const char* wanted) {
    throw std::runtime_error("Variant of type " + std::to_string(type) + " is not " + wanted);
}

std::uint64_t SignExtendBits(TVarType type, std::uint64_t bits) {
    switch (type) {
    case varSmallint:
        return static_cast<std::uint64_t>(static_cast<std::int64_t>(static_cast<std::int16_t>(bits)));
    case varInteger:
        return static_cast<std::uint64_t>(static_cast<std::int64_t>(static_cast<std::int32_t>(bits)));
    case varShortInt:
        return static_cast<std::uint64_t>(static_cast<std::int64_t>(static_cast<std::int8_t>(bits)));
    default:
        return bits;
    }
}

} // namespace

std::uint32_t FixedElementSize(TVarType type) noexcept {
    switch (type & varTypeMask) {
    case varShortInt:
    case varByte:
        return 1;
    case varSmallint:
    case varWord:
    case varBoolean:
        return 2;
    case varInteger:
    case varLongWord:
    case varSingle:
        return 4;
    case varDouble:
    case varCurrency:
    case varDate:
        return 8;
    default:
        return 0;
    }
}

SafeArray SafeArray::Create(TVarType elementType, std::int32_t count, std::int32_t lowerBound) {
    SafeArray array;
    array.ElementType = elementType & varTypeMask;
    array.ElementSize = FixedElementSize(elementType);
    if (array.ElementSize == 0 || count < 0)
        throw std::runtime_error("SafeArray::Create needs a fixed-size element type and a count >= 0");
    array.Bounds.push_back({count, lowerBound});
    array.RawData.assign(static_cast<std::size_t>(count) * array.ElementSize, '\0');
    return array;
}

SafeArray SafeArray::FromBytes(std::string&& bytes) {
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw std::runtime_error("A byte array holds at most 2^31 - 1 bytes");
    SafeArray array;
    array.ElementType = varByte;
    array.ElementSize = 1;
    array.Bounds.push_back({static_cast<std::int32_t>(bytes.size()), 0});
    array.RawData = std::move(bytes);
    return array;
}

bool operator==(const SafeArray& a, const SafeArray& b) {
    return a.ElementType == b.ElementType && a.Features == b.Features && a.ElementSize == b.ElementSize &&
           a.Bounds == b.Bounds && a.RawData == b.RawData && a.Strings == b.Strings &&
           a.Variants == b.Variants;
}

std::int64_t SafeArrayElementTotal(const SafeArray& array) {
    std::int64_t total = 1;
    for (const SafeArrayBound& bound : array.Bounds) {
        if (bound.ElementCount < 0)
            throw std::runtime_error("Array dimension with negative element count " +
                                     std::to_string(bound.ElementCount));
        total *= bound.ElementCount;
        if (total > std::numeric_limits<std::int32_t>::max())
            throw std::runtime_error("Array of more than 2^31 - 1 elements");
    }
    return total;
}

const char* SafeArrayCalculateElementAddress(const SafeArray& array, std::int64_t index) {
    if (FixedElementSize(array.ElementType) == 0) return nullptr;
    return array.RawData.data() + index * array.ElementSize;
}

Variant::Variant(const Variant& other)
    : type_(other.type_), bits_(other.bits_), text_(other.text_),
      array_(other.array_ ? std::make_unique<SafeArray>(*other.array_) : nullptr) {}

Variant& Variant::operator=(const Variant& other) {
    if (this != &other) *this = Variant(other);
    return *this;
}

Variant::~Variant() = default;

Variant Variant::FromRawBits(TVarType type, std::uint64_t bits) {
    Variant v;
    v.type_ = type;
    v.bits_ = bits;
    return v;
}

Variant Variant::Null() {
    return OfType(varNull);
}
Variant Variant::SmallInt(std::int16_t value) {
    return FromRawBits(varSmallint, static_cast<std::uint16_t>(value));
}
Variant Variant::Integer(std::int32_t value) {
    return FromRawBits(varInteger, static_cast<std::uint32_t>(value));
}
Variant Variant::Single(float value) {
    return FromRawBits(varSingle, std::bit_cast<std::uint32_t>(value));
}
Variant Variant::Double(double value) {
    return FromRawBits(varDouble, std::bit_cast<std::uint64_t>(value));
}
Variant Variant::Currency(std::int64_t scaled) {
    return FromRawBits(varCurrency, static_cast<std::uint64_t>(scaled));
}
Variant Variant::Date(double days) {
    return FromRawBits(varDate, std::bit_cast<std::uint64_t>(days));
}
Variant Variant::Boolean(bool value) {
    return FromRawBits(varBoolean, value ? 0xFFFFu : 0u);
}
Variant Variant::ShortInt(std::int8_t value) {
    return FromRawBits(varShortInt, static_cast<std::uint8_t>(value));
}
Variant Variant::Byte(std::uint8_t value) {
    return FromRawBits(varByte, value);
}
Variant Variant::Word(std::uint16_t value) {
    return FromRawBits(varWord, value);
}
Variant Variant::LongWord(std::uint32_t value) {
    return FromRawBits(varLongWord, value);
}
Variant Variant::Int64(std::int64_t value) {
    return FromRawBits(varInt64, static_cast<std::uint64_t>(value));
}

Variant Variant::OleStr(std::string utf8) {
    Variant v;
    v.type_ = varOleStr;
    v.text_ = std::move(utf8);
    return v;
}

Variant Variant::String(std::string utf8) {
    Variant v;
    v.type_ = varString;
    v.text_ = std::move(utf8);
    return v;
}

Variant Variant::Array(SafeArray array) {
    Variant v;
    v.type_ = static_cast<TVarType>(varArray | (array.ElementType & varTypeMask));
    v.array_ = std::make_unique<SafeArray>(std::move(array));
    return v;
}

Variant Variant::ByteArray(std::string&& bytes) {
    return Array(SafeArray::FromBytes(std::move(bytes)));
}

Variant Variant::OfType(TVarType type) {
    Variant v;
    v.type_ = type;
    return v;
}

std::int64_t Variant::AsInt64() const {
    switch (type_) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
        return static_cast<std::int64_t>(SignExtendBits(type_, bits_));
    default:
        WrongKind(type_, "an integer");
    }
}

double Variant::AsDouble() const {
    switch (type_) {
    case varSingle:
        return std::bit_cast<float>(static_cast<std::uint32_t>(bits_));
    case varDouble:
    case varDate:
        return std::bit_cast<double>(bits_);
    default:
        WrongKind(type_, "a floating-point number");
    }
}

std::int64_t Variant::AsCurrency() const {
    if (type_ != varCurrency) WrongKind(type_, "a currency");
    return static_cast<std::int64_t>(bits_);
}

bool Variant::AsBoolean() const {
    return RawBoolean() != 0;
}

std::int16_t Variant::RawBoolean() const {
    if (type_ != varBoolean) WrongKind(type_, "a boolean");
    return static_cast<std::int16_t>(bits_);
}

const std::string& Variant::AsText() const {
    if (type_ != varOleStr && type_ != varString) WrongKind(type_, "a string");
    return text_;
}

const SafeArray& Variant::AsArray() const {
    if (!array_) WrongKind(type_, "an array");
    return *array_;
}

SafeArray& Variant::AsArray() {
    if (!array_) WrongKind(type_, "an array");
    return *array_;
}

std::string_view Variant::ByteArrayView() const {
    if (!IsByteArray()) WrongKind(type_, "a byte array");
    return array_->RawData;
}

std::string Variant::TakeByteArray() && {
    if (!IsByteArray()) WrongKind(type_, "a byte array");
    std::string bytes = std::move(array_->RawData);
    *this = Variant();
    return bytes;
}

bool operator==(const Variant& a, const Variant& b) {
    if (a.type_ != b.type_ || a.bits_ != b.bits_ || a.text_ != b.text_) return false;
    if (!a.array_ || !b.array_) return !a.array_ && !b.array_;
    return *a.array_ == *b.array_;
}

} // namespace pelio
