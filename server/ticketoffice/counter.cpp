#include "server/ticketoffice/counter.h"

#include "server/ticketoffice/sqlvalues.h"

namespace kav::server {

std::int64_t DrawNumbers(Connection& connection, const std::string& name, std::int64_t count,
                         std::string_view startSql) {
    // One statement: a counter drawn for the first time is created, any other raised, and the new
    // last value comes back. "where true" keeps SQLite from reading "on conflict" as part of the
    // select's join.
    const auto rows =
        connection.Select("insert into KAV_COUNTER (NAME, LASTVALUE) select cast(?1 as varchar(32)), (" +
                              std::string(startSql) +
                              ") + ?2 where true on conflict (NAME) do update set LASTVALUE = "
                              "KAV_COUNTER.LASTVALUE + ?2 returning LASTVALUE",
                          {name, count});
    if (rows.empty()) throw EDatabase("counter " + name + " is missing");
    return IntegerOf(rows.front().front()) - count + 1;
}

} // namespace kav::server
