#pragma once
// TKavLogin: checks a user's code and password against KAV_USER (libsodium password hashes) and
// issues the signed session context. A refused login raises EosRemoteException with a text that
// does not tell an unknown user from a wrong password. Failed logins are throttled per user code
// and client address, and every attempt is audited (server/access/loginattempt.h).

#include "server/serverservices.h"
#include "services/login/tplogin.h"

namespace kav::server {

inline constexpr std::string_view kLoginRefusedText = "用户名或密码错误，登录失败!";
inline constexpr std::string_view kUserDisabledText = "该用户已被停用，不能登录!";

class TKavLogin final : public TTPLogin_serv {
public:
    explicit TKavLogin(const ServerServices& services) : services_(services) {}

    std::string Login(const std::string& UserCode, const std::string& Password) override;

private:
    const ServerServices& services_;
};

} // namespace kav::server
