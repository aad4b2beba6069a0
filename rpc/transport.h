#pragma once
// TosTransport: moves one TosDataBuffer at a time over a connection as one frame.
//
// Frame (little-endian): Magic "OSTP" (4 bytes), Reserved (4, sent as 0, not examined),
// CompressedSize (4, body bytes that follow; 0 = no body), UncompressedSize (4, size of the data
// buffer; 0 without body), then the body: the data buffer as one zlib stream (RFC 1950), level 1.
// A frame without body is a ping.
//
// Message bodies start with SmallInt OSTP_VERSION_INFO (30) and SmallInt kind:
//   request   0     environment block, String interface, String method, arguments
//   response  1     environment block, results
//   exception -1    String message
//   audit     32767 environment block (no reply)
//
// Limits (TosTransportLimits): neither size field is trusted. A frame announcing more than
// MaxMessageSize bytes (compressed or not) is refused before anything is allocated, and the body
// must inflate to exactly UncompressedSize bytes. Waiting for a frame to start is unlimited, but
// once its first byte has arrived no StallTimeout may pass without a further byte of it: a frame
// that keeps arriving, however slowly, is read whole.
//
// Errors: OpenBuffer/CloseBuffer route every failure through RaiseORBException, which closes the
// connection and raises EosException "请检查网络，现在已和服务器断开连接!" for network failures,
// EosException with the text of an EosRemoteException (wrong magic, over-size frame), EosException
// for a message too large to send, and a plain std::runtime_error with the message of anything else
// (a corrupt body). The size-limit texts are for the seller, in Chinese.
//
// Threading: none. A transport, its buffer and its connection serve one thread.

#include "rpc/databuffer.h"
#include "rpc/fixeddeflate.h"
#include "rpc/zstreams.h"

#include <chrono>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace pelio {

class TosSocket;

inline constexpr std::int16_t OSTP_VERSION_INFO = 30;
inline constexpr std::int16_t OSTP_RPC_REQUEST = 0;
inline constexpr std::int16_t OSTP_RPC_RESPONSE = 1;
inline constexpr std::int16_t OSTP_RPC_EXCEPTION = -1;
inline constexpr std::int16_t OSTP_AUDIT_NOTIFY = 32767;

inline constexpr std::uint32_t kOstpMagic = 0x5054534F; // "OSTP"
inline constexpr std::size_t kFrameHeaderSize = 16;

inline constexpr std::string_view kLostConnectionText = "请检查网络，现在已和服务器断开连接!";
inline constexpr std::string_view kInvalidMessageText = "无效的消息格式, 数据可能被篡改!";
inline constexpr std::string_view kWrongVersionText = "ORB的版本不对, 应为V3.0!";

struct TosTransportLimits {
    std::uint32_t MaxMessageSize = 256u << 20;
    std::chrono::milliseconds StallTimeout{60'000};
};

class TosTransport final {
public:
    TosTransport() = default;
    TosTransport(const TosTransport&) = delete;
    TosTransport& operator=(const TosTransport&) = delete;

    // The connection is not owned; it must outlive its use by the transport.
    void SetConnection(TosSocket* connection) noexcept { connection_ = connection; }
    TosSocket* Connection() const noexcept { return connection_; }
    TosDataBuffer& DataBuffer() noexcept { return buffer_; }
    void SetLimits(const TosTransportLimits& limits) noexcept { limits_ = limits; }
    const TosTransportLimits& Limits() const noexcept { return limits_; }

    // Writing: empties the data buffer for the caller to fill. Reading: receives one frame into
    // the data buffer, positioned at 0; a frame of another protocol raises (see above).
    void OpenBuffer(bool forRead);
    // After writing: sends the frame. After reading: empties the data buffer.
    void CloseBuffer();

    void Send();
    // False when the frame does not start with the magic; nothing after it is read.
    bool Receive();
    void SendRemoteException(std::string_view message);
    [[noreturn]] void RaiseORBException(std::exception_ptr error);

    // The header of the last frame sent or received.
    std::uint32_t Magic = 0;
    std::uint32_t Reserved = 0;
    std::uint32_t CompressedSize = 0;
    std::uint32_t UncompressedSize = 0;

private:
    void ReadMessageBody();

    TosDataBuffer buffer_;
    std::string body_;
    TosFixedDeflater fixedDeflater_; // for the smallest messages, most calls
    TosDeflater deflater_;
    TosInflater inflater_;
    TosSocket* connection_ = nullptr;
    bool readMode_ = false;
    TosTransportLimits limits_;
};

// Standard CRC-32 (zlib's) over all of `data`.
std::uint32_t CalculateCRC32(std::string_view data);
// Milliseconds since the system started (wraps after 49.7 days, as a 32-bit tick count does).
std::uint32_t GetTickCount();
std::uint32_t CurrentThreadID();

} // namespace pelio
