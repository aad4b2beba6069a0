#pragma once
// The schema scripts of server/schema, compiled into the library.

namespace kav::server {

extern const char* const kSQLiteSchema;
extern const char* const kPostgreSQLSchema;

} // namespace kav::server
