#pragma once
// TKavMemberSys: the member system servant. Members and their cards (membercard.h), their
// purchases (memberpurchase.h). Every operation checks the session first and reads the caller's
// node only; a card password never leaves the server. What each operation does: docs/services.md.

#include "server/serverservices.h"
#include "services/membersys/tpmembersys.h"

namespace kav::server {

class TKavMemberSys final : public TTPMemberSys_serv {
public:
    explicit TKavMemberSys(const ServerServices& services) : services_(services) {}

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

private:
    const ServerServices& services_;
};

} // namespace kav::server
