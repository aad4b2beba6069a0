#pragma once
// The map section show binding: TTPMapSectionShow (the client proxy), TTPMapSectionShow_stub
// (registered under "ITPMapSectionShow" when this library is loaded) and TTPMapSectionShow_serv (the
// servant a server derives and registers with ORBRegisterServantClass).
//
// Proxy methods raise what a remote call raises (see rpc/pelioclient.h). A proxy must not outlive its
// client and, like it, serves one thread.

#include "rpc/pelioclient.h"
#include "rpc/registry.h"
#include "services/mapsectionshow/tpmapsectionshow_int.h"

namespace kav {

class TTPMapSectionShow_proxy : public pelio::TPelioProxy, public ITPMapSectionShow {
public:
    using pelio::TPelioProxy::TPelioProxy;

    Variant GetSections(const std::string& Context, const std::string& MapCode) override;
    std::int32_t SetSections(const std::string& Context, const std::string& MapCode,
                             const Variant& SectionDelta) override;
};

class TTPMapSectionShow : public TTPMapSectionShow_proxy {
public:
    using TTPMapSectionShow_proxy::TTPMapSectionShow_proxy;
};

class TTPMapSectionShow_serv : public pelio::TPelioServant, public ITPMapSectionShow {
public:
    // Defined in the library, so that a server deriving a servant loads it and the stub's registration.
    ~TTPMapSectionShow_serv() override;
};

class TTPMapSectionShow_stub
    : public pelio::TRemoteStub<TTPMapSectionShow_serv, mapsectionshow_ops::GetSections,
                                mapsectionshow_ops::SetSections> {};

} // namespace kav
