#include "cuttableproxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

} // namespace

TCuttableProxy::TCuttableProxy(int upstreamPort) : upstreamPort_(upstreamPort) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 8) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("proxy: cannot listen");
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { Accept(); });
}

TCuttableProxy::~TCuttableProxy() {
    shutdown(listener_, SHUT_RDWR); // wakes the accepting thread
    acceptor_.join();
    Cut();
    for (std::thread& t : threads_)
        t.join();
    for (int s : sockets_)
        close(s);
    close(listener_);
}

void TCuttableProxy::Cut() {
    std::lock_guard lock(mutex_);
    for (int s : sockets_)
        shutdown(s, SHUT_RDWR);
}

void TCuttableProxy::Accept() {
    for (;;) {
        const int client = accept(listener_, nullptr, nullptr);
        if (client < 0) return;
        const int server = socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in address = Loopback(upstreamPort_);
        if (server < 0 || connect(server, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            close(client);
            if (server >= 0) close(server);
            continue;
        }
        std::lock_guard lock(mutex_);
        sockets_.insert(sockets_.end(), {client, server});
        threads_.emplace_back(&TCuttableProxy::Pump, this, client, server, false);
        threads_.emplace_back(&TCuttableProxy::Pump, this, server, client, true);
    }
}

void TCuttableProxy::CutAnswers() {
    cutAnswers_ = true;
}

void TCuttableProxy::Pump(int from, int to, bool answers) {
    char buffer[16384];
    for (ssize_t n; (n = read(from, buffer, sizeof buffer)) > 0;)
        if ((answers && cutAnswers_.exchange(false)) || write(to, buffer, static_cast<size_t>(n)) != n) break;
    // One side ended: end both, as a broken link does.
    shutdown(from, SHUT_RDWR);
    shutdown(to, SHUT_RDWR);
}
