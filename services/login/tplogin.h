#pragma once
// The login binding: TTPLogin (the client proxy), TTPLogin_stub (registered under "ITPLogin" when
// this library is loaded) and TTPLogin_serv (the servant a server derives and registers).
//
// Proxy methods raise what a remote call raises (see rpc/pelioclient.h). A proxy must not outlive its
// client and, like it, serves one thread.

#include "rpc/pelioclient.h"
#include "rpc/registry.h"
#include "services/login/tplogin_int.h"

namespace kav {

class TTPLogin_proxy : public pelio::TPelioProxy, public ITPLogin {
public:
    using pelio::TPelioProxy::TPelioProxy;

    std::string Login(const std::string& UserCode, const std::string& Password) override;
};

class TTPLogin : public TTPLogin_proxy {
public:
    using TTPLogin_proxy::TTPLogin_proxy;
};

class TTPLogin_serv : public pelio::TPelioServant, public ITPLogin {
public:
    // Defined in the library, so that a server deriving a servant loads it and the stub's registration.
    ~TTPLogin_serv() override;
};

class TTPLogin_stub : public pelio::TRemoteStub<TTPLogin_serv, login_ops::Login> {};

} // namespace kav
