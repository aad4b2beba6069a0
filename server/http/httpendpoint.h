#pragma once
// THttpEndpoint: the HTTP requests kav-server answers besides its RPC services (docs/services.md,
// "HTTP endpoint"), with cpp-httplib:
//   GET  /Saleorder/sendmessageforsys?mobile=&ordercode=&content=   a text message to resend
//   POST /ConsumeInfoPost   (form; field Context: a signed session)  a member purchase
// Each request runs on a thread of the endpoint's pool, with that thread's database connection.
//
// Threading: Start and Stop from one thread; the destructor stops.

#include "server/serverservices.h"

#include <memory>
#include <thread>

namespace httplib {
class Server;
}

namespace kav::server {

// The longest text message kept, in bytes of UTF-8.
inline constexpr std::size_t kMaxTextMessageBytes = 500;

class THttpEndpoint final {
public:
    // `services` must outlive the endpoint.
    explicit THttpEndpoint(const ServerServices& services);
    ~THttpEndpoint();
    THttpEndpoint(const THttpEndpoint&) = delete;
    THttpEndpoint& operator=(const THttpEndpoint&) = delete;

    // Listens on `port` (0: any free port) on every address; raises std::runtime_error when the
    // port cannot be bound.
    void Start(int port);
    int Port() const noexcept { return port_; }
    void Stop();

private:
    const ServerServices& services_;
    std::unique_ptr<httplib::Server> server_;
    std::thread listener_;
    int port_ = 0;
};

} // namespace kav::server
