#pragma once
// The free sale show binding: TTPFreeSaleShow (the client proxy), TTPFreeSaleShow_stub (registered
// under "ITPFreeSaleShow" when this library is loaded) and TTPFreeSaleShow_serv (the servant a server
// derives and registers with ORBRegisterServantClass).
//
// Proxy methods raise what a remote call raises (see rpc/pelioclient.h). A proxy must not outlive its
// client and, like it, serves one thread.

#include "rpc/pelioclient.h"
#include "rpc/registry.h"
#include "services/freesaleshow/tpfreesaleshow_int.h"

namespace kav {

class TTPFreeSaleShow_proxy : public pelio::TPelioProxy, public ITPFreeSaleShow {
public:
    using pelio::TPelioProxy::TPelioProxy;

    Variant GetSeat(const std::string& Context, const std::string& SectionCode,
                    const std::string& ProductCode) override;
};

class TTPFreeSaleShow : public TTPFreeSaleShow_proxy {
public:
    using TTPFreeSaleShow_proxy::TTPFreeSaleShow_proxy;
};

class TTPFreeSaleShow_serv : public pelio::TPelioServant, public ITPFreeSaleShow {
public:
    // Defined in the library, so that a server deriving a servant loads it and the stub's registration.
    ~TTPFreeSaleShow_serv() override;
};

class TTPFreeSaleShow_stub : public pelio::TRemoteStub<TTPFreeSaleShow_serv, freesaleshow_ops::GetSeat> {};

} // namespace kav
