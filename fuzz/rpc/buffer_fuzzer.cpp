// Reads variants and arrays from arbitrary bytes. Bad input must be refused with an exception;
// whatever is read must encode again without error and decode to the same value.

#include "rpc/databuffer.h"

#include <cstdint>
#include <cstdlib>
#include <exception>

using namespace pelio;

namespace {

template <class Read, class Write> void CheckRoundTrip(TosDataBuffer& input, Read read, Write write) {
    const auto value = read(input);
    TosDataBuffer again;
    try {
        write(again, value);
        again.Rewind();
        if (!(read(again) == value) || again.Remaining() != 0) std::abort();
    } catch (const std::exception&) {
        std::abort(); // a value that was read must always be writable and readable again
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const bool asArray = data[0] & 1;
    const auto arrayType = static_cast<TVarType>(varArray | (data[1] & 0x1F));
    TosDataBuffer buffer;
    buffer.WriteRawData(data + 2, size - 2);
    buffer.Rewind();
    try {
        while (buffer.Remaining() > 0) {
            if (asArray)
                CheckRoundTrip(
                    buffer, [&](TosDataBuffer& b) { return b.ReadPVarArray(arrayType); },
                    [&](TosDataBuffer& b, const SafeArray& a) { b.WritePVarArray(arrayType, a); });
            else
                CheckRoundTrip(
                    buffer, [](TosDataBuffer& b) { return b.ReadVariant(); },
                    [](TosDataBuffer& b, const Variant& v) { b.WriteVariant(v); });
        }
    } catch (const std::exception&) {
        // Refusing bad input is the expected outcome.
    }
    return 0;
}
