#include "server/salesearchservant.h"

#include "platform/core/datetime.h"
#include "rpc/exceptions.h"
#include "server/ticketoffice/caller.h"
#include "server/ticketoffice/sqlvalues.h"

namespace kav::server {

bool TKavSaleSearchShow::CanExecuteAction(const std::string& Context, const std::string& Code,
                                          const std::string& Action) {
    const Caller caller = CallerOf(services_.sessions.Verify(Context));
    if (Action != kActionExecuteOrder && Action != kActionCancelOrder)
        throw pelio::EosRemoteException("操作代码 " + Action + " 无效 (3 取票, 4 取消订单)");
    Connection& c = ThreadConnection(services_.database);
    auto product = c.Select("select STATUS, HAPPENTIME, SALEENDTIME from KAV_PRODUCT where NODECODE = ?1 and "
                            "PRODUCTCODE = ?2",
                            {caller.node, Code});
    if (product.empty())
        product = c.Select("select p.STATUS, p.HAPPENTIME, p.SALEENDTIME from KAV_ORDER_SHOW o inner join "
                           "KAV_PRODUCT p on p.NODECODE = o.NODECODE and p.PRODUCTCODE = o.PRODUCTCODE where "
                           "o.NODECODE = ?1 and o.ORDERCODE = ?2",
                           {caller.node, Code});
    if (product.empty()) throw pelio::EosRemoteException("演出或订单 " + Code + " 不存在");
    if (!c.Select("select 1 from KAV_GROUP_ACTION_DENY where NODECODE = ?1 and GROUPCODE = ?2 and ACTIONCODE "
                  "= ?3",
                  {caller.node, caller.group, Action})
             .empty())
        return false;
    // Date-times come as "YYYY-MM-DD hh:mm:ss", which compare in time order.
    const std::string now = FormatDateTimeIso(Now());
    const auto& p = product.front();
    if (Action == kActionExecuteOrder) return TextOf(p[0]) != "9" && TextOf(p[1]) > now;
    const std::string saleEnd = TextOf(p[2]);
    return saleEnd.empty() || saleEnd > now;
}

} // namespace kav::server
