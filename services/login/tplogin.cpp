#include "services/login/tplogin.h"

namespace kav {

namespace {
const bool registered = [] {
    pelio::ORBRegisterStubClass<TTPLogin_stub>(std::string(kLoginInterface));
    return true;
}();
} // namespace

TTPLogin_serv::~TTPLogin_serv() = default;

std::string TTPLogin_proxy::Login(const std::string& UserCode, const std::string& Password) {
    return pelio::CallRemote(*this, kLoginInterface, login_ops::Login, UserCode, Password);
}

} // namespace kav
