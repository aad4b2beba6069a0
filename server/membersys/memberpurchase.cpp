#include "server/membersys/memberpurchase.h"

#include "platform/core/contexttext.h"
#include "platform/core/datetime.h"
#include "rpc/exceptions.h"
#include "server/db/transaction.h"
#include "server/ticketoffice/sqlvalues.h"
#include "services/membersys/tpmembersys_int.h"

namespace kav::server {

using pelio::EosRemoteException;

void RecordMemberPurchase(Connection& c, const Caller& caller, const MemberPurchase& purchase) {
    if (!purchase.isMember) return;
    if (purchase.detail.size() > kMaxPurchaseDetail)
        throw EosRemoteException("会员消费信息过长: " + std::to_string(purchase.detail.size()) +
                                 " 字节, 最多 " + std::to_string(kMaxPurchaseDetail));
    InTransaction(c, [&] {
        const auto rows =
            c.Select("select ORDERSTATUS, MEMBERID, PRODUCTCODE, RECEIVABLES from KAV_ORDER_SHOW "
                     "where NODECODE = ?1 and ORDERCODE = ?2",
                     {caller.node, purchase.orderCode});
        if (rows.empty()) throw EosRemoteException("订单 " + purchase.orderCode + " 不存在");
        const auto& order = rows.front();
        const std::string status = TextOf(order[0]);
        if (status != "R" && status != "A")
            throw EosRemoteException("订单 " + purchase.orderCode + " 尚未付款, 不能上传会员消费");
        const std::string member = TextOf(order[1]);
        if (member.empty() || IntegerOf(order[1]) < 0)
            throw EosRemoteException("订单 " + purchase.orderCode + " 不是会员订单");
        if (!purchase.memberId.empty() && purchase.memberId != member)
            throw EosRemoteException("会员 " + purchase.memberId + " 不是订单 " + purchase.orderCode +
                                     " 的会员");
        c.Execute(
            "insert into KAV_MEMBER_PURCHASE (NODECODE, ORDERCODE, MEMBERID, POSTWAY, PRODUCTCODE, COST, "
            "PAYMODENAME, NOTEFLAG, POSTUSER, POSTTIME, DETAIL) values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, "
            "?10, ?11) on conflict (NODECODE, ORDERCODE) do nothing",
            {caller.node, purchase.orderCode, IntegerOf(order[1]), std::string(1, purchase.way), order[2],
             MoneyOf(CentsOf(order[3])), purchase.payModeName, std::string(purchase.noteFlag ? "Y" : "N"),
             caller.user, FormatDateTimeIso(Now()), purchase.detail});
    });
}

std::string PostMemberPurchase(Connection& c, const Caller& caller, const std::string& lines,
                               std::string_view operationName, bool noteFlag, bool isMember) {
    if (operationName != kConsumeInfoPost) return "E00002 未知的操作 " + std::string(operationName);
    try {
        const TContextText form = TContextText::Parse(lines);
        std::string order = form.Value("order_number");
        if (order.empty()) order = form.Value("MC_OrderCode");
        if (order.empty()) return "E00001 没有订单号 (order_number)";
        RecordMemberPurchase(c, caller,
                             {kPostByForm, order, form.Value("MC_MemberID"), form.Value("MC_CostType"), lines,
                              noteFlag, isMember});
        return std::string(kMemberPostAccepted);
    } catch (const ContextTextError& e) {
        return std::string("E00001 表单无效: ") + e.what();
    } catch (const EosRemoteException& e) {
        return std::string("E00001 ") + e.what();
    }
}

} // namespace kav::server
