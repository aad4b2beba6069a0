#include "server/db/schemasetup.h"

#include "server/db/transaction.h"

#include <cstdint>

namespace kav::server {

bool CreateSchemaWhenEmpty(Connection& connection, std::string_view lockSql, std::string_view tableCountSql,
                           std::string_view schemaScript) {
    return InTransaction(connection, [&] {
        if (!lockSql.empty()) connection.Select(lockSql, {});
        auto tables = connection.Select(tableCountSql, {});
        if (std::get<std::int64_t>(tables.at(0).at(0)) > 0) return false;
        connection.Execute(schemaScript, {});
        return true;
    });
}

} // namespace kav::server
