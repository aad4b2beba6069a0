#include "server/db/schemasetup.h"

#include <cstdint>

namespace kav::server {

bool CreateSchemaWhenEmpty(Connection& connection, std::string_view lockSql, std::string_view tableCountSql,
                           std::string_view schemaScript) {
    connection.Begin();
    try {
        if (!lockSql.empty()) connection.Select(lockSql, {});
        auto tables = connection.Select(tableCountSql, {});
        if (std::get<std::int64_t>(tables.at(0).at(0)) > 0) {
            connection.Rollback();
            return false;
        }
        connection.Execute(schemaScript, {});
        connection.Commit();
        return true;
    } catch (...) {
        connection.Rollback();
        throw;
    }
}

} // namespace kav::server
