#pragma once
// The sale search binding: TTPSaleSearchShow (the client proxy), TTPSaleSearchShow_stub (registered
// under "ITPSaleSearchShow" when this library is loaded) and TTPSaleSearchShow_serv (the servant a
// server derives and registers). Proxy methods raise what a remote call raises
// (rpc/pelioclient.h); a proxy must not outlive its client and, like it, serves one thread.

#include "rpc/pelioclient.h"
#include "rpc/registry.h"
#include "services/salesearchshow/tpsalesearchshow_int.h"

namespace kav {

class TTPSaleSearchShow_proxy : public pelio::TPelioProxy, public ITPSaleSearchShow {
public:
    using pelio::TPelioProxy::TPelioProxy;

    bool CanExecuteAction(const std::string& Context, const std::string& Code,
                          const std::string& Action) override;
};

class TTPSaleSearchShow : public TTPSaleSearchShow_proxy {
public:
    using TTPSaleSearchShow_proxy::TTPSaleSearchShow_proxy;
};

class TTPSaleSearchShow_serv : public pelio::TPelioServant, public ITPSaleSearchShow {
public:
    // Defined in the library, so that a server deriving a servant loads it and the stub's registration.
    ~TTPSaleSearchShow_serv() override;
};

class TTPSaleSearchShow_stub
    : public pelio::TRemoteStub<TTPSaleSearchShow_serv, salesearchshow_ops::CanExecuteAction> {};

} // namespace kav
