#include "server/ticketoffice/counter.h"

#include "rpc/exceptions.h"
#include "server/ticketoffice/randomdigits.h"
#include "server/ticketoffice/sqlvalues.h"

#include <algorithm>
#include <cassert>
#include <cctype>
#include <cstdio>

namespace kav::server {

namespace {

// Parameters: the counter's name and the count. One statement: a counter drawn for the first time
// is created, any other raised, and the new last value comes back. "where true" keeps SQLite from
// reading "on conflict" as part of the select's join.
std::string DrawSql(std::string_view startSql) {
    return "insert into KAV_COUNTER (NAME, LASTVALUE) select cast(?1 as varchar(32)), (" +
           std::string(startSql) +
           ") + ?2 where true on conflict (NAME) do update set LASTVALUE = KAV_COUNTER.LASTVALUE + ?2 "
           "returning LASTVALUE";
}

// Whether an order of the node still to be collected (B, N, R) has the password ?2.
std::string PasswordTakenSql() {
    return "select 1 from KAV_ORDER_SHOW where NODECODE = ?1 and ORDERPASSWORD = ?2 and ORDERSTATUS in ('B', "
           "'N', 'R')";
}

} // namespace

std::int64_t DrawNumbers(Connection& connection, const std::string& name, std::int64_t count,
                         std::string_view startSql) {
    const auto rows = connection.Select(DrawSql(startSql), {name, count});
    if (rows.empty()) throw EDatabase("counter " + name + " is missing");
    return IntegerOf(rows.front().front()) - count + 1;
}

void AddDrawNumbers(StatementBatch& batch, const std::string& name, std::int64_t count,
                    std::string_view startSql) {
    batch.Add(DrawSql(startSql), {name, count});
}

std::string LastDrawnSql(std::string_view name) {
    assert(std::all_of(name.begin(), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }));
    return "(select LASTVALUE from KAV_COUNTER where NAME = '" + std::string(name) + "')";
}

std::string NewCollectionPassword(Connection& connection, const std::string& nodeCode) {
    // With a million passwords and a few thousand open orders, a second draw is already rare.
    constexpr int kAttempts = 20;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string password = RandomDigits(6);
        if (connection.Select(PasswordTakenSql(), {nodeCode, password}).empty()) return password;
    }
    throw pelio::EosRemoteException("没有可用的取票密码, 请稍后再试");
}

std::string NewOrderCode(Connection& connection, const std::string& nodeCode) {
    StatementBatch batch;
    const OrderNumbersDraw draw(batch, nodeCode, false);
    return draw.Code(connection.Run(batch));
}

OrderNumbersDraw::OrderNumbersDraw(StatementBatch& batch, std::string nodeCode, bool withPassword)
    : node_(std::move(nodeCode)), number_(batch.Statements().size()) {
    AddDrawNumbers(batch, "ORDER" + node_, 1);
    if (!withPassword) return;
    password_ = RandomDigits(6);
    passwordTaken_ = batch.Add(PasswordTakenSql(), {node_, *password_});
}

std::string OrderNumbersDraw::Code(const std::vector<StatementResult>& results) const {
    const auto& rows = results.at(number_).rows;
    if (rows.empty()) throw EDatabase("counter ORDER" + node_ + " is missing");
    char code[32];
    std::snprintf(code, sizeof code, "K%s%08lld", node_.c_str(),
                  static_cast<long long>(IntegerOf(rows.front().front())));
    return code;
}

std::optional<std::string> OrderNumbersDraw::Password(Connection& connection,
                                                      const std::vector<StatementResult>& results) const {
    if (!password_ || results.at(passwordTaken_).rows.empty()) return password_;
    return NewCollectionPassword(connection, node_);
}

} // namespace kav::server
