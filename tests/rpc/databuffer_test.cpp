#include "bytes.h"
#include "rpc/databuffer.h"

#include <functional>
#include <gtest/gtest.h>
#include <sstream>

using namespace pelio;
using pelio::testing::HexBytes;

namespace {

std::string Written(const std::function<void(TosDataBuffer&)>& write) {
    TosDataBuffer buffer;
    write(buffer);
    return buffer.Bytes();
}

TosDataBuffer& Loaded(TosDataBuffer& buffer, std::string_view bytes) {
    buffer.Reset();
    buffer.WriteRawData(bytes.data(), bytes.size());
    buffer.Rewind();
    return buffer;
}

Variant RoundTrip(const Variant& value) {
    TosDataBuffer buffer;
    buffer.WriteVariant(value);
    buffer.Rewind();
    Variant back = buffer.ReadVariant();
    EXPECT_EQ(buffer.Remaining(), 0u);
    return back;
}

std::string RefusalOf(std::string_view bytes) {
    TosDataBuffer buffer;
    try {
        Loaded(buffer, bytes).ReadVariant();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "accepted";
}

} // namespace

TEST(DataBuffer, ByteExactEncodings) {
    struct Case {
        const char* name;
        std::function<void(TosDataBuffer&)> write;
        const char* hex;
    };
    const Case cases[] = {
        {"string abc", [](TosDataBuffer& b) { b.WriteString("abc"); }, "03000000 616263"},
        {"empty string", [](TosDataBuffer& b) { b.WriteString(""); }, "00000000"},
        {"ansi text in GB18030", [](TosDataBuffer& b) { b.WriteString("无效"); }, "04000000 CEDE D0A7"},
        {"wide text in UTF-16LE", [](TosDataBuffer& b) { b.WriteWideString("a无"); }, "02000000 6100 E065"},
        {"empty pchar", [](TosDataBuffer& b) { b.WritePChar(""); }, "01000000 00"},
        {"null pchar", [](TosDataBuffer& b) { b.WritePChar(std::nullopt); }, "01000000 00"},
        {"pchar ab", [](TosDataBuffer& b) { b.WritePChar("ab"); }, "03000000 616200"},
        {"null pwidechar", [](TosDataBuffer& b) { b.WritePWideChar(std::nullopt); }, "00000000"},
        {"pwidechar ab", [](TosDataBuffer& b) { b.WritePWideChar("ab"); }, "02000000 61006200"},
        {"variant true", [](TosDataBuffer& b) { b.WriteVariant(Variant::Boolean(true)); }, "0B000000 01"},
        {"variant false", [](TosDataBuffer& b) { b.WriteVariant(Variant::Boolean(false)); }, "0B000000 00"},
        {"variant ansi string", [](TosDataBuffer& b) { b.WriteVariant(Variant::String("ab")); },
         "00010000 03000000 616200"},
        {"variant int64 scalar", [](TosDataBuffer& b) { b.WriteVariant(Variant::Int64(-2)); },
         "14000000 FEFFFFFFFFFFFFFF"},
        {"byte array", [](TosDataBuffer& b) { b.WriteVariant(Variant::ByteArray("xy")); },
         "11200000 0100 0000 01000000 02000000 00000000 7879"},
        {"guid",
         [](TosDataBuffer& b) {
             b.WriteGUID({0x9A779C68, 0x0259, 0x4BD8, {0x97, 0x5C, 0x7E, 0x51, 0x99, 0x71, 0xF1, 0xE8}});
         },
         "689C779A 5902 D84B 975C7E519971F1E8"},
        {"currency 1.5", [](TosDataBuffer& b) { b.WriteCurrency(15000); }, "983A000000000000"},
        {"real48 1.0", [](TosDataBuffer& b) { b.WriteReal48(1.0L); }, "810000000000"},
        {"extended 1.0", [](TosDataBuffer& b) { b.WriteExtended(1.0L); }, "0000000000000080FF3F"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Written(c.write), HexBytes(c.hex)) << c.name;
}

TEST(DataBuffer, ReadingEdgeCasesOfPrefixes) {
    TosDataBuffer buffer;
    // A negative string prefix yields the empty string and consumes only the prefix.
    Loaded(buffer, HexBytes("FFFFFFFF 41"));
    EXPECT_EQ(buffer.ReadString(), "");
    EXPECT_EQ(buffer.Remaining(), 1u);
    // The empty ansi text is a one-byte block, not a null pointer; prefix 0 is a null pointer.
    EXPECT_EQ(Loaded(buffer, HexBytes("01000000 00")).ReadPChar(), std::optional<std::string>(""));
    EXPECT_EQ(Loaded(buffer, HexBytes("00000000")).ReadPChar(), std::nullopt);
    EXPECT_EQ(Loaded(buffer, HexBytes("00000000")).ReadPWideChar(), std::nullopt);
    // The last byte of a PChar block is forced to zero; the text ends at its first zero.
    EXPECT_EQ(Loaded(buffer, HexBytes("03000000 616263")).ReadPChar(), std::optional<std::string>("ab"));
    EXPECT_EQ(Loaded(buffer, HexBytes("03000000 6100 0000 6200")).ReadPWideChar(),
              std::optional<std::string>("a"));
}

TEST(DataBuffer, EveryFixedAndPrefixedPairRoundTrips) {
    TosDataBuffer b;
    const TGUID guid{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    std::istringstream source(std::string(70000, 'q') + "end");
    b.WriteBoolean(true);
    b.WriteByteBool(0x7F);
    b.WriteByte(200);
    b.WriteShortInt(-100);
    b.WriteSmallInt(-30000);
    b.WriteWord(60000);
    b.WriteWordBool(0xFFFF);
    b.WriteInteger(-2000000000);
    b.WriteLongInt(123);
    b.WriteCardinal(4000000000u);
    b.WriteLongWord(7);
    b.WriteLongBool(1);
    b.WriteSingle(1.25f);
    b.WriteDouble(-0.1);
    b.WriteDateTime(45000.75);
    b.WriteCurrency(-123456789);
    b.WriteComp(1LL << 62);
    b.WriteInt64(-(1LL << 62));
    b.WriteReal48(-2.5L);
    b.WriteExtended(3.25L);
    b.WriteGUID(guid);
    b.WriteRawData("raw", 3);
    b.WriteString("票务 office");
    b.WriteWideString("宽 wide 𝄞");
    b.WritePChar("p");
    b.WritePWideChar("pw");
    b.WriteStream(source);

    b.Rewind();
    EXPECT_TRUE(b.ReadBoolean());
    EXPECT_EQ(b.ReadByteBool(), 0x7F);
    EXPECT_EQ(b.ReadByte(), 200);
    EXPECT_EQ(b.ReadShortInt(), -100);
    EXPECT_EQ(b.ReadSmallInt(), -30000);
    EXPECT_EQ(b.ReadWord(), 60000);
    EXPECT_EQ(b.ReadWordBool(), 0xFFFF);
    EXPECT_EQ(b.ReadInteger(), -2000000000);
    EXPECT_EQ(b.ReadLongInt(), 123);
    EXPECT_EQ(b.ReadCardinal(), 4000000000u);
    EXPECT_EQ(b.ReadLongWord(), 7u);
    EXPECT_EQ(b.ReadLongBool(), 1u);
    EXPECT_EQ(b.ReadSingle(), 1.25f);
    EXPECT_EQ(b.ReadDouble(), -0.1);
    EXPECT_EQ(b.ReadDateTime(), 45000.75);
    EXPECT_EQ(b.ReadCurrency(), -123456789);
    EXPECT_EQ(b.ReadComp(), 1LL << 62);
    EXPECT_EQ(b.ReadInt64(), -(1LL << 62));
    EXPECT_EQ(b.ReadReal48(), -2.5L);
    EXPECT_EQ(b.ReadExtended(), 3.25L);
    EXPECT_EQ(b.ReadGUID(), guid);
    char raw[3];
    b.ReadRawData(raw, 3);
    EXPECT_EQ(std::string(raw, 3), "raw");
    EXPECT_EQ(b.ReadString(), "票务 office");
    EXPECT_EQ(b.ReadWideString(), "宽 wide 𝄞");
    EXPECT_EQ(b.ReadPChar(), std::optional<std::string>("p"));
    EXPECT_EQ(b.ReadPWideChar(), std::optional<std::string>("pw"));
    std::ostringstream sink;
    b.ReadStream(sink);
    EXPECT_EQ(sink.str(), source.str());
    EXPECT_EQ(b.Remaining(), 0u);
    b.Reset();
    EXPECT_EQ(b.GetSize(), 0u);
}

TEST(DataBuffer, EveryVariantTypeRoundTrips) {
    SafeArray words = SafeArray::Create(varSmallint, 3, -1);
    words.RawData = HexBytes("0100 FFFF 0080");
    SafeArray booleans = SafeArray::Create(varBoolean, 2);
    booleans.RawData = HexBytes("FFFF 0100"); // array booleans keep their 16-bit values
    SafeArray matrix = SafeArray::Create(varDouble, 2);
    matrix.Bounds.push_back({3, 1});
    matrix.RawData.assign(6 * 8, '\x3F');
    SafeArray wide;
    wide.ElementType = varOleStr;
    wide.ElementSize = 4;
    wide.Bounds = {{2, 0}};
    wide.Strings = {"甲", ""};
    SafeArray ansi = wide;
    ansi.ElementType = varString;
    ansi.Strings = {"乙丙", "x"};
    SafeArray variants;
    variants.ElementType = varVariant;
    variants.ElementSize = 16;
    variants.Bounds = {{3, 0}};
    variants.Variants = {Variant::Integer(5), Variant::OleStr("内"), Variant::Array(ansi)};
    SafeArray scalarless = SafeArray::Create(varInteger, 0);
    scalarless.Bounds.clear();
    scalarless.RawData = HexBytes("2A000000"); // no dimensions: exactly one element
    EXPECT_EQ(SafeArrayElementTotal(scalarless), 1);

    const Variant values[] = {
        Variant(),
        Variant::Null(),
        Variant::SmallInt(-2),
        Variant::Integer(1 << 30),
        Variant::Single(2.5f),
        Variant::Double(1e100),
        Variant::Currency(-5),
        Variant::Date(45000.5),
        Variant::OleStr("票"),
        Variant::Boolean(true),
        Variant::Boolean(false),
        Variant::ShortInt(-7),
        Variant::Byte(255),
        Variant::Word(65535),
        Variant::LongWord(1u << 31),
        Variant::Int64(1LL << 40),
        Variant::String("订单"),
        Variant::ByteArray(std::string("\0\1\2", 3)),
        Variant::Array(words),
        Variant::Array(booleans),
        Variant::Array(matrix),
        Variant::Array(wide),
        Variant::Array(ansi),
        Variant::Array(variants),
        Variant::Array(scalarless),
    };
    for (const Variant& value : values)
        EXPECT_EQ(RoundTrip(value), value) << "type " << value.Type();

    // A boolean variant comes back as plain true whatever non-zero value it held.
    EXPECT_EQ(RoundTrip(Variant::FromRawBits(varBoolean, 1)).RawBoolean(), -1);
    TosDataBuffer buffer;
    buffer.WriteVariant(Variant::String("ansi"));
    buffer.Rewind();
    EXPECT_EQ(buffer.ReadOleVariant(), Variant::OleStr("ansi"));
}

TEST(DataBuffer, UnsupportedTypesAreRefusedBothWays) {
    for (TVarType type :
         {varDispatch, varError, varVariant, varUnknown, varDecimal, TVarType(varByRef | varInteger)}) {
        TosDataBuffer buffer;
        try {
            buffer.WriteVariant(Variant::OfType(type));
            ADD_FAILURE() << "type " << type << " written";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), kInvalidDataFormat);
        }
        EXPECT_EQ(buffer.GetSize(), 4u) << "only the type code precedes the refusal";
        EXPECT_EQ(RefusalOf(buffer.Bytes()), kInvalidDataFormat);
    }
    // A 64-bit integer travels as a scalar but not as an array element.
    SafeArray int64s;
    int64s.ElementType = varInt64;
    int64s.ElementSize = 8;
    TosDataBuffer buffer;
    EXPECT_THROW(buffer.WriteVariant(Variant::Array(int64s)), std::runtime_error);
    EXPECT_EQ(RefusalOf(HexBytes("14200000 0000 0000 08000000")), kInvalidDataFormat);
}

TEST(DataBuffer, HostileLengthsAreRefusedBeforeAllocating) {
    TosDataBuffer buffer;
    EXPECT_THROW(Loaded(buffer, HexBytes("FFFFFF7F 41")).ReadString(), std::runtime_error);
    EXPECT_THROW(Loaded(buffer, HexBytes("FFFFFF3F 4100")).ReadWideString(), std::runtime_error);
    EXPECT_THROW(Loaded(buffer, HexBytes("FFFFFF7F")).ReadPChar(), std::runtime_error);
    EXPECT_THROW(Loaded(buffer, HexBytes("FFFFFF7F")).ReadStream(*std::make_unique<std::ostringstream>()),
                 std::runtime_error);
    EXPECT_THROW(Loaded(buffer, HexBytes("0300")).ReadInteger(), std::runtime_error);

    const struct {
        const char* name;
        const char* hex;
    } arrays[] = {
        {"byte array longer than the data", "11200000 0100 0000 01000000 FFFFFF7F 00000000 41"},
        {"65535 dimensions without bounds", "11200000 FFFF 0000 01000000 00000000"},
        {"element count product overflows",
         "11200000 0200 0000 01000000 FFFF0000 00000000 FFFF0000 00000000"},
        {"negative element count", "11200000 0100 0000 01000000 FFFFFFFF 00000000"},
        {"element size that is not the type's", "03200000 0100 0000 01000000 01000000 00000000 41"},
        {"a million strings in no bytes", "08200000 0100 0000 04000000 40420F00 00000000"},
        {"variants announced but absent", "0C200000 0100 0000 10000000 40420F00 00000000"},
        {"truncated payload", "05000000 0000"},
    };
    for (const auto& c : arrays)
        EXPECT_NE(RefusalOf(HexBytes(c.hex)), "accepted") << c.name;

    // Arrays of variants nested deeper than any honest packet are refused, not followed.
    std::string nested;
    for (int i = 0; i < 100000; ++i)
        nested += HexBytes("0C200000 0100 0000 10000000 01000000 00000000");
    EXPECT_NE(RefusalOf(nested), "accepted");
}

TEST(DataBuffer, ByteArrayTakesAndGivesItsBytesWithoutCopying) {
    std::string packet(1 << 20, 'p');
    const char* storage = packet.data();
    Variant value = Variant::ByteArray(std::move(packet));
    EXPECT_EQ(value.ByteArrayView().data(), storage);
    std::string back = std::move(value).TakeByteArray();
    EXPECT_EQ(back.data(), storage);
    EXPECT_TRUE(value.IsEmpty());
}
