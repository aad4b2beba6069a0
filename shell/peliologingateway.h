#pragma once
// TPelioLoginGateway: logs in through the login service on a connection (the shell's shared one), after
// pointing that connection at the host and port the user chose.

#include "shell/logingateway.h"

namespace pelio {
class TPelioClient;
}

namespace kav {

class TPelioLoginGateway final : public ILoginGateway {
public:
    // `client` must outlive the gateway.
    explicit TPelioLoginGateway(pelio::TPelioClient& client) : client_(client) {}

    std::string Login(const std::string& Host, int Port, const std::string& UserCode,
                      const std::string& Password) override;

private:
    pelio::TPelioClient& client_;
};

} // namespace kav
