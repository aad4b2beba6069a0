#pragma once
// The SQLite backend: one database file, a connection per thread (WAL journal, so readers do not
// wait for a writer; writers wait up to the busy timeout).

#include "server/db/database.h"

#include <memory>
#include <string>

namespace kav::server {

// Opens (creating when missing) the database file; raises EDatabase when it cannot.
std::unique_ptr<Database> OpenSQLiteDatabase(const std::string& path);

} // namespace kav::server
