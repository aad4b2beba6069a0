#pragma once
// The map seat show binding: TTPMapSeatShow (the client proxy), TTPMapSeatShow_stub (registered
// under "ITPMapSeatShow" when this library is loaded) and TTPMapSeatShow_serv (the servant a server
// derives and registers with ORBRegisterServantClass).
//
// Proxy methods raise what a remote call raises (see rpc/pelioclient.h). A proxy must not outlive its
// client and, like it, serves one thread.

#include "rpc/pelioclient.h"
#include "rpc/registry.h"
#include "services/mapseatshow/tpmapseatshow_int.h"

namespace kav {

class TTPMapSeatShow_proxy : public pelio::TPelioProxy, public ITPMapSeatShow {
public:
    using pelio::TPelioProxy::TPelioProxy;

    Variant GetSection(const std::string& Context, const std::string& ProductCode,
                       const std::string& SectionCode) override;
    Variant GetPrice(const std::string& Context, const std::string& ProductCode) override;
    Variant GetSeat(const std::string& Context, const std::string& ProductCode, const std::string& MapCode,
                    const std::string& SectionCode) override;
    Variant SetSeat(const std::string& Context, const std::string& ProductCode, const std::string& MapCode,
                    const std::string& SectionCode, const Variant& SeatDelta) override;
};

class TTPMapSeatShow : public TTPMapSeatShow_proxy {
public:
    using TTPMapSeatShow_proxy::TTPMapSeatShow_proxy;
};

class TTPMapSeatShow_serv : public pelio::TPelioServant, public ITPMapSeatShow {
public:
    // Defined in the library, so that a server deriving a servant loads it and the stub's registration.
    ~TTPMapSeatShow_serv() override;
};

class TTPMapSeatShow_stub
    : public pelio::TRemoteStub<TTPMapSeatShow_serv, mapseatshow_ops::GetSection, mapseatshow_ops::GetPrice,
                                mapseatshow_ops::GetSeat, mapseatshow_ops::SetSeat> {};

} // namespace kav
