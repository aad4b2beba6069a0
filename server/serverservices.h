#pragma once
// The services kav-server publishes and what their servants share. Servants are made afresh for
// every call; each connection thread reaches the database through a Connection of its own, and
// runs the data pipe's statements on a pipe Connection of its own, each opened at its first use
// and kept for the thread's life (pool threads serve one connection at a time, so no Connection is
// ever used by two threads at once).

#include "server/access/loginattempt.h"
#include "server/db/database.h"
#include "server/sessionsigner.h"

#include <cstdint>
#include <string>

namespace kav::server {

struct ServerServices {
    Database& database;
    const TSessionSigner& sessions;
    // Results whose data packet would not fit into a message of this size are refused with a
    // clear error instead of a frame the client would drop together with the connection.
    std::uint32_t maxMessageBytes;
    LoginLimits loginLimits{};
};

// The calling thread's connection to `database`; opened on first use.
Connection& ThreadConnection(Database& database);
// The calling thread's data pipe connection to `database` (Database::ConnectPipe); opened on
// first use.
Connection& ThreadPipeConnection(Database& database);

// Registers the servants of ITPLogin, ITPDBPipe, ITPTicketOffice, ITPMapSeatShow, ITPMapSectionShow,
// ITPFreeSaleShow, ITPBackGroundReclaim and the other outside services (docs/services.md) with the
// process-wide ORB registry. `services` must outlive every server that uses them.
void RegisterServices(const ServerServices& services);

} // namespace kav::server
