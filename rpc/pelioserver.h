#pragma once
// TPelioServer: listens on a TCP port and serves every accepted connection on a thread of its
// own (TPelioServerThread), taken from a pool of reusable threads. Each connection receives
// frames, dispatches requests by interface name to a stub of its own registry copy, and answers
// with a response or an exception message.
//
// Limits: MaxConnections > 0 refuses a connection beyond it at once by closing it. Every
// connection's transport enforces TosTransportLimits (message size, stalled frames). Whatever one
// connection sends, or however it disconnects, only that connection is closed.
//
// Threading: configure and switch the server from one controlling thread. Connections() may be
// called from any thread. SetActive(false) and destruction close every connection and join every
// thread; servants still running a call finish it first.

#include "rpc/pelioenv.h"
#include "rpc/registry.h"
#include "rpc/socket.h"
#include "rpc/transport.h"

#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pelio {

// One accepted connection, run by a pool thread: BeforeRun once, Run until the connection is
// gone, AfterRun once. `publish` receives the environment after every change of state.
class TPelioServerThread final {
public:
    using Publisher = std::function<void(const TosEnvironmentInfo&)>;

    TPelioServerThread(TosSocket& connection, const TosTransportLimits& limits, Publisher publish);

    void BeforeRun();
    // One cycle: receive a frame and answer it. False once the connection is gone.
    bool Run();
    void AfterRun();

    TPelioStub* GetStubObject(const std::string& interfaceName) {
        return registry_.GetStubObject(interfaceName);
    }
    // Handles one received message; true for an audit notice.
    bool ORBDispatch();
    const TPelioEnvironment& Environment() const noexcept { return environment_; }

private:
    void RecordInfo(const std::string& state);

    TosSocket& connection_;
    TosTransport transport_;
    TPelioMetaList registry_;
    TPelioEnvironment environment_;
    Publisher publish_;
};

class TPelioServer final {
public:
    // Port 6666, pool of 100 threads, no connection limit; not listening.
    TPelioServer();
    ~TPelioServer();
    TPelioServer(const TPelioServer&) = delete;
    TPelioServer& operator=(const TPelioServer&) = delete;

    bool GetActive() const noexcept { return listener_ != nullptr; }
    // Raises std::runtime_error "Can not start ORB Server on PORT: <port>" when listening fails.
    void SetActive(bool value);
    // A different value stops the server (it must be activated again); the same changes nothing.
    void SetPort(int value);
    void SetThreadPoolSize(int value);
    void SetMaxConnections(int value);
    int GetPort() const noexcept { return port_; }
    int GetThreadPoolSize() const noexcept { return threadPoolSize_; }
    int GetMaxConnections() const noexcept { return maxConnections_; }
    // The port actually listened on (the system's choice when Port is 0); 0 when inactive.
    int ListeningPort() const noexcept { return listeningPort_; }
    // For connections accepted from now on.
    void SetTransportLimits(const TosTransportLimits& limits);
    // For connections accepted from now on: called on the connection's thread once when it starts
    // (State "C") and once when it has ended (State "D"). What it raises is ignored.
    using ConnectionObserver = std::function<void(const TosEnvironmentInfo&)>;
    void SetConnectionObserver(ConnectionObserver observer);

    // The live connections with their environment: who, what they last called, how often, when.
    // A connection's entry is updated once each message has been handled (after its reply).
    std::vector<TosEnvironmentInfo> Connections() const;
    // Threads kept by the pool, idle or serving.
    std::size_t ThreadCount() const;

private:
    struct Connection {
        std::unique_ptr<TosSocket> socket;
        TosEnvironmentInfo info;
    };
    struct Worker {
        std::thread thread;
        bool finished = false;
    };

    void Start();
    void Stop();
    void AcceptLoop();
    void WorkerLoop(Worker* self);
    void Serve(std::uint64_t id, TosSocket& socket);
    void ReapFinishedWorkers(std::unique_lock<std::mutex>& lock);

    int port_ = 6666;
    int threadPoolSize_ = 100;
    int maxConnections_ = 0;
    int listeningPort_ = 0;

    asio::io_context io_;
    std::unique_ptr<asio::ip::tcp::acceptor> listener_;
    int wakePipe_[2] = {-1, -1};
    std::thread acceptThread_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    TosTransportLimits limits_;
    ConnectionObserver observer_;
    std::map<std::uint64_t, Connection> live_;
    std::vector<std::uint64_t> queue_;
    std::list<Worker> workers_;
    std::size_t idleWorkers_ = 0;
    std::uint64_t nextId_ = 1;
};

} // namespace pelio
