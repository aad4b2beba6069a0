#include "server/reclaim/backgroundreclaimservant.h"

#include "host/sqltext.h"
#include "server/dbpipeservant.h"
#include "server/mapseatshowservant.h"
#include "server/reclaim/ordersplit.h"

namespace kav::server {

std::string TKavBackGroundReclaim::NodeOf(const std::string& context) const {
    return services_.sessions.Verify(context).Value(context_names::NodeCode);
}

Variant TKavBackGroundReclaim::Query(const std::string& sql) {
    return PacketResult(ThreadConnection(services_.database).GetData(sql), services_.maxMessageBytes);
}

Variant TKavBackGroundReclaim::GetOrderSeatsByOrderCode(const std::string& Context,
                                                        const std::string& OrderCode) {
    return Query(SeatRowsSql(NodeOf(Context), SqlFormat("and ORDERCODE = '%s'", {OrderCode}),
                             "PRICELEVEL, ROWNO, Y, X"));
}

Variant TKavBackGroundReclaim::GetReclaimSeatInfo(const std::string& Context, const std::string& OrderCode) {
    return Query(
        SqlFormat("select s.SEATCODE, s.ORDERCODE, o.CREATEGROUP, o.CREATEUSER, o.CREATETIME, "
                  "t.PRINTUSER, t.PRINTTIME from KAV_SEAT_SHOW s inner join KAV_ORDER_SHOW o on "
                  "o.NODECODE = s.NODECODE and o.ORDERCODE = s.ORDERCODE left join KAV_TICKET_SHOW t on "
                  "t.NODECODE = s.NODECODE and t.ORDERCODE = s.ORDERCODE and t.SEATCODE = s.SEATCODE "
                  "where s.NODECODE = '%s' and s.ORDERCODE = '%s' order by s.SEATCODE",
                  {NodeOf(Context), OrderCode}));
}

std::string TKavBackGroundReclaim::OrderHandlerSplit(const std::string& Context,
                                                     const std::string& SeatCodeList,
                                                     const Variant& OrderData, const Variant& ReclaimSeatData,
                                                     const Variant& ReclaimCountAndMoney) {
    const Caller caller = CallerOf(services_.sessions.Verify(Context));
    RequestPacket order(OrderData, "OrderData"), seats(ReclaimSeatData, "ReclaimSeatData"),
        counts(ReclaimCountAndMoney, "ReclaimCountAndMoney");
    return SplitOrder(ThreadConnection(services_.database), caller, {SeatCodeList, order, seats, counts});
}

} // namespace kav::server
