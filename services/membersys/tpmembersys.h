#pragma once
// The member system binding: TTPMemberSys (the client proxy), TTPMemberSys_stub (registered under
// "ITPMemberSys" when this library is loaded) and TTPMemberSys_serv (the servant a server derives
// and registers). Proxy methods raise what a remote call raises (rpc/pelioclient.h); a packet
// argument that is not a byte array raises std::runtime_error before anything is sent. A proxy must
// not outlive its client and, like it, serves one thread.

#include "rpc/pelioclient.h"
#include "rpc/registry.h"
#include "services/membersys/tpmembersys_int.h"

namespace kav {

class TTPMemberSys_proxy : public pelio::TPelioProxy, public ITPMemberSys {
public:
    using pelio::TPelioProxy::TPelioProxy;

    Variant QueryUserInfo(const std::string& Context, const std::string& Condition,
                          const std::string& Mode) override;
    bool CheckCardPassword(const std::string& Context, const std::string& CardNo,
                           const std::string& Password) override;
    bool SaveSaleInfoByServer(const std::string& Context, const std::string& OrderCode,
                              const std::string& SaleInfo, bool NoteFlag, bool IsMember) override;
    bool SaveSaleInfoBySOAP(const std::string& Context, const std::string& MemberInfo,
                            const Variant& TicketInfo, bool IsMember, bool NoteFlag) override;
    std::string Post(const std::string& Context, const std::string& Lines, const std::string& OperationName,
                     bool NoteFlag, bool IsMember) override;
};

class TTPMemberSys : public TTPMemberSys_proxy {
public:
    using TTPMemberSys_proxy::TTPMemberSys_proxy;
};

class TTPMemberSys_serv : public pelio::TPelioServant, public ITPMemberSys {
public:
    // Defined in the library, so that a server deriving a servant loads it and the stub's registration.
    ~TTPMemberSys_serv() override;
};

class TTPMemberSys_stub
    : public pelio::TRemoteStub<TTPMemberSys_serv, membersys_ops::QueryUserInfo,
                                membersys_ops::CheckCardPassword, membersys_ops::SaveSaleInfoByServer,
                                membersys_ops::SaveSaleInfoBySOAP, membersys_ops::Post> {};

} // namespace kav
