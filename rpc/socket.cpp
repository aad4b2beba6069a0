#include "rpc/socket.h"

#include <array>
#include <asio/connect.hpp>
#include <asio/write.hpp>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>

namespace pelio {

namespace {

// Reads smaller than this go through the receive buffer; larger ones land in place.
constexpr std::size_t kReadAhead = 16 * 1024;

[[noreturn]] void Fail(const std::string& what, const asio::error_code& ec) {
    throw TosSocketError(what + ": " + ec.message());
}

// Waits until the descriptor is ready for `events`; false when `timeout` passed first.
bool WaitFor(int fd, short events, std::chrono::milliseconds timeout) {
    pollfd entry{fd, events, 0};
    for (;;) {
        const int rc = ::poll(&entry, 1, static_cast<int>(std::max<std::int64_t>(timeout.count(), 0)));
        if (rc >= 0) return rc > 0;
        if (errno != EINTR) throw TosSocketError("poll failed");
    }
}

} // namespace

TosSocket::TosSocket(asio::io_context& io) : socket_(io) {}

TosSocket::TosSocket(asio::ip::tcp::socket&& accepted) : socket_(std::move(accepted)) {
    asio::error_code ignored;
    socket_.set_option(asio::ip::tcp::no_delay(true), ignored);
}

TosSocket::~TosSocket() {
    Disconnect();
}

void TosSocket::Connect(const std::string& host, int port, std::chrono::milliseconds timeout) {
    Disconnect();
    asio::error_code ec;
    asio::ip::tcp::resolver resolver(socket_.get_executor());
    const auto endpoints = resolver.resolve(host, std::to_string(port), ec);
    if (ec) Fail("Cannot resolve " + host, ec);
    asio::error_code last = asio::error::host_not_found;
    for (const auto& entry : endpoints) {
        std::lock_guard lock(closeMutex_);
        socket_.close(ec);
        socket_.open(entry.endpoint().protocol(), ec);
        if (ec) {
            last = ec;
            continue;
        }
        socket_.non_blocking(true, ec);
        socket_.connect(entry.endpoint(), ec);
        if (ec == asio::error::in_progress || ec == asio::error::would_block) {
            if (!WaitFor(socket_.native_handle(), POLLOUT, timeout)) {
                last = asio::error::timed_out;
                continue;
            }
            int error = 0;
            socklen_t length = sizeof error;
            ::getsockopt(socket_.native_handle(), SOL_SOCKET, SO_ERROR, &error, &length);
            ec = asio::error_code(error, asio::system_category());
        }
        if (ec) {
            last = ec;
            continue;
        }
        socket_.non_blocking(false, ec);
        socket_.set_option(asio::ip::tcp::no_delay(true), ec);
        return;
    }
    {
        std::lock_guard lock(closeMutex_);
        socket_.close(ec);
    }
    Fail("Cannot connect to " + host + ":" + std::to_string(port), last);
}

bool TosSocket::Connected() const noexcept {
    return socket_.is_open();
}

void TosSocket::Disconnect() noexcept {
    std::lock_guard lock(closeMutex_);
    readStart_ = readEnd_ = 0;
    asio::error_code ignored;
    if (socket_.is_open()) {
        socket_.shutdown(asio::socket_base::shutdown_both, ignored);
        socket_.close(ignored);
    }
}

void TosSocket::Interrupt() noexcept {
    std::lock_guard lock(closeMutex_);
    if (socket_.is_open()) ::shutdown(socket_.native_handle(), SHUT_RDWR);
}

void TosSocket::WriteAll(std::string_view head, std::string_view body) {
    const std::array<asio::const_buffer, 2> pieces{asio::buffer(head.data(), head.size()),
                                                   asio::buffer(body.data(), body.size())};
    asio::error_code ec;
    asio::write(socket_, pieces, ec);
    if (ec) Fail("Send failed", ec);
}

void TosSocket::ReadExact(void* data, std::size_t count,
                          std::optional<std::chrono::milliseconds> stallLimit) {
    auto* out = static_cast<char*>(data);
    std::size_t done = std::min(count, readEnd_ - readStart_);
    if (done > 0) std::memcpy(out, readAhead_.get() + readStart_, done);
    readStart_ += done;
    while (done < count) {
        if (count - done >= kReadAhead) {
            done += ReceiveSome(out + done, count - done, stallLimit);
            continue;
        }
        if (!readAhead_) readAhead_ = std::make_unique_for_overwrite<char[]>(kReadAhead);
        const std::size_t got = ReceiveSome(readAhead_.get(), kReadAhead, stallLimit);
        const std::size_t used = std::min(got, count - done);
        std::memcpy(out + done, readAhead_.get(), used);
        done += used;
        readStart_ = used;
        readEnd_ = got;
    }
}

std::size_t TosSocket::ReceiveSome(char* into, std::size_t capacity,
                                   const std::optional<std::chrono::milliseconds>& stallLimit) {
    if (!socket_.is_open()) throw TosSocketError("Receive failed: not connected");
    const int fd = socket_.native_handle();
    for (;;) {
        // With a stall limit the wait happens in poll, so that it can end.
        const ssize_t got = ::recv(fd, into, capacity, stallLimit ? MSG_DONTWAIT : 0);
        if (got > 0) return static_cast<std::size_t>(got);
        if (got == 0) throw TosSocketError("Receive failed: the peer closed the connection");
        if (errno == EINTR) continue;
        if (!stallLimit || (errno != EAGAIN && errno != EWOULDBLOCK))
            throw TosSocketError(std::string("Receive failed: ") + std::strerror(errno));
        if (!WaitFor(fd, POLLIN, *stallLimit))
            throw TosSocketError("The peer stalled in the middle of a message");
    }
}

std::string TosSocket::LocalAddress() const {
    asio::error_code ec;
    const auto endpoint = socket_.local_endpoint(ec);
    return ec ? std::string() : endpoint.address().to_string();
}

std::string TosSocket::PeerAddress() const {
    asio::error_code ec;
    const auto endpoint = socket_.remote_endpoint(ec);
    return ec ? std::string() : endpoint.address().to_string();
}

int TosSocket::LocalPort() const {
    asio::error_code ec;
    const auto endpoint = socket_.local_endpoint(ec);
    return ec ? 0 : endpoint.port();
}

} // namespace pelio
