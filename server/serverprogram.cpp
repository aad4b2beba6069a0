#include "server/serverprogram.h"

#include "platform/core/datetime.h"
#include "rpc/pelioserver.h"
#include "server/http/httpendpoint.h"
#include "server/seed/seed.h"
#include "server/serverservices.h"
#include "server/sessionkeyfile.h"

#include <csignal>
#include <iostream>
#include <mutex>
#include <optional>

namespace kav::server {

namespace {

void LogConnection(const pelio::TosEnvironmentInfo& info) {
    static std::mutex mutex;
    const bool ended = info.State == "D";
    std::lock_guard lock(mutex);
    std::cerr << FormatDateTimeIso(info.StateTime) << " connection " << info.PeerAddress
              << (ended ? " ended after " + std::to_string(info.RequestCount) + " request(s)" : " started")
              << std::endl;
}

} // namespace

int RunServer(const ServerOptions& options) {
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    // Blocked before any thread starts, so that only sigwait below receives them.
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    // A client that goes away while it is being answered ends its connection, not the server.
    std::signal(SIGPIPE, SIG_IGN);

    try {
        const std::unique_ptr<Database> database = Database::Open(options.database, options.pipe);
        const SchemaUpgrade schema = database->EnsureSchema();
        if (schema.Created())
            std::cerr << "created the schema (version " << schema.To << ") in " << options.database
                      << std::endl;
        else if (schema.Upgraded())
            std::cerr << "upgraded the schema of " << options.database << " from version " << schema.From
                      << " to " << schema.To << std::endl;
        if (!options.seed.empty()) {
            SeedDatabase(*database, options.seed);
            std::cerr << "database seeded with " << options.seed << " (left as it was if it held users)"
                      << std::endl;
        }
        const TSessionSigner sessions = options.sessionKeyFile.empty()
                                            ? TSessionSigner()
                                            : TSessionSigner(LoadOrCreateSessionKey(options.sessionKeyFile));
        const ServerServices services{*database, sessions, options.maxMessageBytes, options.login};
        RegisterServices(services);

        pelio::TPelioServer server;
        server.SetPort(options.port);
        server.SetThreadPoolSize(options.threads);
        server.SetMaxConnections(options.maxConnections);
        pelio::TosTransportLimits limits;
        limits.MaxMessageSize = options.maxMessageBytes;
        limits.StallTimeout = std::chrono::seconds(options.stallTimeoutSeconds);
        server.SetTransportLimits(limits);
        server.SetConnectionObserver(LogConnection);
        server.SetActive(true);
        std::cout << "kav-server listening on " << server.ListeningPort() << std::endl;
        THttpEndpoint http(services);
        if (options.httpPort >= 0) {
            http.Start(options.httpPort);
            std::cout << "kav-server HTTP on " << http.Port() << std::endl;
        }

        int received = 0;
        sigwait(&stopSignals, &received);
        std::cerr << "stopping on signal " << received << std::endl;
        http.Stop();
        server.SetActive(false);
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "kav-server: " << e.what() << std::endl;
        return 1;
    }
}

} // namespace kav::server
