#pragma once
// TCAServiceAccess<Proxy>: a client access class of an outside service (TCAForeBookShow,
// TCATicketOffice, ...). It is the service's proxy, so it offers the service's operations under
// their own names and parameter order and can stand wherever the service's interface is taken
// (tests substitute fakes there). Created without arguments it works over the shared connection
// (ORB); given a client it works over that one, which must outlive it. It raises what a remote call
// raises (EosRemoteException with the server's text, EosException for a lost connection).
// Threading: that of its client.

#include "host/orb.h"
#include "rpc/pelioclient.h"

namespace kav {

template <class Proxy> class TCAServiceAccess : public Proxy {
public:
    TCAServiceAccess() : Proxy(&ORB()) {}
    explicit TCAServiceAccess(pelio::TPelioClient& client) : Proxy(&client) {}
    TCAServiceAccess(const TCAServiceAccess&) = delete;
    TCAServiceAccess& operator=(const TCAServiceAccess&) = delete;
};

} // namespace kav
