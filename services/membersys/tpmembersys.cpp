#include "services/membersys/tpmembersys.h"

namespace kav {

namespace ops = membersys_ops;
using pelio::CallRemote;

namespace {
constexpr std::string_view I = kMemberSysInterface;

const bool registered = [] {
    pelio::ORBRegisterStubClass<TTPMemberSys_stub>(std::string(kMemberSysInterface));
    return true;
}();
} // namespace

TTPMemberSys_serv::~TTPMemberSys_serv() = default;

Variant TTPMemberSys_proxy::QueryUserInfo(const std::string& Context, const std::string& Condition,
                                          const std::string& Mode) {
    return CallRemote(*this, I, ops::QueryUserInfo, Context, Condition, Mode);
}

bool TTPMemberSys_proxy::CheckCardPassword(const std::string& Context, const std::string& CardNo,
                                           const std::string& Password) {
    return CallRemote(*this, I, ops::CheckCardPassword, Context, CardNo, Password);
}

bool TTPMemberSys_proxy::SaveSaleInfoByServer(const std::string& Context, const std::string& OrderCode,
                                              const std::string& SaleInfo, bool NoteFlag, bool IsMember) {
    return CallRemote(*this, I, ops::SaveSaleInfoByServer, Context, OrderCode, SaleInfo, NoteFlag, IsMember);
}

bool TTPMemberSys_proxy::SaveSaleInfoBySOAP(const std::string& Context, const std::string& MemberInfo,
                                            const Variant& TicketInfo, bool IsMember, bool NoteFlag) {
    return CallRemote(*this, I, ops::SaveSaleInfoBySOAP, Context, MemberInfo, TicketInfo, IsMember, NoteFlag);
}

std::string TTPMemberSys_proxy::Post(const std::string& Context, const std::string& Lines,
                                     const std::string& OperationName, bool NoteFlag, bool IsMember) {
    return CallRemote(*this, I, ops::Post, Context, Lines, OperationName, NoteFlag, IsMember);
}

} // namespace kav
