#pragma once
// kav-server's life: open (and if asked, seed) the database, publish the services, listen, print
// "kav-server listening on PORT" on standard output (and "kav-server HTTP on PORT" with
// --http-port), log every connection's start and end on standard error, and stop cleanly at
// SIGINT or SIGTERM.

#include "server/serveroptions.h"

namespace kav::server {

// Must be called before any other thread starts (it blocks SIGINT and SIGTERM for sigwait).
// Returns the program's exit code: 0 after a clean stop, 1 when the server cannot start.
int RunServer(const ServerOptions& options);

} // namespace kav::server
