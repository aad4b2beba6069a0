#include "rpc/transport.h"

#include "rpc/exceptions.h"
#include "rpc/socket.h"

#include <cstring>
#include <ctime>
#include <unistd.h>
#include <zlib.h>

namespace pelio {

namespace {

constexpr std::size_t kBodyReadChunk = 1u << 20;
// A body buffer above this size is given back after each message rather than kept.
constexpr std::size_t kKeptBodyCapacity = 1u << 20;

void PutLE32(char* out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<char>(value >> (8 * i));
}

std::uint32_t GetLE32(const unsigned char* in) {
    return in[0] | (std::uint32_t{in[1]} << 8) | (std::uint32_t{in[2]} << 16) | (std::uint32_t{in[3]} << 24);
}

} // namespace

void TosTransport::OpenBuffer(bool forRead) {
    readMode_ = forRead;
    buffer_.Reset();
    if (!forRead) return;
    try {
        if (!Receive()) throw EosRemoteException(std::string(kInvalidMessageText));
    } catch (...) {
        RaiseORBException(std::current_exception());
    }
}

void TosTransport::CloseBuffer() {
    if (readMode_) {
        buffer_.Reset();
        return;
    }
    try {
        Send();
    } catch (...) {
        RaiseORBException(std::current_exception());
    }
}

void TosTransport::Send() {
    PelioAssert(connection_ != nullptr, "PelioCore", "the transport has no connection");
    buffer_.Rewind();
    const std::size_t size = buffer_.GetSize();
    char header[kFrameHeaderSize] = {};
    Magic = kOstpMagic;
    Reserved = 0;
    CompressedSize = 0;
    UncompressedSize = 0;
    try {
        if (size > 0) {
            if (size > limits_.MaxMessageSize)
                throw EosException("发送的数据过大: " + std::to_string(size) + " 字节, 超过消息上限 " +
                                   std::to_string(limits_.MaxMessageSize) + " 字节, 请减少一次提交的数据");
            if (size <= TosFixedDeflater::kMaxInput)
                fixedDeflater_.Compress(buffer_.Bytes(), body_);
            else
                deflater_.Compress(buffer_.Bytes(), body_);
            UncompressedSize = static_cast<std::uint32_t>(size);
            CompressedSize = static_cast<std::uint32_t>(body_.size());
            buffer_.Reset();
        }
        PutLE32(header, Magic);
        PutLE32(header + 4, Reserved);
        PutLE32(header + 8, CompressedSize);
        PutLE32(header + 12, UncompressedSize);
        connection_->WriteAll(std::string_view(header, sizeof header), body_);
    } catch (...) {
        body_.clear();
        throw;
    }
    body_.clear();
    if (body_.capacity() > kKeptBodyCapacity) std::string().swap(body_);
}

bool TosTransport::Receive() {
    PelioAssert(connection_ != nullptr, "PelioCore", "the transport has no connection");
    buffer_.Reset();
    body_.clear();
    unsigned char header[kFrameHeaderSize];
    connection_->ReadExact(header, 1); // waiting for a frame to start has no time limit
    connection_->ReadExact(header + 1, 3, limits_.StallTimeout);
    Magic = GetLE32(header);
    if (Magic != kOstpMagic) return false;
    connection_->ReadExact(header + 4, kFrameHeaderSize - 4, limits_.StallTimeout);
    Reserved = GetLE32(header + 4);
    CompressedSize = GetLE32(header + 8);
    UncompressedSize = GetLE32(header + 12);
    if (CompressedSize == 0) return true;
    if (CompressedSize > limits_.MaxMessageSize || UncompressedSize > limits_.MaxMessageSize)
        throw EosRemoteException("收到的数据过大: 压缩后 " + std::to_string(CompressedSize) + " 字节, 原长 " +
                                 std::to_string(UncompressedSize) + " 字节, 超过消息上限 " +
                                 std::to_string(limits_.MaxMessageSize) + " 字节, 请缩小查询范围");
    ReadMessageBody();
    inflater_.Decompress(body_, UncompressedSize, buffer_.MutableBytes());
    buffer_.Rewind();
    body_.clear();
    if (body_.capacity() > kKeptBodyCapacity) std::string().swap(body_);
    return true;
}

void TosTransport::ReadMessageBody() {
    // Grown as the bytes arrive, so that a peer announcing a large body and sending nothing
    // costs no memory.
    while (body_.size() < CompressedSize) {
        const std::size_t start = body_.size();
        const std::size_t piece = std::min<std::size_t>(CompressedSize - start, kBodyReadChunk);
        body_.resize(start + piece);
        connection_->ReadExact(body_.data() + start, piece, limits_.StallTimeout);
    }
}

void TosTransport::SendRemoteException(std::string_view message) {
    OpenBuffer(false);
    buffer_.WriteSmallInt(OSTP_VERSION_INFO);
    buffer_.WriteSmallInt(OSTP_RPC_EXCEPTION);
    buffer_.WriteString(message);
    CloseBuffer();
}

void TosTransport::RaiseORBException(std::exception_ptr error) {
    if (connection_) connection_->Disconnect();
    try {
        std::rethrow_exception(error);
    } catch (const TosSocketError&) {
        throw EosException(std::string(kLostConnectionText));
    } catch (const EosRemoteException& e) {
        throw EosException(e.what());
    } catch (const EosException&) {
        throw;
    } catch (const EosAssertion&) {
        throw;
    } catch (const std::exception& e) {
        throw std::runtime_error(e.what());
    }
}

std::uint32_t CalculateCRC32(std::string_view data) {
    uLong crc = crc32(0L, Z_NULL, 0);
    // zlib takes at most uInt bytes per call.
    while (!data.empty()) {
        const auto piece = static_cast<uInt>(std::min<std::size_t>(data.size(), 1u << 30));
        crc = crc32(crc, reinterpret_cast<const Bytef*>(data.data()), piece);
        data.remove_prefix(piece);
    }
    return static_cast<std::uint32_t>(crc);
}

std::uint32_t GetTickCount() {
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000 +
                                      now.tv_nsec / 1'000'000);
}

std::uint32_t CurrentThreadID() {
    return static_cast<std::uint32_t>(::gettid());
}

} // namespace pelio
