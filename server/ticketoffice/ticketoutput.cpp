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
        StatementBatch claim;
        // Every ticket of one order is made one after the other, so that two sellers never both
        // make a seat's ticket and the order's last ticket always sees the others. PostgreSQL locks
        // the order's row as an update would, without writing it; SQLite's transaction holds the
        // write lock already.
        const std::size_t locked = claim.Add(
            std::string("select ORDERCODE, ORDERSTATUS, ISGIFT from KAV_ORDER_SHOW where NODECODE = ?1 and "
                        "ORDERCODE = (select ORDERCODE from KAV_SEAT_SHOW where NODECODE = ?1 and SEATCODE = ?2 "
                        "and PRODUCTCODE = ?3)") +
                (c.Kind() == Backend::PostgreSQL ? " for no key update" : ""),
            {caller.node, seat, request.productCode});
        // Read once the order is ours: what another seller did before is committed by now.
        const std::size_t seatState = claim.Add(
            "select s.ORDERCODE, d.TICKETPRICE, s.PRICELEVEL, (select count(*) from KAV_ACCOUNT_SHOW a where "
            "a.NODECODE = ?1 and a.ORDERCODE = s.ORDERCODE), (select count(*) from KAV_TICKET_SHOW t where "
            "t.NODECODE = ?1 and t.ORDERCODE = s.ORDERCODE and t.SEATCODE = ?2), s.SECTIONCODE, s.FLOORNO, "
            "s.ROWNO, s.STATUS, (select count(*) from KAV_SEAT_SHOW o where o.NODECODE = ?1 and o.ORDERCODE = "
            "s.ORDERCODE and not exists (select 1 from KAV_TICKET_SHOW t where t.NODECODE = ?1 and t.ORDERCODE "
            "= s.ORDERCODE and t.SEATCODE = o.SEATCODE)) from KAV_SEAT_SHOW s left join KAV_ORDER_DISCOUNT_SHOW d "
            "on d.ORDERCODE = s.ORDERCODE "
            "and d.PRICELEVEL = s.PRICELEVEL where s.NODECODE = ?1 and s.SEATCODE = ?2",
            {caller.node, seat});
        const auto claimed = c.Run(claim);
        const auto& orders = claimed[locked].rows;
        if (orders.empty()) {
            const std::string orderCode =
                OrderOfSeat(c, caller.node, seat, request.productCode, request.seatCode);
            throw EosRemoteException("订单 " + orderCode + " 不存在, 不能出票");
        }
        const std::string orderCode = TextOf(orders.front()[0]);
        const auto& seats = claimed[seatState].rows;
        if (seats.empty() || TextOf(seats.front()[0]) != orderCode)
            throw EosRemoteException(seatName + " 已不属于订单 " + orderCode + ", 不能出票");
        const auto& state = seats.front();
        const std::string status = TextOf(orders.front()[1]);
        if (status == "C" || status == "U")
            throw EosRemoteException("订单 " + orderCode + " 已取消, 不能出票");
        // A ticket is the proof of a sale: an order that was not paid gets none.
        if (IntegerOf(state[3]) == 0) throw EosRemoteException("订单 " + orderCode + " 尚未付款, 不能出票");
        if (IntegerOf(state[4]) != 0) throw EosRemoteException(seatName + " 已出票, 补打请用重打");
        const bool gift = request.isGift == "Y" || TextOf(orders.front()[2]) == "Y";
        if (!gift && std::holds_alternative<std::monostate>(state[1]))
            throw EosRemoteException("订单 " + orderCode + " 没有票价等级 " + TextOf(state[2]) +
                                     " 的价格, 不能出票");
        const std::int64_t faceCents = gift ? 0 : CentsOf(state[1]);

        const std::string now = FormatDateTimeIso(Now());
        const std::string barcode = RandomDigits(16);
        StatementBatch make;
        make.Add("insert into KAV_TICKET_SHOW (NODECODE, BARCODE, TICKETSERIAL, ORDERCODE, SEATCODE, "
                 "PRODUCTCODE, SALECLASSCODE, TICKETTYPE, ISGIFT, PARVALUE, PRINTUSER, PRINTTIME, "
                 "ORDERHANDLERTIME) values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?12)",
                 {caller.node, barcode, orderCode + "-" + request.seatCode, orderCode, seat,
                  request.productCode, request.saleClassCode, request.ticketType,
                  std::string(gift ? "Y" : "N"), MoneyOf(faceCents), caller.user, now});
        // Paying the order sold its seats already, mostly; the statements that would change nothing
        // are left out, the order's lock keeping what was read true until the commit.
        if (TextOf(state[8]) != "O")
            make.Add("update KAV_SEAT_SHOW set STATUS = 'O' where NODECODE = ?1 and SEATCODE = ?2",
                     {caller.node, seat});
        // The order's last ticket (this seat is the only one without) collects it.
        if (IntegerOf(state[9]) == 1)
            make.Add("update KAV_ORDER_SHOW set ORDERSTATUS = 'A', ISPRINT = 'Y', ORDERHANDLERUSER = ?3, "
                     "ORDERHANDLERTIME = ?4 where NODECODE = ?1 and ORDERCODE = ?2 and ORDERSTATUS = 'R'",
                     {caller.node, orderCode, caller.user, now});
        const TicketRecordReads record(make, caller.node, orderCode, seat,
                                       {request.productCode, state[5], state[6], state[7], state[2]});
        AddPrintLog(make, caller, kFirstPrint, {barcode, orderCode, seat, request.productCode}, now);
        make.Commit();
        return record.Packet(c.Run(make));
    });
}

std::string ReprintTicketRecord(Connection& c, const Caller& caller, const std::string& orderCode,
                                const std::string& seatCode) {
    const std::optional<std::int64_t> seat = TrySeatNumber(seatCode);
    if (!seat) return EmptyTicketRecordPacket();
    return InTransaction(c, [&] {
        const auto tickets = c.Select(
            "select t.BARCODE, t.PRODUCTCODE, s.SECTIONCODE, s.FLOORNO, s.ROWNO, s.PRICELEVEL from "
            "KAV_TICKET_SHOW t left join KAV_SEAT_SHOW s on s.NODECODE = t.NODECODE and s.SEATCODE = "
            "t.SEATCODE where t.NODECODE = ?1 and t.ORDERCODE = ?2 and t.SEATCODE = ?3",
            {caller.node, orderCode, *seat});
        if (tickets.empty()) return EmptyTicketRecordPacket();
        const std::string now = FormatDateTimeIso(Now());
        StatementBatch batch;
        for (const auto& t : tickets)
            AddPrintLog(batch, caller, kReprint, {TextOf(t[0]), orderCode, *seat, TextOf(t[1])}, now);
        const auto& t = tickets.front();
        const TicketRecordReads record(batch, caller.node, orderCode, *seat,
                                       {TextOf(t[1]), t[2], t[3], t[4], t[5]});
        batch.Commit();
        return record.Packet(c.Run(batch));
    });
}

} // namespace kav::server
