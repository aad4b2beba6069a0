#pragma once
// ITPLogin: opens a session. Login checks the user's code and password and returns the signed
// session context text (platform/core/contexttext.h, docs/context.md) that every other service
// takes as its first argument. A refused login raises EosRemoteException in the caller.

#include "rpc/remote.h"

#include <string>
#include <string_view>

namespace kav {

inline constexpr std::string_view kLoginInterface = "ITPLogin";

class ITPLogin {
public:
    virtual ~ITPLogin() = default;

    virtual std::string Login(const std::string& UserCode, const std::string& Password) = 0;
};

namespace login_ops {
using namespace pelio::wire;
using I = ITPLogin;

inline constexpr pelio::TRemoteOperation<I, String, String, String> Login{"Login", &I::Login};
} // namespace login_ops

} // namespace kav
