#include "server/ticketoffice/counter.h"

#include "server/ticketoffice/sqlvalues.h"

#include <cstdio>

namespace kav::server {

std::int64_t DrawNumbers(Connection& connection, const std::string& name, std::int64_t count,
                         std::string_view startSql) {
    // "where true" keeps SQLite from reading "on conflict" as part of the select's join.
    connection.Execute("insert into KAV_COUNTER (NAME, LASTVALUE) select cast(?1 as varchar(32)), (" +
                           std::string(startSql) + ") where true on conflict (NAME) do nothing",
                       {name});
    connection.Execute("update KAV_COUNTER set LASTVALUE = LASTVALUE + ?2 where NAME = ?1", {name, count});
    const auto rows = connection.Select("select LASTVALUE from KAV_COUNTER where NAME = ?1", {name});
    if (rows.empty()) throw EDatabase("counter " + name + " is missing");
    return IntegerOf(rows.front().front()) - count + 1;
}

std::string NewOrderCode(Connection& connection, const std::string& nodeCode) {
    const std::int64_t number = DrawNumbers(connection, "ORDER" + nodeCode, 1);
    char code[32];
    std::snprintf(code, sizeof code, "K%s%08lld", nodeCode.c_str(), static_cast<long long>(number));
    return code;
}

} // namespace kav::server
