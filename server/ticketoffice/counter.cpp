#include "server/ticketoffice/counter.h"

#include "rpc/exceptions.h"
#include "server/ticketoffice/randomdigits.h"
#include "server/ticketoffice/sqlvalues.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cctype>
#include <cstdio>
#include <utility>

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

std::atomic<PasswordSource> passwordSource{nullptr};

std::string CandidatePassword() {
    const PasswordSource source = passwordSource.load();
    return source ? source() : RandomDigits(6);
}

} // namespace

void SetCollectionPasswordSource(PasswordSource source) {
    passwordSource.store(source);
}

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
        std::string password = CandidatePassword();
        if (connection.Select(PasswordTakenSql(), {nodeCode, password}).empty()) return password;
    }
    throw pelio::EosRemoteException("没有可用的取票密码, 请稍后再试");
}

std::string NewOrderCode(Connection& connection, const std::string& nodeCode) {
    const std::int64_t number = DrawNumbers(connection, "ORDER" + nodeCode, 1);
    char code[32];
    std::snprintf(code, sizeof code, "K%s%08lld", nodeCode.c_str(), static_cast<long long>(number));
    return code;
}

void AddOrderCodeDraw(StatementBatch& batch, const std::string& nodeCode) {
    AddDrawNumbers(batch, "ORDER" + nodeCode, 1);
}

std::string DrawnOrderCodeSql() {
    // Eight digits at least, zero-padded, as NewOrderCode's printf writes them.
    return "(select 'K' || substr(NAME, 6) || case when LASTVALUE < 100000000 then substr(cast(LASTVALUE + "
           "100000000 as varchar(20)), 2) else cast(LASTVALUE as varchar(20)) end from KAV_COUNTER where "
           "NAME = 'ORDER' || cast(?1 as varchar(30)))";
}

CollectionPasswordDraw::CollectionPasswordDraw(StatementBatch& batch, std::string nodeCode)
    : node_(std::move(nodeCode)), password_(CandidatePassword()),
      taken_(batch.Add(PasswordTakenSql(), {node_, password_})) {}

std::string CollectionPasswordDraw::Password(Connection& connection,
                                             const std::vector<StatementResult>& results) const {
    if (results.at(taken_).rows.empty()) return password_;
    return NewCollectionPassword(connection, node_);
}

} // namespace kav::server
