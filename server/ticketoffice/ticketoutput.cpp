#include "server/ticketoffice/ticketoutput.h"

#include "platform/core/datetime.h"
#include "rpc/exceptions.h"
#include "server/db/transaction.h"
#include "server/ticketoffice/printlog.h"
#include "server/ticketoffice/randomdigits.h"
#include "server/ticketoffice/sqlvalues.h"
#include "server/ticketoffice/ticketrecord.h"

#include <charconv>
#include <optional>

namespace kav::server {

namespace {

using pelio::EosRemoteException;

std::optional<std::int64_t> TrySeatNumber(const std::string& seatCode) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(seatCode.data(), seatCode.data() + seatCode.size(), value);
    if (error != std::errc() || end != seatCode.data() + seatCode.size()) return std::nullopt;
    return value;
}

std::int64_t SeatNumber(const std::string& seatCode) {
    const auto seat = TrySeatNumber(seatCode);
    if (!seat) throw EosRemoteException("座位号无效: " + seatCode);
    return *seat;
}

// The order holding the seat of the product; raises when none does.
std::string OrderOfSeat(Connection& c, const std::string& node, std::int64_t seat, const std::string& product,
                        const std::string& seatCode) {
    const auto rows =
        c.Select("select ORDERCODE from KAV_SEAT_SHOW where NODECODE = ?1 and SEATCODE = ?2 and "
                 "PRODUCTCODE = ?3",
                 {node, seat, product});
    if (rows.empty() || TextOf(rows.front()[0]).empty())
        throw EosRemoteException("座位 " + seatCode + " 不属于任何订单, 不能出票");
    return TextOf(rows.front()[0]);
}

} // namespace

std::string OutputTicketRecord(Connection& c, const Caller& caller, const TicketRequest& request) {
    const std::int64_t seat = SeatNumber(request.seatCode);
    const std::string seatName = "座位 " + request.seatCode;
    return InTransaction(c, [&] {
        const std::string orderCode =
            OrderOfSeat(c, caller.node, seat, request.productCode, request.seatCode);
        // Every ticket of one order is made one after the other, so that two sellers never both
        // make a seat's ticket and the order's last ticket always sees the others.
        const auto orders =
            c.Select("update KAV_ORDER_SHOW set ORDERSTATUS = ORDERSTATUS where NODECODE = ?1 "
                     "and ORDERCODE = ?2 returning ORDERSTATUS, ISGIFT",
                     {caller.node, orderCode});
        if (orders.empty()) throw EosRemoteException("订单 " + orderCode + " 不存在, 不能出票");
        // Read once the order is ours: what another seller did before is committed by now.
        const auto seats = c.Select(
            "select s.ORDERCODE, d.TICKETPRICE, s.PRICELEVEL, (select count(*) from KAV_ACCOUNT_SHOW a where "
            "a.NODECODE = ?1 and a.ORDERCODE = ?3), (select count(*) from KAV_TICKET_SHOW t where t.NODECODE "
            "= ?1 "
            "and t.ORDERCODE = ?3 and t.SEATCODE = ?2) from KAV_SEAT_SHOW s left join "
            "KAV_ORDER_DISCOUNT_SHOW d on "
            "d.ORDERCODE = s.ORDERCODE and d.PRICELEVEL = s.PRICELEVEL where s.NODECODE = ?1 and s.SEATCODE "
            "= ?2",
            {caller.node, seat, orderCode});
        const auto& state = seats.front();
        if (TextOf(state[0]) != orderCode)
            throw EosRemoteException(seatName + " 已不属于订单 " + orderCode + ", 不能出票");
        const std::string status = TextOf(orders.front()[0]);
        if (status == "C" || status == "U")
            throw EosRemoteException("订单 " + orderCode + " 已取消, 不能出票");
        // A ticket is the proof of a sale: an order that was not paid gets none.
        if (IntegerOf(state[3]) == 0) throw EosRemoteException("订单 " + orderCode + " 尚未付款, 不能出票");
        if (IntegerOf(state[4]) != 0) throw EosRemoteException(seatName + " 已出票, 补打请用重打");
        const bool gift = request.isGift == "Y" || TextOf(orders.front()[1]) == "Y";
        if (!gift && std::holds_alternative<std::monostate>(state[1]))
            throw EosRemoteException("订单 " + orderCode + " 没有票价等级 " + TextOf(state[2]) +
                                     " 的价格, 不能出票");
        const std::int64_t faceCents = gift ? 0 : CentsOf(state[1]);

        const std::string now = FormatDateTimeIso(Now());
        const std::string barcode = RandomDigits(16);
        c.Execute("insert into KAV_TICKET_SHOW (NODECODE, BARCODE, TICKETSERIAL, ORDERCODE, SEATCODE, "
                  "PRODUCTCODE, SALECLASSCODE, TICKETTYPE, ISGIFT, PARVALUE, PRINTUSER, PRINTTIME, "
                  "ORDERHANDLERTIME) values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?12)",
                  {caller.node, barcode, orderCode + "-" + request.seatCode, orderCode, seat,
                   request.productCode, request.saleClassCode, request.ticketType,
                   std::string(gift ? "Y" : "N"), MoneyOf(faceCents), caller.user, now});
        c.Execute("update KAV_SEAT_SHOW set STATUS = 'O' where NODECODE = ?1 and SEATCODE = ?2",
                  {caller.node, seat});
        LogPrint(c, caller, kFirstPrint, {barcode, orderCode, seat, request.productCode}, now);
        // The order's last ticket collects it.
        c.Execute(
            "update KAV_ORDER_SHOW set ORDERSTATUS = 'A', ISPRINT = 'Y', ORDERHANDLERUSER = ?3, "
            "ORDERHANDLERTIME = ?4 where NODECODE = ?1 and ORDERCODE = ?2 and ORDERSTATUS = 'R' and "
            "not exists (select 1 from KAV_SEAT_SHOW s where s.NODECODE = ?1 and s.ORDERCODE = ?2 and "
            "not exists (select 1 from KAV_TICKET_SHOW t where t.NODECODE = ?1 and t.ORDERCODE = ?2 and "
            "t.SEATCODE = s.SEATCODE))",
            {caller.node, orderCode, caller.user, now});
        return TicketRecordPacket(c, caller.node, orderCode, seat);
    });
}

std::string ReprintTicketRecord(Connection& c, const Caller& caller, const std::string& orderCode,
                                const std::string& seatCode) {
    const std::optional<std::int64_t> seat = TrySeatNumber(seatCode);
    return InTransaction(c, [&] {
        if (seat)
            for (const auto& t :
                 c.Select("select BARCODE, PRODUCTCODE from KAV_TICKET_SHOW where NODECODE = ?1 and "
                          "ORDERCODE = ?2 and SEATCODE = ?3",
                          {caller.node, orderCode, *seat}))
                LogPrint(c, caller, kReprint, {TextOf(t[0]), orderCode, *seat, TextOf(t[1])},
                         FormatDateTimeIso(Now()));
        return TicketRecordPacket(c, caller.node, orderCode, seat);
    });
}

} // namespace kav::server
