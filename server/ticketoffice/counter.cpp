#include "server/ticketoffice/counter.h"

#include "rpc/exceptions.h"
#include "server/ticketoffice/randomdigits.h"
#include "server/ticketoffice/sqlvalues.h"

#include <cstdio>

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

std::string NewCollectionPassword(Connection& connection, const std::string& nodeCode) {
    // With a million passwords and a few thousand open orders, a second draw is already rare.
    constexpr int kAttempts = 20;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string password = RandomDigits(6);
        if (connection
                .Select("select 1 from KAV_ORDER_SHOW where NODECODE = ?1 and ORDERPASSWORD = ?2 and "
                        "ORDERSTATUS in ('B', 'N', 'R')",
                        {nodeCode, password})
                .empty())
            return password;
    }
    throw pelio::EosRemoteException("没有可用的取票密码, 请稍后再试");
}

std::string NewOrderCode(Connection& connection, const std::string& nodeCode) {
    const std::int64_t number = DrawNumbers(connection, "ORDER" + nodeCode, 1);
    char code[32];
    std::snprintf(code, sizeof code, "K%s%08lld", nodeCode.c_str(), static_cast<long long>(number));
    return code;
}

} // namespace kav::server
