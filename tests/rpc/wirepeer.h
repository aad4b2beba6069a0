#pragma once
// Test peers that speak the frame format directly, to see and shape what travels on the wire.

#include "rpc/socket.h"
#include "rpc/transport.h"

#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pelio::testing {

// A listening socket on 127.0.0.1 with an ephemeral port.
class Listener {
public:
    Listener() : acceptor_(io_, asio::ip::tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0)) {}
    int Port() const { return acceptor_.local_endpoint().port(); }
    std::unique_ptr<TosSocket> Accept() {
        asio::ip::tcp::socket socket(io_);
        acceptor_.accept(socket);
        return std::make_unique<TosSocket>(std::move(socket));
    }
    asio::io_context& Io() { return io_; }

private:
    asio::io_context io_;
    asio::ip::tcp::acceptor acceptor_;
};

// A connected pair of sockets over loopback.
struct SocketPair {
    Listener listener;
    TosSocket client{listener.Io()};
    std::unique_ptr<TosSocket> server;
    SocketPair() {
        client.Connect("127.0.0.1", listener.Port(), std::chrono::seconds(5));
        server = listener.Accept();
    }
};

// One whole frame, header and body, as it travels.
inline std::string ReadRawFrame(TosSocket& socket) {
    std::string frame(kFrameHeaderSize, '\0');
    socket.ReadExact(frame.data(), frame.size());
    std::uint32_t compressed = 0;
    std::memcpy(&compressed, frame.data() + 8, 4);
    frame.resize(frame.size() + compressed);
    socket.ReadExact(frame.data() + kFrameHeaderSize, compressed);
    return frame;
}

// The bytes of the first `frames` frames a client sends on a new connection, `call` making them
// against the port it is given. The connection is closed after them, unanswered, so `call` must
// expect its call to fail.
inline std::string CapturedFrames(const std::function<void(int port)>& call, int frames) {
    Listener listener;
    std::thread caller([&] { call(listener.Port()); });
    std::unique_ptr<TosSocket> socket = listener.Accept();
    std::string bytes;
    for (int i = 0; i < frames; ++i)
        bytes += ReadRawFrame(*socket);
    socket->Disconnect();
    caller.join();
    return bytes;
}

// A server that records every message body it receives (one connection at a time) and answers
// requests through `Reply` (by default a response with the environment block and one Boolean true).
class RecordingServer {
public:
    using Reply = std::function<void(TosSocket&, TosTransport&)>;

    explicit RecordingServer(Reply reply = DefaultReply) : reply_(std::move(reply)) {
        thread_ = std::thread([this] { Serve(); });
    }
    ~RecordingServer() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
            if (current_) current_->Interrupt();
        }
        // Wake the accept with a connection of our own.
        asio::io_context io;
        TosSocket wake(io);
        try {
            wake.Connect("127.0.0.1", Port(), std::chrono::seconds(1));
        } catch (...) {
        }
        thread_.join();
    }

    int Port() const { return listener_.Port(); }

    // Waits until `count` bodies have arrived and returns all of them.
    std::vector<std::string> WaitForMessages(std::size_t count) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(10), [&] { return bodies_.size() >= count; });
        return bodies_;
    }

    static void DefaultReply(TosSocket&, TosTransport& transport) {
        transport.OpenBuffer(false);
        TosDataBuffer& buffer = transport.DataBuffer();
        buffer.WriteSmallInt(OSTP_VERSION_INFO);
        buffer.WriteSmallInt(OSTP_RPC_RESPONSE);
        for (int i = 0; i < 7; ++i)
            buffer.WriteString("");
        buffer.WriteInteger(999);
        buffer.WriteBoolean(true);
        transport.CloseBuffer();
    }

private:
    void Serve() {
        for (;;) {
            std::unique_ptr<TosSocket> socket = listener_.Accept();
            {
                std::lock_guard lock(mutex_);
                if (stopping_) return;
                current_ = socket.get();
            }
            TosTransport transport;
            transport.SetConnection(socket.get());
            try {
                for (;;) {
                    transport.OpenBuffer(true);
                    std::string body = transport.DataBuffer().Bytes();
                    {
                        std::lock_guard lock(mutex_);
                        bodies_.push_back(body);
                    }
                    changed_.notify_all();
                    // Requests (version 30, kind 0) get an answer; audit notices do not.
                    if (body.size() >= 4 && body[2] == 0 && body[3] == 0) reply_(*socket, transport);
                }
            } catch (...) {
            }
            std::lock_guard lock(mutex_);
            current_ = nullptr;
        }
    }

    Listener listener_;
    Reply reply_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> bodies_;
    TosSocket* current_ = nullptr;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace pelio::testing
