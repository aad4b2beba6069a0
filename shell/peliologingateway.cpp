#include "shell/peliologingateway.h"

#include "rpc/exceptions.h"
#include "rpc/pelioclient.h"
#include "services/login/tplogin.h"

namespace kav {

std::string TPelioLoginGateway::Login(const std::string& Host, int Port, const std::string& UserCode,
                                      const std::string& Password) {
    client_.SetHost(Host);
    client_.SetPort(Port);
    try {
        TTPLogin login(&client_);
        return login.Login(UserCode, Password);
    } catch (const pelio::EosRemoteException& e) {
        throw ELoginRefused(e.what());
    } catch (const pelio::EosException& e) {
        throw EServerUnreachable(e.what());
    }
}

} // namespace kav
