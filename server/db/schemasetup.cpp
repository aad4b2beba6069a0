#include "server/db/schemasetup.h"

#include "server/db/transaction.h"

#include <cstdint>

namespace kav::server {
namespace {

// Serialises schema work between app servers sharing a PostgreSQL database; SQLite's
// BEGIN IMMEDIATE does the same there.
constexpr const char* kPostgreSQLSchemaLock = "select pg_advisory_xact_lock(4206111)";

std::int64_t Count(Connection& connection, std::string_view sql, const std::vector<SqlValue>& params = {}) {
    return std::get<std::int64_t>(connection.Select(sql, params).at(0).at(0));
}

std::int64_t TableCount(Connection& connection) {
    return Count(connection, connection.Kind() == Backend::SQLite
                                 ? "select count(*) from sqlite_schema where type = 'table'"
                                 : "select count(*) from information_schema.tables where table_schema = "
                                   "current_schema() and table_type = 'BASE TABLE'");
}

bool HasTable(Connection& connection, std::string_view name) {
    return Count(connection,
                 connection.Kind() == Backend::SQLite
                     ? "select count(*) from sqlite_schema where type = 'table' and upper(name) = upper(?1)"
                     : "select count(*) from information_schema.tables where table_schema = current_schema() "
                       "and table_type = 'BASE TABLE' and upper(table_name) = upper(?1)",
                 {std::string(name)}) > 0;
}

void RecordVersion(Connection& connection, int version) {
    connection.Execute("delete from KAV_SCHEMA_VERSION");
    connection.Execute("insert into KAV_SCHEMA_VERSION (VERSION) values (?1)", {std::int64_t{version}});
}

} // namespace

int CurrentSchemaVersion(std::span<const SchemaStep> steps) {
    return steps.empty() ? 1 : steps.back().Version;
}

int SchemaVersionOf(Connection& connection) {
    if (HasTable(connection, "KAV_SCHEMA_VERSION")) {
        const auto rows = connection.Select("select max(VERSION) from KAV_SCHEMA_VERSION");
        if (const auto* version = std::get_if<std::int64_t>(&rows.at(0).at(0)))
            return static_cast<int>(*version);
        throw ESchemaRefused("KAV_SCHEMA_VERSION holds no version: the database was changed by hand");
    }
    if (HasTable(connection, "KAV_ORDER_SHOW")) return 1;
    if (TableCount(connection) == 0) return 0;
    throw ESchemaRefused("The database holds tables, but not the box office's (no KAV_ORDER_SHOW): "
                         "give kav-server an empty database or one that it made");
}

SchemaUpgrade EnsureCurrentSchema(Connection& connection, std::span<const SchemaStep> steps) {
    const bool sqlite = connection.Kind() == Backend::SQLite;
    return InTransaction(connection, [&] {
        if (!sqlite) connection.Select(kPostgreSQLSchemaLock);
        SchemaUpgrade upgrade{SchemaVersionOf(connection), CurrentSchemaVersion(steps)};
        if (upgrade.From > upgrade.To)
            throw ESchemaRefused("The database is at schema version " + std::to_string(upgrade.From) +
                                 ", newer than this kav-server's version " + std::to_string(upgrade.To) +
                                 ": run the kav-server that upgraded it, or a later one");
        if (upgrade.Created()) {
            connection.Execute(sqlite ? kSQLiteSchema : kPostgreSQLSchema);
        } else {
            for (const SchemaStep& step : steps) {
                if (step.Version <= upgrade.From) continue;
                try {
                    connection.Execute(sqlite ? step.SQLite : step.PostgreSQL);
                } catch (const EDatabase& e) {
                    throw EDatabase("Upgrade step " + std::to_string(step.Version) + " (" + step.Name +
                                    ") failed: " + e.what());
                }
            }
        }
        if (upgrade.From != upgrade.To) RecordVersion(connection, upgrade.To);
        return upgrade;
    });
}

} // namespace kav::server
