#pragma once
// TPelioClient: one TCP connection from a client program to an RPC server, connected lazily at
// the first call and announced with an audit notice (a fresh SessionID) on every new connection.
// TPelioProxy: the base of every client-side proxy; runs one remote call at a time over a client.
//
// One remote call: CreateRequest, write the arguments, SendRequest, GetResponse, read the
// results, DestoryResponse. A failing step skips the rest; the next CreateRequest starts afresh.
//
// What a call can raise: EosConnectionError "请检查网络，现在已和服务器断开连接!" (cannot connect);
// EosException with that text (the connection failed and was closed) or with "无效的消息格式,
// 数据可能被篡改!" (the reply was not a frame of this protocol; closed); EosRemoteException with
// "ORB的版本不对, 应为V3.0!" or the server's text (the connection stays open). The client is usable
// for the next call after any of them.
//
// Threading: no locks. A client and all proxies on it serve one thread, one call at a time;
// another thread creates its own client with the same host and port.

#include "rpc/pelioenv.h"
#include "rpc/socket.h"
#include "rpc/transport.h"

#include <asio/io_context.hpp>
#include <chrono>
#include <string>
#include <string_view>

namespace pelio {

class TPelioClient final {
public:
    // Host "127.0.0.1", port 6666, not connected, environment reset.
    TPelioClient();
    ~TPelioClient();
    TPelioClient(const TPelioClient&) = delete;
    TPelioClient& operator=(const TPelioClient&) = delete;

    // A different value (exact comparison) disconnects; the same value changes nothing.
    void SetHost(const std::string& value);
    void SetPort(int value);
    const std::string& GetHost() const noexcept { return host_; }
    int GetPort() const noexcept { return port_; }
    // true: connects and announces when not connected. false: disconnects.
    void SetActive(bool value);
    bool GetActive() const noexcept { return active_; }
    bool Connected() const noexcept { return socket_.Connected(); }
    void SetConnectTimeout(std::chrono::milliseconds timeout) noexcept { connectTimeout_ = timeout; }

    // Sends the audit notice on the current connection through a transport of its own, so that
    // a request being written on the client's transport stays untouched.
    void BeginAudit();
    // Ping: a frame without body there and back. Does not connect first.
    void SelfTest();

    TosTransport& Transport() noexcept { return transport_; }
    TPelioEnvironment& Environment() noexcept { return environment_; }

private:
    asio::io_context io_;
    TosSocket socket_;
    TosTransport transport_;
    TPelioEnvironment environment_;
    std::string host_;
    int port_ = 0;
    bool active_ = false;
    std::chrono::milliseconds connectTimeout_{10'000};
};

class TPelioProxy {
public:
    // `client` must not be null (EosAssertion) and must outlive the proxy; it is never freed here.
    explicit TPelioProxy(TPelioClient* client);
    virtual ~TPelioProxy() = default;
    TPelioProxy(const TPelioProxy&) = delete;
    TPelioProxy& operator=(const TPelioProxy&) = delete;

    TPelioClient& Client() const noexcept { return *client_; }

    // Connects when not connected, opens the client's transport for writing and writes the
    // request head; returns the buffer for the arguments.
    TosDataBuffer& CreateRequest(std::string_view interfaceName, std::string_view methodName);
    void SendRequest();
    // Waits for the reply; returns the buffer at the first result, or raises the server's error.
    TosDataBuffer& GetResponse();
    void DestoryResponse();

private:
    TPelioClient* client_;
};

} // namespace pelio
