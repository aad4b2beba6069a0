#pragma once
// The data pipe binding: TTPDBPipe (the client proxy), TTPDBPipe_stub (registered under
// "ITPDBPipe" when this library is loaded) and TTPDBPipe_serv (the servant a server derives and
// registers with ORBRegisterServantClass).
//
// Proxy methods raise what a remote call raises (see rpc/pelioclient.h). A proxy must not outlive its
// client and, like it, serves one thread.

#include "rpc/pelioclient.h"
#include "rpc/registry.h"
#include "services/dbpipe/tpdbpipe_int.h"

namespace kav {

class TTPDBPipe_proxy : public pelio::TPelioProxy, public ITPDBPipe {
public:
    using pelio::TPelioProxy::TPelioProxy;

    Variant GetData(const std::string& Context, const std::string& SQL) override;
    Variant GetMasterDetailData(const std::string& Context, const std::string& MasterSQL,
                                const std::string& DetailName, const std::string& DetailSQL) override;
    std::int32_t ExecSQL(const std::string& Context, const std::string& SQL) override;
};

class TTPDBPipe : public TTPDBPipe_proxy {
public:
    using TTPDBPipe_proxy::TTPDBPipe_proxy;
};

class TTPDBPipe_serv : public pelio::TPelioServant, public ITPDBPipe {
public:
    // Defined in the library, so that a server deriving a servant loads it and the stub's registration.
    ~TTPDBPipe_serv() override;
};

class TTPDBPipe_stub : public pelio::TRemoteStub<TTPDBPipe_serv, dbpipe_ops::GetData,
                                                 dbpipe_ops::GetMasterDetailData, dbpipe_ops::ExecSQL> {};

} // namespace kav
