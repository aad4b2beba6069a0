#pragma once
// Creating the schema of a new database, the same way for every backend.

#include "server/db/database.h"

#include <string_view>

namespace kav::server {

// In one transaction on `connection`: runs `lockSql` when not empty (so that servers starting
// together do not both create the tables), counts the tables with `tableCountSql`, and when there are
// none runs `schemaScript`. Returns true when it created the schema; on failure nothing is left.
bool CreateSchemaWhenEmpty(Connection& connection, std::string_view lockSql, std::string_view tableCountSql,
                           std::string_view schemaScript);

} // namespace kav::server
