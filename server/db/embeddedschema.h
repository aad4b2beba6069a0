#pragma once
// The schema scripts of server/schema and its upgrade steps, compiled into the library.

#include <span>

namespace kav::server {

// The scripts of the current schema, for a database without tables.
extern const char* const kSQLiteSchema;
extern const char* const kPostgreSQLSchema;

// One step of server/schema/upgrades: it takes a database from Version - 1 to Version.
struct SchemaStep {
    int Version;
    const char* Name;
    const char* SQLite;
    const char* PostgreSQL;
};

// Every step, in order of Version: 2, 3, ... without a gap (the build refuses anything else).
std::span<const SchemaStep> SchemaSteps();

} // namespace kav::server
