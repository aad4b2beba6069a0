#pragma once
// The ticket face binding: TTPTicketFaceShow (the client proxy), TTPTicketFaceShow_stub (registered
// under "ITPTicketFaceShow" when this library is loaded) and TTPTicketFaceShow_serv (the servant a
// server derives and registers). Proxy methods raise what a remote call raises
// (rpc/pelioclient.h); a proxy must not outlive its client and, like it, serves one thread.

#include "rpc/pelioclient.h"
#include "rpc/registry.h"
#include "services/ticketfaceshow/tpticketfaceshow_int.h"

namespace kav {

class TTPTicketFaceShow_proxy : public pelio::TPelioProxy, public ITPTicketFaceShow {
public:
    using pelio::TPelioProxy::TPelioProxy;

    Variant GetTicketFace(const std::string& Context, const std::string& ProductCode) override;
};

class TTPTicketFaceShow : public TTPTicketFaceShow_proxy {
public:
    using TTPTicketFaceShow_proxy::TTPTicketFaceShow_proxy;
};

class TTPTicketFaceShow_serv : public pelio::TPelioServant, public ITPTicketFaceShow {
public:
    // Defined in the library, so that a server deriving a servant loads it and the stub's registration.
    ~TTPTicketFaceShow_serv() override;
};

class TTPTicketFaceShow_stub
    : public pelio::TRemoteStub<TTPTicketFaceShow_serv, ticketfaceshow_ops::GetTicketFace> {};

} // namespace kav
