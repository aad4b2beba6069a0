#pragma once
// One login attempt's bookkeeping in the database: the throttle of its user code and of its
// client address (KAV_LOGIN_THROTTLE), and its audit rows (KAV_AUDIT_LOG). Both live in the
// database, so every server on it counts the same failures and keeps the same locks.
//
// The rule: `failures` failed logins for one user code, or from one address, within `window`
// lock it for `lock` seconds; each further lock in a row doubles that, up to `maxLock`; a quiet
// window after a lock forgives the doubling; a successful login clears both counts. An attempt is
// counted before its password is checked, so that attempts sent in parallel cannot pass the limit
// together; the success that follows takes the count back.

#include "server/db/database.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kav::server {

// The text of the EosRemoteException for an attempt refused during a lock, whatever its password.
inline constexpr std::string_view kTooManyFailuresText = "登录失败次数过多，请稍后再试";

struct LoginLimits {
    int failures = 5; // 0: never lock
    int windowSeconds = 15 * 60;
    int lockSeconds = 30;
    int maxLockSeconds = 60 * 60;
};

class TLoginAttempt final {
public:
    // `nodeCode`: the node of the user of that code, empty when there is none.
    TLoginAttempt(Connection& owner, const LoginLimits& limits, std::string userCode, std::string address,
                  std::string nodeCode);
    TLoginAttempt(const TLoginAttempt&) = delete;
    TLoginAttempt& operator=(const TLoginAttempt&) = delete;

    // Counts the attempt against its user code and address and sets the lock it reaches. False,
    // audited, when either is locked already: the password must not be checked then.
    bool Admit();
    // The password was wrong or the user code unknown: audits the failure and any lock Admit set.
    void Failed();
    // The password was right but the login is refused for `reason`: audited only.
    void Refused(std::string_view reason);
    // Clears the counts of the user code and the address and audits the login.
    void Succeeded();

private:
    struct Subject {
        std::string kind; // "U" user code, "A" address
        std::string text;
    };
    struct LockSet {
        const Subject* subject;
        std::int64_t seconds;
    };
    static std::string SubjectName(const Subject& subject); // as the audit names it
    void Audit(std::string_view kind, const std::string& detail);

    Connection& owner_;
    LoginLimits limits_;
    std::string userCode_;
    std::string address_;
    std::string nodeCode_;
    std::vector<Subject> subjects_;
    std::vector<LockSet> locksSet_;
};

} // namespace kav::server
