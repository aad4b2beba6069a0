#include "server/membersys/membersysservant.h"

#include "host/sqltext.h"
#include "rpc/exceptions.h"
#include "server/dbpipeservant.h"
#include "server/membersys/membercard.h"
#include "server/membersys/memberpurchase.h"
#include "server/ticketoffice/requestpacket.h"

namespace kav::server {

namespace {

using pelio::EosRemoteException;

TContextText ParsedText(const std::string& text, std::string_view argument) {
    try {
        return TContextText::Parse(text);
    } catch (const ContextTextError& e) {
        throw EosRemoteException(std::string(argument) + " 无效: " + e.what());
    }
}

} // namespace

Variant TKavMemberSys::QueryUserInfo(const std::string& Context, const std::string& Condition,
                                     const std::string& Mode) {
    const Caller caller = CallerOf(services_.sessions.Verify(Context));
    if (Mode != "Y" && Mode != "N" && Mode != "H")
        throw EosRemoteException("会员系统模式 " + Mode + " 无效 (Y, N, H)");
    const TContextText condition = ParsedText(Condition, "查询条件");
    std::string where;
    const std::pair<std::string_view, std::string_view> columns[] = {
        {"MemberID", "cast(MEMBERID as varchar(20))"},
        {"CardNo", "CARDNO"},
        {"CName", "CNAME"},
        {"CellPhone", "CELLPHONE"}};
    for (const auto& [name, column] : columns)
        if (const auto value = condition.TryValue(name))
            where += " and " + std::string(column) + " = " + SqlQuote(*value);
    // Without a condition nobody is found: the member list is not for browsing.
    if (where.empty()) where = " and 1 = 0";
    return PacketResult(
        ThreadConnection(services_.database)
            .GetData(SqlFormat("select cast(MEMBERID as varchar(20)) as MEMBERKEY, MEMBERID, CARDNO, "
                               "CNAME, CELLPHONE, ISFEEMEMBER, BALANCE, POINTS, ISSWIPE, CLASSNAME, "
                               "GROUPCODE from KAV_MEMBER where NODECODE = '%s' and ISVALID = 'Y'",
                               {caller.node}) +
                     where + " order by MEMBERID"),
        services_.maxMessageBytes);
}

bool TKavMemberSys::CheckCardPassword(const std::string& Context, const std::string& CardNo,
                                      const std::string& Password) {
    const Caller caller = CallerOf(services_.sessions.Verify(Context));
    return CardPasswordMatches(ThreadConnection(services_.database), caller.node, CardNo, Password);
}

bool TKavMemberSys::SaveSaleInfoByServer(const std::string& Context, const std::string& OrderCode,
                                         const std::string& SaleInfo, bool NoteFlag, bool IsMember) {
    const Caller caller = CallerOf(services_.sessions.Verify(Context));
    const TContextText info = ParsedText(SaleInfo, "会员消费信息");
    RecordMemberPurchase(ThreadConnection(services_.database), caller,
                         {kPostByServer, OrderCode, info.Value("MC_MemberID"), info.Value("MC_CostType"),
                          SaleInfo, NoteFlag, IsMember});
    return true;
}

bool TKavMemberSys::SaveSaleInfoBySOAP(const std::string& Context, const std::string& MemberInfo,
                                       const Variant& TicketInfo, bool IsMember, bool NoteFlag) {
    const Caller caller = CallerOf(services_.sessions.Verify(Context));
    const TContextText info = ParsedText(MemberInfo, "会员消费信息");
    // The price level lines are kept after the record, one "CL=level|price|seats|total" line each.
    std::string detail = MemberInfo;
    RequestPacket lines(TicketInfo, "TicketInfo");
    for (int row = 0; row < lines.RowCount(); ++row) {
        lines.Select(row);
        detail += "CL=" + lines.Text("PRICELEVEL") + "|" + lines.Text("PRICE") + "|" +
                  lines.Text("SEATAMOUNT") + "|" + lines.Text("TOTALPRICE") + "\n";
    }
    RecordMemberPurchase(ThreadConnection(services_.database), caller,
                         {kPostBySoap, info.Value("MC_OrderCode"), info.Value("MC_MemberID"),
                          info.Value("MC_CostType"), detail, NoteFlag, IsMember});
    return true;
}

std::string TKavMemberSys::Post(const std::string& Context, const std::string& Lines,
                                const std::string& OperationName, bool NoteFlag, bool IsMember) {
    const Caller caller = CallerOf(services_.sessions.Verify(Context));
    return PostMemberPurchase(ThreadConnection(services_.database), caller, Lines, OperationName, NoteFlag,
                              IsMember);
}

} // namespace kav::server
