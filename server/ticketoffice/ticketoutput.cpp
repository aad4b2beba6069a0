#include "server/ticketoffice/ticketoutput.h"

#include "host/sqltext.h"
#include "platform/core/datetime.h"
#include "rpc/exceptions.h"
#include "server/db/transaction.h"
#include "server/ticketoffice/orderstate.h"
#include "server/ticketoffice/printlog.h"
#include "server/ticketoffice/randomdigits.h"
#include "server/ticketoffice/sqlvalues.h"

#include <charconv>

namespace kav::server {

namespace {

using pelio::EosRemoteException;

std::int64_t SeatNumber(const std::string& seatCode) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(seatCode.data(), seatCode.data() + seatCode.size(), value);
    if (error != std::errc() || end != seatCode.data() + seatCode.size())
        throw EosRemoteException("座位号无效: " + seatCode);
    return value;
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

std::string TicketRecordSql(const std::string& nodeCode, const std::string& condition) {
    return SqlFormat(
               "select t.BARCODE, t.TICKETSERIAL, t.ORDERCODE, t.ORDERCODE as ORDERNO, t.SEATCODE, "
               "t.PRODUCTCODE, t.SALECLASSCODE, t.TICKETTYPE, t.ISGIFT, t.PARVALUE, t.PRINTUSER, "
               "t.PRINTTIME, "
               "t.ORDERHANDLERTIME as OrderHandlerTime, p.CNAME as PRODUCTNAME, p.HAPPENTIME, "
               "pl.CNAME as PLACENAME, e.CNAME as SECTIONNAME, cast('' as varchar(40)) as SECTIONENAME, "
               "coalesce(e.DESCRIPTION, '') as SECTIONDES, cast('' as varchar(64)) as SECTIONEDES, "
               "coalesce(f.NAME, '') as FLOORNAME, cast('' as varchar(16)) as FLOORENAME, "
               "coalesce(r.NAME, '') as ROWNAME, cast(s.SEATNO as varchar(8)) as SEATNAME, s.SEATNO, "
               "coalesce(s.DESCRIPTION, '') as SEATDESC, s.PRICELEVEL, coalesce(pr.PRICEMARK, '') as "
               "PRICEMARK, "
               "case when s.KIND = 'W' then 'VIP' else '' end as VIPMARK, "
               "case when t.ISGIFT = 'Y' then '赠' else '' end as GIFTMARK, "
               "case when d.DISCOUNT < 100 and t.ISGIFT <> 'Y' then '折' else '' end as DISCOUNTMARK, "
               "coalesce(t.TICKETTYPE, '') as TICKETMARK, "
               "case when o.MEMBERID is null or o.MEMBERID < 0 then '' else '会员' end as MEMBERMARK, "
               "coalesce(ci.NAME, c.CNAME, '') as CLIENTNAME, coalesce(it.IDENTTYPENAME, '') as IDTYPENAME, "
               "coalesce(ci.IDNUM, c.IDENTCODE, '') as IDNUM, cast('' as varchar(24)) as SALETEL "
               "from KAV_TICKET_SHOW t "
               "inner join KAV_SEAT_SHOW s on s.NODECODE = t.NODECODE and s.SEATCODE = t.SEATCODE "
               "inner join KAV_ORDER_SHOW o on o.ORDERCODE = t.ORDERCODE "
               "inner join KAV_PRODUCT p on p.NODECODE = t.NODECODE and p.PRODUCTCODE = t.PRODUCTCODE "
               "inner join KAV_PLACE pl on pl.NODECODE = p.NODECODE and pl.PLACECODE = p.PLACECODE "
               "inner join KAV_SECTION_SHOW e on e.SECTIONCODE = s.SECTIONCODE "
               "left join KAV_FLOOR_SHOW f on f.SECTIONCODE = s.SECTIONCODE and f.FLOORNO = s.FLOORNO "
               "left join KAV_ROW_SHOW r on r.SECTIONCODE = s.SECTIONCODE and r.FLOORNO = s.FLOORNO "
               "and r.ROWNO = s.ROWNO "
               "left join KAV_PRICE_SHOW pr on pr.NODECODE = t.NODECODE and pr.PRODUCTCODE = t.PRODUCTCODE "
               "and pr.PRICELEVEL = s.PRICELEVEL "
               "left join KAV_ORDER_DISCOUNT_SHOW d on d.ORDERCODE = t.ORDERCODE and d.PRICELEVEL = "
               "s.PRICELEVEL "
               "left join KAV_ORDER_CLIENT_SHOW c on c.ORDERCODE = t.ORDERCODE "
               // The person registered for the seat, or for the whole order.
               "left join KAV_CLIENTINFO ci on ci.ORDERCODE = t.ORDERCODE and (ci.SEATCODE = t.SEATCODE or "
               "(ci.SEATCODE is null and ci.PKID = 1)) "
               "left join KAV_MEMBER_IDENTTYPE it on it.NODECODE = t.NODECODE and "
               "it.IDENTTYPEID = coalesce(ci.IDENTTYPEID, c.IDENTTYPEID) "
               "where t.NODECODE = '%s' and ",
               {nodeCode}) +
           condition + " order by t.PRINTTIME";
}

std::string OutputTicketRecord(Connection& c, const Caller& caller, const TicketRequest& request) {
    const std::int64_t seat = SeatNumber(request.seatCode);
    const std::string seatName = "座位 " + request.seatCode;
    return InTransaction(c, [&] {
        const std::string orderCode =
            OrderOfSeat(c, caller.node, seat, request.productCode, request.seatCode);
        // Every ticket of one order is made one after the other, so that two sellers never both
        // make a seat's ticket and the order's last ticket always sees the others.
        c.Execute(
            "update KAV_ORDER_SHOW set ORDERSTATUS = ORDERSTATUS where NODECODE = ?1 and ORDERCODE = ?2",
            {caller.node, orderCode});
        if (OrderOfSeat(c, caller.node, seat, request.productCode, request.seatCode) != orderCode)
            throw EosRemoteException(seatName + " 已不属于订单 " + orderCode + ", 不能出票");
        const auto orders =
            c.Select("select ORDERSTATUS, ISGIFT from KAV_ORDER_SHOW where NODECODE = ?1 and ORDERCODE = ?2",
                     {caller.node, orderCode});
        if (orders.empty()) throw EosRemoteException("订单 " + orderCode + " 不存在, 不能出票");
        const std::string status = TextOf(orders.front()[0]);
        if (status == "C" || status == "U")
            throw EosRemoteException("订单 " + orderCode + " 已取消, 不能出票");
        // A ticket is the proof of a sale: an order that was not paid gets none.
        if (!OrderHasPayment(c, caller.node, orderCode))
            throw EosRemoteException("订单 " + orderCode + " 尚未付款, 不能出票");
        if (!c.Select("select BARCODE from KAV_TICKET_SHOW where NODECODE = ?1 and ORDERCODE = ?2 and "
                      "SEATCODE = ?3",
                      {caller.node, orderCode, seat})
                 .empty())
            throw EosRemoteException(seatName + " 已出票, 补打请用重打");

        const bool gift = request.isGift == "Y" || TextOf(orders.front()[1]) == "Y";
        const auto prices = c.Select("select d.TICKETPRICE, s.PRICELEVEL from KAV_SEAT_SHOW s left join "
                                     "KAV_ORDER_DISCOUNT_SHOW d on d.ORDERCODE = s.ORDERCODE and "
                                     "d.PRICELEVEL = s.PRICELEVEL where s.NODECODE = ?1 and s.SEATCODE = ?2",
                                     {caller.node, seat});
        if (!gift && std::holds_alternative<std::monostate>(prices.front()[0]))
            throw EosRemoteException("订单 " + orderCode + " 没有票价等级 " + TextOf(prices.front()[1]) +
                                     " 的价格, 不能出票");
        const std::int64_t faceCents = gift ? 0 : CentsOf(prices.front()[0]);

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
        return barcode;
    });
}

std::string ReprintTicketRecord(Connection& c, const Caller& caller, const std::string& orderCode,
                                const std::string& seatCode) {
    const std::string condition =
        SqlFormat("t.ORDERCODE = '%s' and cast(t.SEATCODE as varchar(20)) = '%s'", {orderCode, seatCode});
    return InTransaction(c, [&] {
        const auto tickets =
            c.Select("select t.BARCODE, t.SEATCODE, t.PRODUCTCODE from KAV_TICKET_SHOW t where "
                     "t.NODECODE = ?1 and " +
                         condition,
                     {caller.node});
        for (const auto& t : tickets)
            LogPrint(c, caller, kReprint, {TextOf(t[0]), orderCode, IntegerOf(t[1]), TextOf(t[2])},
                     FormatDateTimeIso(Now()));
        return c.GetData(TicketRecordSql(caller.node, condition));
    });
}

} // namespace kav::server
