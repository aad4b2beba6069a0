// ticketoffice-server [--port N] [--stall-timeout SECONDS]: hosts the ticket office service with a
// servant that answers every operation; a connection is closed when no byte of a started message
// arrives for the stall timeout (default 60 s). SIGUSR1 lists the live connections; SIGINT or SIGTERM stop
// the server.

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

struct Options {
    int port = 6666;
    int stallTimeoutSeconds = 60;
};

[[noreturn]] void Usage() {
    std::cerr << "usage: ticketoffice-server [--port N] [--stall-timeout SECONDS]\n";
    std::exit(2);
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const std::string_view value = i + 1 < argc ? argv[i + 1] : "";
        int number = 0;
        const auto parsed = std::from_chars(value.data(), value.data() + value.size(), number);
        if (parsed.ec != std::errc() || parsed.ptr != value.data() + value.size()) Usage();
        if (argument == "--port" && number >= 0 && number <= 65535)
            options.port = number;
        else if (argument == "--stall-timeout" && number >= 1 && number <= 86400)
            options.stallTimeoutSeconds = number;
        else
            Usage();
        ++i;
    }
    return options;
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
    const Options options = ParseOptions(argc, argv);
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGUSR1);
    // Blocked before any thread starts, so that only sigwait below receives them.
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    pelio::ORBRegisterServantClass<kav::TTestTicketOffice>(std::string(kav::kTicketOfficeInterface));
    pelio::TPelioServer server;
    server.SetPort(options.port);
    pelio::TosTransportLimits limits;
    limits.StallTimeout = std::chrono::seconds(options.stallTimeoutSeconds);
    server.SetTransportLimits(limits);
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
