// Feeds arbitrary bytes to a server connection: frames, their compression and the messages in
// them all the way to a stub's dispatch. The connection may close; the process must not fail.

#include "rpc/pelioserver.h"
#include "rpc/remote.h"

#include <cstdint>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

using namespace pelio;

namespace {

class IFuzz {
public:
    virtual ~IFuzz() = default;
    virtual Variant Take(const std::string& text, bool flag, std::int32_t number, const Variant& packet) = 0;
};

inline constexpr TRemoteOperation<IFuzz, wire::OleVariant, wire::String, wire::Boolean, wire::Integer,
                                  wire::Packet>
    FuzzTake{"Take", &IFuzz::Take};

class FuzzServant : public TPelioServant, public IFuzz {
public:
    Variant Take(const std::string&, bool, std::int32_t, const Variant& packet) override { return packet; }
};

using FuzzStub = TRemoteStub<FuzzServant, FuzzTake>;

const bool registered = [] {
    ORBRegisterStubClass<FuzzStub>("IFuzz");
    ORBRegisterServantClass<FuzzServant>("IFuzz");
    return true;
}();

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 65536 || !registered) return 0;
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0) return 0;
    // The peer's whole input is buffered before the connection runs; replies stay unread.
    for (std::size_t sent = 0; sent < size;) {
        const ssize_t n = write(fds[1], data + sent, size - sent);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
    shutdown(fds[1], SHUT_WR);

    asio::io_context io;
    asio::ip::tcp::socket raw(io);
    raw.assign(asio::ip::tcp::v4(), fds[0]);
    TosSocket socket(std::move(raw));
    TPelioServerThread connection(socket, {1u << 20, std::chrono::seconds(1)},
                                  [](const TosEnvironmentInfo&) {});
    connection.BeforeRun();
    while (connection.Run()) {
    }
    connection.AfterRun();
    close(fds[1]);
    return 0;
}
