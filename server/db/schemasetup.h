#pragma once
// The schema of a database and its version, the same way for every backend.
//
// A database records its schema version in the one row of KAV_SCHEMA_VERSION. A database without
// that table but with the box office's tables (KAV_ORDER_SHOW) was made by the first release: version
// 1. Each later version is one upgrade step of server/schema/upgrades, compiled in
// (server/db/embeddedschema.h); the schema scripts always describe the newest version.

#include "server/db/database.h"
#include "server/db/embeddedschema.h"

#include <span>

namespace kav::server {

// The version the compiled-in schema scripts describe: the number of the last upgrade step.
int CurrentSchemaVersion(std::span<const SchemaStep> steps = SchemaSteps());

// The version `connection`'s database is at: 0 for a database without tables; raises ESchemaRefused
// for one with tables but none of the box office's.
int SchemaVersionOf(Connection& connection);

// In one transaction on `connection` (on PostgreSQL under an advisory lock, so that servers starting
// together take turns): creates the schema in a database without tables, runs the missing upgrade
// steps on an older one and records the new version; a current database is left alone. Raises
// ESchemaRefused for a newer or foreign database, or the step's EDatabase; nothing is changed then.
// `steps` are the compiled-in ones except in tests.
SchemaUpgrade EnsureCurrentSchema(Connection& connection, std::span<const SchemaStep> steps = SchemaSteps());

} // namespace kav::server
