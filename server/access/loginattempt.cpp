#include "server/access/loginattempt.h"

#include "platform/core/datetime.h"
#include "server/access/auditlog.h"
#include "server/db/transaction.h"
#include "server/ticketoffice/sqlvalues.h"

#include <algorithm>
#include <iostream>
#include <optional>

namespace kav::server {

namespace {

constexpr double kSecondsPerDay = 24 * 60 * 60;

double SecondsBetween(TDateTime earlier, TDateTime later) {
    return (later - earlier) * kSecondsPerDay;
}

std::optional<TDateTime> TimeOf(const SqlValue& value) {
    const std::string text = TextOf(value);
    if (text.empty()) return std::nullopt;
    return ParseDateTimeIso(text);
}

// The length of the `locks`-th lock in a row: the first lock's, doubled each time, capped.
std::int64_t LockSeconds(const LoginLimits& limits, std::int64_t locks) {
    std::int64_t seconds = limits.lockSeconds;
    for (std::int64_t i = 1; i < locks && seconds < limits.maxLockSeconds; ++i)
        seconds *= 2;
    return std::min<std::int64_t>(seconds, limits.maxLockSeconds);
}

// Failed logins also go to the server's log, beside its connections.
void Log(const std::string& line) {
    std::cerr << FormatDateTimeIso(Now()) + " " + line + "\n";
}

} // namespace

std::string TLoginAttempt::SubjectName(const Subject& subject) {
    return subject.kind == "U" ? "用户" : "地址";
}

TLoginAttempt::TLoginAttempt(Connection& owner, const LoginLimits& limits, std::string userCode,
                             std::string address, std::string nodeCode)
    : owner_(owner), limits_(limits), userCode_(Clipped(userCode, 64)), address_(Clipped(address, 64)),
      nodeCode_(std::move(nodeCode)), subjects_{{"U", userCode_}, {"A", address_}} {}

void TLoginAttempt::Audit(std::string_view kind, const std::string& detail) {
    WriteAudit(owner_, {kind, nodeCode_, userCode_, address_, detail});
}

bool TLoginAttempt::Admit() {
    if (limits_.failures <= 0) return true;
    const bool postgres = owner_.Kind() == Backend::PostgreSQL;
    const TDateTime now = Now();
    const std::string nowText = FormatDateTimeIso(now);
    return InTransaction(owner_, [&] {
        std::vector<std::vector<SqlValue>> states;
        for (const Subject& subject : subjects_) {
            owner_.Execute(
                "insert into KAV_LOGIN_THROTTLE (SUBJECTKIND, SUBJECT, FAILURES, WINDOWSTART, LOCKS) "
                "values (?1, ?2, 0, ?3, 0) on conflict (SUBJECTKIND, SUBJECT) do nothing",
                {subject.kind, subject.text, nowText});
            states.push_back(
                owner_
                    .Select(std::string("select FAILURES, WINDOWSTART, LOCKS, LOCKEDUNTIL from "
                                        "KAV_LOGIN_THROTTLE where SUBJECTKIND = ?1 and SUBJECT = ?2") +
                                (postgres ? " for update" : ""),
                            {subject.kind, subject.text})
                    .at(0));
        }
        for (std::size_t i = 0; i < subjects_.size(); ++i) {
            const auto lockedUntil = TimeOf(states[i][3]);
            if (lockedUntil && *lockedUntil > now) {
                Audit(audit_kind::LoginLocked,
                      SubjectName(subjects_[i]) + " 锁定至 " + FormatDateTimeIso(*lockedUntil));
                return false;
            }
        }
        for (std::size_t i = 0; i < subjects_.size(); ++i) {
            std::int64_t failures = IntegerOf(states[i][0]);
            TDateTime windowStart = TimeOf(states[i][1]).value_or(now);
            std::int64_t locks = IntegerOf(states[i][2]);
            std::optional<TDateTime> lockedUntil = TimeOf(states[i][3]);
            if (lockedUntil && SecondsBetween(*lockedUntil, now) > limits_.windowSeconds) locks = 0;
            if (SecondsBetween(windowStart, now) > limits_.windowSeconds) {
                failures = 0;
                windowStart = now;
            }
            if (++failures >= limits_.failures) {
                const std::int64_t seconds = LockSeconds(limits_, ++locks);
                lockedUntil = now + static_cast<double>(seconds) / kSecondsPerDay;
                failures = 0;
                windowStart = now;
                locksSet_.push_back({&subjects_[i], seconds});
            }
            owner_.Execute("update KAV_LOGIN_THROTTLE set FAILURES = ?3, WINDOWSTART = ?4, LOCKS = ?5, "
                           "LOCKEDUNTIL = ?6 where SUBJECTKIND = ?1 and SUBJECT = ?2",
                           {subjects_[i].kind, subjects_[i].text, failures, FormatDateTimeIso(windowStart),
                            locks, lockedUntil ? SqlValue(FormatDateTimeIso(*lockedUntil)) : SqlValue()});
        }
        return true;
    });
}

void TLoginAttempt::Failed() {
    InTransaction(owner_, [&] {
        Audit(audit_kind::LoginFailed, "");
        for (const LockSet& lock : locksSet_)
            Audit(audit_kind::Lock, SubjectName(*lock.subject) + " " + lock.subject->text + " 锁定 " +
                                        std::to_string(lock.seconds) + " 秒");
    });
    Log("login failed for user " + userCode_ + " from " + address_);
    for (const LockSet& lock : locksSet_)
        Log("logins locked for " + std::string(lock.subject->kind == "U" ? "user " : "address ") +
            lock.subject->text + " for " + std::to_string(lock.seconds) + " s");
}

void TLoginAttempt::Refused(std::string_view reason) {
    InTransaction(owner_, [&] { Audit(audit_kind::LoginRefused, std::string(reason)); });
}

void TLoginAttempt::Succeeded() {
    InTransaction(owner_, [&] {
        owner_.Execute("delete from KAV_LOGIN_THROTTLE where (SUBJECTKIND = 'U' and SUBJECT = ?1) or "
                       "(SUBJECTKIND = 'A' and SUBJECT = ?2)",
                       {userCode_, address_});
        Audit(audit_kind::Login, "");
    });
}

} // namespace kav::server
