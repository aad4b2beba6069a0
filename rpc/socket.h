#pragma once
// TosSocket: one blocking TCP connection (standalone Asio), with the two things plain blocking
// reads lack: a connect time-out and a limit on how long a read that has started may go without
// a byte arriving.
//
// Threading: one thread reads, writes, connects and disconnects. Interrupt() alone may be called
// from any other thread; it wakes that thread's blocked read or write, which then fails.
// Failures raise TosSocketError (the network, a peer that closed, a peer that stalled).

#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <chrono>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pelio {

class TosSocketError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TosSocket final {
public:
    // A socket not yet connected; `io` must outlive it.
    explicit TosSocket(asio::io_context& io);
    // Takes over an accepted connection.
    explicit TosSocket(asio::ip::tcp::socket&& accepted);
    ~TosSocket();
    TosSocket(const TosSocket&) = delete;
    TosSocket& operator=(const TosSocket&) = delete;

    // Resolves `host` and connects to the first address that answers within `timeout` each.
    void Connect(const std::string& host, int port, std::chrono::milliseconds timeout);
    bool Connected() const noexcept;
    // Closes the connection; harmless when not connected.
    void Disconnect() noexcept;
    void Interrupt() noexcept;

    void WriteAll(std::string_view head, std::string_view body = {});
    // Reads exactly `count` bytes. Without a stall limit it waits as long as it takes; with one it
    // fails when no byte arrives for that long, however long the whole read takes while bytes keep
    // coming. Small reads are served from a receive buffer, so a whole small frame costs one
    // system call.
    void ReadExact(void* data, std::size_t count,
                   std::optional<std::chrono::milliseconds> stallLimit = std::nullopt);

    std::string LocalAddress() const;
    std::string PeerAddress() const;
    int LocalPort() const;

private:
    // Receives at most `capacity` bytes, at least one; waits up to `stallLimit` when given.
    std::size_t ReceiveSome(char* into, std::size_t capacity,
                            const std::optional<std::chrono::milliseconds>& stallLimit);

    asio::ip::tcp::socket socket_;
    std::unique_ptr<char[]> readAhead_; // bytes received ahead of the reads, from readStart_ to readEnd_
    std::size_t readStart_ = 0;
    std::size_t readEnd_ = 0;
    mutable std::mutex closeMutex_; // between Disconnect and Interrupt
};

} // namespace pelio
