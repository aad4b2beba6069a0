#include "server/db/database.h"

#include "server/db/postgresqldatabase.h"
#include "server/db/sqlitedatabase.h"

namespace kav::server {

std::unique_ptr<Database> Database::Open(const std::string& url, const PipeSettings& pipe) {
    constexpr std::string_view kSQLitePrefix = "sqlite:";
    if (url.starts_with(kSQLitePrefix)) {
        auto path = url.substr(kSQLitePrefix.size());
        if (path.empty()) throw EDatabase("The SQLite database URL names no file: '" + url + "'");
        return OpenSQLiteDatabase(path);
    }
    return OpenPostgreSQLDatabase(url, pipe);
}

} // namespace kav::server
