#include "server/ticketoffice/ticketoutput.h"

#include "host/sqltext.h"
#include "platform/core/datetime.h"
#include "rpc/exceptions.h"
#include "server/db/transaction.h"
#include "server/ticketoffice/orderstate.h"
#include "server/ticketoffice/randomdigits.h"

#include <charconv>

namespace kav::server {

namespace {

std::int64_t SeatNumber(const std::string& seatCode) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(seatCode.data(), seatCode.data() + seatCode.size(), value);
    if (error != std::errc() || end != seatCode.data() + seatCode.size())
        throw pelio::EosRemoteException("座位号无效: " + seatCode);
    return value;
}

} // namespace

std::string TicketRecordSql(const std::string& nodeCode, const std::string& condition) {
    return SqlFormat(
               "select t.BARCODE, t.TICKETSERIAL, t.ORDERCODE, t.SEATCODE, t.PRODUCTCODE, t.SALECLASSCODE, "
               "t.TICKETTYPE, t.ISGIFT, t.PARVALUE, t.PRINTUSER, t.PRINTTIME, "
               "t.ORDERHANDLERTIME as OrderHandlerTime, p.CNAME as PRODUCTNAME, p.HAPPENTIME, "
               "pl.CNAME as PLACENAME, e.CNAME as SECTIONNAME, coalesce(f.NAME, '') as FLOORNAME, "
               "coalesce(r.NAME, '') as ROWNAME, s.SEATNO, s.PRICELEVEL, "
               "e.CNAME || coalesce(f.NAME, '') || coalesce(r.NAME, '') || s.SEATNO || '号' as FULLSEATNAME "
               "from KAV_TICKET_SHOW t "
               "inner join KAV_SEAT_SHOW s on s.NODECODE = t.NODECODE and s.SEATCODE = t.SEATCODE "
               "inner join KAV_PRODUCT p on p.NODECODE = t.NODECODE and p.PRODUCTCODE = t.PRODUCTCODE "
               "inner join KAV_PLACE pl on pl.NODECODE = p.NODECODE and pl.PLACECODE = p.PLACECODE "
               "inner join KAV_SECTION_SHOW e on e.SECTIONCODE = s.SECTIONCODE "
               "left join KAV_FLOOR_SHOW f on f.SECTIONCODE = s.SECTIONCODE and f.FLOORNO = s.FLOORNO "
               "left join KAV_ROW_SHOW r on r.SECTIONCODE = s.SECTIONCODE and r.FLOORNO = s.FLOORNO "
               "and r.ROWNO = s.ROWNO "
               "where t.NODECODE = '%s' and ",
               {nodeCode}) +
           condition + " order by t.PRINTTIME";
}

std::string OutputTicketRecord(Connection& connection, const TicketRequest& request) {
    const std::int64_t seat = SeatNumber(request.seatCode);
    return InTransaction(connection, [&] {
        const auto seats = connection.Select("select ORDERCODE, PRICELEVEL from KAV_SEAT_SHOW "
                                             "where NODECODE = ?1 and SEATCODE = ?2 and PRODUCTCODE = ?3",
                                             {request.nodeCode, seat, request.productCode});
        if (seats.empty() || !std::holds_alternative<std::string>(seats.front()[0]))
            throw pelio::EosRemoteException("座位 " + request.seatCode + " 不属于任何订单, 不能出票");
        const std::string& orderCode = std::get<std::string>(seats.front()[0]);
        // A ticket is the proof of a sale: an order that was not paid gets none.
        if (!OrderHasPayment(connection, request.nodeCode, orderCode))
            throw pelio::EosRemoteException("订单 " + orderCode + " 尚未付款, 不能出票");
        const auto prices = connection.Select("select PRICE from KAV_PRICE_SHOW "
                                              "where NODECODE = ?1 and PRODUCTCODE = ?2 and PRICELEVEL = ?3",
                                              {request.nodeCode, request.productCode, seats.front()[1]});
        const SqlValue price = prices.empty() ? SqlValue{0.0} : prices.front()[0];
        const std::string now = FormatDateTimeIso(Now());
        const std::string barcode = RandomDigits(16);
        connection.Execute(
            "insert into KAV_TICKET_SHOW (NODECODE, BARCODE, TICKETSERIAL, ORDERCODE, SEATCODE, "
            "PRODUCTCODE, SALECLASSCODE, TICKETTYPE, ISGIFT, PARVALUE, PRINTUSER, PRINTTIME, "
            "ORDERHANDLERTIME) values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?12)",
            {request.nodeCode, barcode, orderCode + "-" + request.seatCode, orderCode, seat,
             request.productCode, request.saleClassCode, request.ticketType,
             std::string(request.isGift == "Y" ? "Y" : "N"), price, request.userCode, now});
        connection.Execute("update KAV_SEAT_SHOW set STATUS = 'O' where NODECODE = ?1 and SEATCODE = ?2",
                           {request.nodeCode, seat});
        return barcode;
    });
}

} // namespace kav::server
