#include "server/ticketoffice/orderstate.h"

#include "server/ticketoffice/sqlvalues.h"

namespace kav::server {

bool OrderHasPayment(Connection& connection, const std::string& nodeCode, const std::string& orderCode) {
    return !connection
                .Select("select PKID from KAV_ACCOUNT_SHOW where NODECODE = ?1 and ORDERCODE = ?2 limit 1",
                        {nodeCode, orderCode})
                .empty();
}

bool IsPaidAndNotCollected(Connection& connection, const std::string& nodeCode,
                           const std::string& orderCode) {
    return !connection
                .Select(
                    "select 1 from KAV_ORDER_SHOW o where o.NODECODE = ?1 and o.ORDERCODE = ?2 and "
                    "o.ORDERSTATUS = 'R' and exists (select 1 from KAV_SEAT_SHOW s where s.NODECODE = ?1 and "
                    "s.ORDERCODE = ?2 and not exists (select 1 from KAV_TICKET_SHOW t where t.NODECODE = ?1 "
                    "and t.ORDERCODE = ?2 and t.SEATCODE = s.SEATCODE))",
                    {nodeCode, orderCode})
                .empty();
}

std::vector<std::string> UnpaidBatchOrders(Connection& connection, const std::string& nodeCode,
                                           const std::string& batchCode) {
    std::vector<std::string> orders;
    for (const auto& row : connection.Select("select ORDERCODE from KAV_ORDER_SHOW o where NODECODE = ?1 and "
                                             "BATCHCODE = ?2 and ORDERSTATUS = 'B' "
                                             "and not exists (select 1 from KAV_ACCOUNT_SHOW a where "
                                             "a.ORDERCODE = o.ORDERCODE) order by ORDERCODE",
                                             {nodeCode, batchCode}))
        orders.push_back(TextOf(row[0]));
    return orders;
}

} // namespace kav::server
