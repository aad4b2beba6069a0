#pragma once
// The fore-book accounting binding: TTPForeBookShow (the client proxy), TTPForeBookShow_stub
// (registered under "ITPForeBookShow" when this library is loaded) and TTPForeBookShow_serv (the
// servant a server derives and registers with ORBRegisterServantClass).
//
// Proxy methods raise what a remote call raises (see rpc/pelioclient.h); a packet argument that is
// not a byte array raises std::runtime_error before anything is sent. A proxy must not outlive its
// client and, like it, serves one thread.

#include "rpc/pelioclient.h"
#include "rpc/registry.h"
#include "services/forebookshow/tpforebookshow_int.h"

namespace kav {

class TTPForeBookShow_proxy : public pelio::TPelioProxy, public ITPForeBookShow {
public:
    using pelio::TPelioProxy::TPelioProxy;

    std::int32_t MemberForeBookAccount(const std::string& Context, const std::string& Params,
                                       const Variant& AccountData, const Variant& GroupData) override;
    std::int32_t ForeBookAccount_BL(const std::string& Context, const std::string& Params,
                                    const Variant& AccountData, const Variant& GroupData,
                                    const Variant& PayModeData) override;
    bool NewForeBookAccount(const std::string& Context, const std::string& OrderCode,
                            const Variant& AccountData, const Variant& GroupData) override;
    bool CancelForeBook(const std::string& Context, const std::string& OrderCode) override;
    Variant GetForeBookSeat(const std::string& Context, const std::string& Code) override;
    std::int32_t SetClientInfo(const std::string& Context, const Variant& ClientDelta) override;
};

class TTPForeBookShow : public TTPForeBookShow_proxy {
public:
    using TTPForeBookShow_proxy::TTPForeBookShow_proxy;
};

class TTPForeBookShow_serv : public pelio::TPelioServant, public ITPForeBookShow {
public:
    // Defined in the library, so that a server deriving a servant loads it and the stub's registration.
    ~TTPForeBookShow_serv() override;
};

class TTPForeBookShow_stub
    : public pelio::TRemoteStub<TTPForeBookShow_serv, forebookshow_ops::MemberForeBookAccount,
                                forebookshow_ops::ForeBookAccount_BL, forebookshow_ops::NewForeBookAccount,
                                forebookshow_ops::CancelForeBook, forebookshow_ops::GetForeBookSeat,
                                forebookshow_ops::SetClientInfo> {};

} // namespace kav
