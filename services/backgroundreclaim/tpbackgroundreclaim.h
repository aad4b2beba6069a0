#pragma once
// The background reclaim binding: TTPBackGroundReclaim (the client proxy), TTPBackGroundReclaim_stub
// (registered under "ITPBackGroundReclaim" when this library is loaded) and TTPBackGroundReclaim_serv
// (the servant a server derives and registers with ORBRegisterServantClass).
//
// Proxy methods raise what a remote call raises (see rpc/pelioclient.h); a packet argument that is not
// a byte array raises std::runtime_error before anything is sent. A proxy must not outlive its client
// and, like it, serves one thread.

#include "rpc/pelioclient.h"
#include "rpc/registry.h"
#include "services/backgroundreclaim/tpbackgroundreclaim_int.h"

namespace kav {

class TTPBackGroundReclaim_proxy : public pelio::TPelioProxy, public ITPBackGroundReclaim {
public:
    using pelio::TPelioProxy::TPelioProxy;

    Variant GetOrderSeatsByOrderCode(const std::string& Context, const std::string& OrderCode) override;
    Variant GetReclaimSeatInfo(const std::string& Context, const std::string& OrderCode) override;
    std::string OrderHandlerSplit(const std::string& Context, const std::string& SeatCodeList,
                                  const Variant& OrderData, const Variant& ReclaimSeatData,
                                  const Variant& ReclaimCountAndMoney) override;
};

class TTPBackGroundReclaim : public TTPBackGroundReclaim_proxy {
public:
    using TTPBackGroundReclaim_proxy::TTPBackGroundReclaim_proxy;
};

class TTPBackGroundReclaim_serv : public pelio::TPelioServant, public ITPBackGroundReclaim {
public:
    // Defined in the library, so that a server deriving a servant loads it and the stub's registration.
    ~TTPBackGroundReclaim_serv() override;
};

class TTPBackGroundReclaim_stub
    : public pelio::TRemoteStub<TTPBackGroundReclaim_serv, backgroundreclaim_ops::GetOrderSeatsByOrderCode,
                                backgroundreclaim_ops::GetReclaimSeatInfo,
                                backgroundreclaim_ops::OrderHandlerSplit> {};

} // namespace kav
