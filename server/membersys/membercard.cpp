#include "server/membersys/membercard.h"

#include "rpc/exceptions.h"
#include "server/passwordcheck.h"
#include "server/ticketoffice/sqlvalues.h"

namespace kav::server {

using pelio::EosRemoteException;

bool CardPasswordMatches(Connection& c, const std::string& node, const std::string& cardNo,
                         const std::string& password) {
    const auto rows =
        c.Select("select CARDPASSWORDHASH from KAV_MEMBER where NODECODE = ?1 and CARDNO = ?2 and "
                 "ISVALID = 'Y'",
                 {node, cardNo});
    return !rows.empty() && PasswordMatches(TextOf(rows.front()[0]), password);
}

std::int64_t MemberPayingOrder(Connection& c, const std::string& node, const std::string& orderCode,
                               const std::string& cardNo, const std::string& password) {
    const auto rows =
        c.Select("select m.MEMBERID, m.CARDNO, m.ISFEEMEMBER, m.ISVALID, m.CARDPASSWORDHASH from "
                 "KAV_ORDER_SHOW o inner join KAV_MEMBER m on m.NODECODE = o.NODECODE and "
                 "m.MEMBERID = o.MEMBERID where o.NODECODE = ?1 and o.ORDERCODE = ?2",
                 {node, orderCode});
    if (rows.empty()) throw EosRemoteException("订单 " + orderCode + " 不属于会员, 不能用会员卡支付");
    const auto& m = rows.front();
    const std::string card = TextOf(m[1]);
    if (TextOf(m[2]) != "Y" || TextOf(m[3]) != "Y")
        throw EosRemoteException("会员卡 " + card + " 不是有效的储值卡, 不能支付");
    if (!cardNo.empty() && cardNo != card)
        throw EosRemoteException("卡号不正确: " + cardNo + " 不是订单会员的卡");
    if (!PasswordMatches(TextOf(m[4]), password))
        throw EosRemoteException(std::string(kCardPasswordWrongText));
    return IntegerOf(m[0]);
}

void DebitMemberCard(Connection& c, const std::string& node, std::int64_t memberId, std::int64_t cents) {
    if (cents == 0) return;
    if (c.Execute("update KAV_MEMBER set BALANCE = BALANCE - ?3 where NODECODE = ?1 and MEMBERID = ?2 and "
                  "ISFEEMEMBER = 'Y' and ISVALID = 'Y' and BALANCE >= ?3 - 0.005",
                  {node, memberId, MoneyOf(cents)}) == 1)
        return;
    const auto rows =
        c.Select("select BALANCE from KAV_MEMBER where NODECODE = ?1 and MEMBERID = ?2", {node, memberId});
    throw EosRemoteException(std::string(kCardBalanceShortText) + " (余额 " +
                             MoneyText(rows.empty() ? 0 : CentsOf(rows.front()[0])) + " 元, 应付 " +
                             MoneyText(cents) + " 元)");
}

} // namespace kav::server
