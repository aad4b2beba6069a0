// ticketoffice-server [--port N]: hosts the ticket office service with a servant that answers
// every operation. SIGUSR1 lists the live connections; SIGINT or SIGTERM stop the server.

#include "platform/core/datetime.h"
#include "rpc/pelioserver.h"
#include "services/ticketoffice/testticketoffice.h"

#include <charconv>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>

namespace {

int ParsePort(int argc, char** argv) {
    int port = 6666;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const std::string_view value = i + 1 < argc ? argv[i + 1] : "";
        const auto parsed = std::from_chars(value.data(), value.data() + value.size(), port);
        if (argument == "--port" && parsed.ec == std::errc() && parsed.ptr == value.data() + value.size() &&
            port >= 0 && port <= 65535) {
            ++i;
        } else {
            std::cerr << "usage: ticketoffice-server [--port N]\n";
            std::exit(2);
        }
    }
    return port;
}

void ListConnections(const pelio::TPelioServer& server) {
    const auto connections = server.Connections();
    std::cout << connections.size() << " connection(s)\n";
    for (const pelio::TosEnvironmentInfo& info : connections)
        std::cout << "  " << info.PeerAddress << " session " << info.SessionID << " client "
                  << info.ClientAddress << " state " << info.State << " at "
                  << kav::FormatDateTimeIso(info.StateTime) << " requests " << info.RequestCount << " last "
                  << info.InterfaceName << "." << info.MethodName << "\n";
    std::cout.flush();
}

} // namespace

int main(int argc, char** argv) {
    const int port = ParsePort(argc, argv);
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGUSR1);
    // Blocked before any thread starts, so that only sigwait below receives them.
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    pelio::ORBRegisterServantClass<kav::TTestTicketOffice>(std::string(kav::kTicketOfficeInterface));
    pelio::TPelioServer server;
    server.SetPort(port);
    try {
        server.SetActive(true);
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    std::cout << "ticketoffice-server listening on port " << server.ListeningPort() << std::endl;
    for (;;) {
        int received = 0;
        sigwait(&signals, &received);
        if (received != SIGUSR1) break;
        ListConnections(server);
    }
    server.SetActive(false);
    return 0;
}
