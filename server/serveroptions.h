#pragma once
// The command line of kav-server.

#include "server/access/loginattempt.h"
#include "server/db/database.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kav::server {

inline constexpr const char* kServerUsage =
    "usage: kav-server [--port N] [--db URL] [--seed demo|bench:N] [--threads N] [--max-connections N]\n"
    "                  [--max-message-bytes N] [--session-key-file PATH] [--pipe-db URL]\n"
    "                  [--pipe-row-security on|off] [--login-failures N] [--login-window S]\n"
    "                  [--login-lock S] [--login-lock-max S] [--stall-timeout SECONDS] [--http-port N]\n"
    "  --port N               TCP port to listen on (default 6666; 0 lets the system choose)\n"
    "  --db URL               sqlite:PATH or a PostgreSQL connection string (default sqlite:kav.db)\n"
    "  --seed demo|bench:N    fill an empty database with the demo data, or with N orders\n"
    "  --threads N            connection threads kept in the pool (default 100)\n"
    "  --max-connections N    refuse connections beyond N (default 0, no limit)\n"
    "  --max-message-bytes N  largest message accepted or sent, at least 1048576\n"
    "                         (default 268435456)\n"
    "  --session-key-file PATH  sign sessions with the key in PATH, created when missing, so that\n"
    "                         users stay logged in across restarts and servers sharing the file\n"
    "                         accept each other's sessions (default: a new key at every start)\n"

    "  --pipe-db URL          PostgreSQL: the data pipe's own role (default: the --db connection as\n"
    "                         user kav_pipe, created when missing)\n"
    "  --pipe-row-security on|off\n"
    "                         PostgreSQL: the pipe reaches only the rows of the session's node;\n"
    "                         kept in the database (default: as the database has it, off at first)\n"
    "  --login-failures N     failed logins per user code or address that lock it (default 5;\n"
    "                         0 never locks)\n"
    "  --login-window S       seconds in which those failures count (default 900)\n"
    "  --login-lock S         seconds of the first lock, doubled by each further one (default 30)\n"
    "  --login-lock-max S     longest lock in seconds (default 3600)\n"
    "  --stall-timeout SECONDS  close a connection when no byte of a started message arrives\n"
    "                         for that long (default 60)\n"
    "  --http-port N          also answer the HTTP requests (text messages, member purchase\n"
    "                         posts) on port N (0 = any free port; default: off)\n";

struct ServerOptions {
    int port = 6666;
    std::string database = "sqlite:kav.db";
    std::string seed; // empty: no seeding
    int threads = 100;
    int maxConnections = 0;
    std::uint32_t maxMessageBytes = 256u << 20;
    std::string sessionKeyFile; // empty: a key drawn at start
    PipeSettings pipe;
    LoginLimits login;
    int stallTimeoutSeconds = 60;
    int httpPort = -1; // -1: no HTTP endpoint
};

// Raised for a command line that cannot be used; the message names the option and its value.
class ServerOptionsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// `arguments` without the program name.
ServerOptions ParseServerOptions(const std::vector<std::string>& arguments);

} // namespace kav::server
