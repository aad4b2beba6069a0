#pragma once
// The PostgreSQL backend: a libpq connection per thread. Sessions run with DateStyle ISO, UTF8
// client encoding and the server process's local time zone, so that 'now' and the stored
// timestamps (without time zone) agree with what SQLite's 'localtime' gives.

#include "server/db/database.h"

#include <memory>
#include <string>

namespace kav::server {

// `url`: a libpq connection string ("postgresql://..." or "host=... dbname=..."). Connects once
// to check it; raises EDatabase with libpq's message when that fails. The pipe's connections
// follow `pipe` (server/db/postgresqlpipe.h).
std::unique_ptr<Database> OpenPostgreSQLDatabase(const std::string& url, const PipeSettings& pipe);

} // namespace kav::server
