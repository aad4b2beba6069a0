#pragma once
// A TCP relay on 127.0.0.1 in front of a server, whose connections the test can cut as a network fault
// would, while the server itself keeps running and new connections still get through.

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

class TCuttableProxy final {
public:
    explicit TCuttableProxy(int upstreamPort);
    ~TCuttableProxy();
    TCuttableProxy(const TCuttableProxy&) = delete;
    TCuttableProxy& operator=(const TCuttableProxy&) = delete;

    int Port() const noexcept { return port_; }
    // Breaks every relayed connection in both directions.
    void Cut();
    // From now on the server's next answer never arrives: the connection breaks as its first bytes
    // come back, after the server has done the work asked for.
    void CutAnswers();

private:
    void Accept();
    void Pump(int from, int to, bool answers);

    int upstreamPort_;
    int listener_ = -1;
    int port_ = 0;
    std::mutex mutex_;
    std::vector<int> sockets_;
    std::vector<std::thread> threads_;
    std::atomic<bool> cutAnswers_{false};
    std::thread acceptor_;
};
