#include "server/ticketoffice/ticketofficeservant.h"

#include "host/sqltext.h"
#include "rpc/exceptions.h"
#include "server/dbpipeservant.h"
#include "server/ticketoffice/bookinginfo.h"
#include "server/ticketoffice/orderbooking.h"
#include "server/ticketoffice/ordercancel.h"
#include "server/ticketoffice/orderstate.h"
#include "server/ticketoffice/saleaccounting.h"
#include "server/ticketoffice/ticketoutput.h"

namespace kav::server {

std::string TKavTicketOffice::NodeOf(const std::string& context) const {
    return services_.sessions.Verify(context).Value(context_names::NodeCode);
}

Caller TKavTicketOffice::CallerFor(const std::string& context) const {
    return CallerOf(services_.sessions.Verify(context));
}

Variant TKavTicketOffice::Query(const std::string& sql) {
    return PacketResult(ThreadConnection(services_.database).GetData(sql), services_.maxMessageBytes);
}

Variant TKavTicketOffice::GetProductPrivilege(const std::string& Context, const std::string& ProductCode) {
    return Query(SqlFormat("select PRICELEVEL, PRICE, PRICEMARK from KAV_PRICE_SHOW where NODECODE = '%s' "
                           "and PRODUCTCODE = '%s' and ISVISIBLE = 'Y' order by PRICELEVEL",
                           {NodeOf(Context), ProductCode}));
}

Variant TKavTicketOffice::GetSectionSeat(const std::string& Context, const std::string& ProductCode,
                                         const std::string& SectionCode) {
    return Query(SqlFormat("select * from KAV_SEAT_SHOW where NODECODE = '%s' and PRODUCTCODE = '%s' and "
                           "SECTIONCODE = '%s' order by FLOORNO, ROWNO, SEATNO",
                           {NodeOf(Context), ProductCode, SectionCode}));
}

Variant TKavTicketOffice::GetSeat(const std::string& Context, const std::string& SectionCode,
                                  const std::string& ProductCode) {
    return GetSectionSeat(Context, ProductCode, SectionCode);
}

bool TKavTicketOffice::ReleaseSeat(const std::string& Context, const std::string& OrderCode) {
    switch (CancelBooking(ThreadConnection(services_.database), CallerFor(Context), OrderCode)) {
    case CancelOutcome::Cancelled:
        return true;
    case CancelOutcome::Paid:
        throw pelio::EosRemoteException("订单 " + OrderCode + " 已收款或已出票, 不能释放座位");
    default:
        return false;
    }
}

Variant TKavTicketOffice::OutputTicket(const std::string& Context, const std::string& SeatCode,
                                       const std::string& TicketType, const std::string& IsGift,
                                       const std::string& SaleClassCode, const std::string& ProductCode) {
    return PacketResult(OutputTicketRecord(ThreadConnection(services_.database), CallerFor(Context),
                                           {SeatCode, TicketType, IsGift, SaleClassCode, ProductCode}),
                        services_.maxMessageBytes);
}

Variant TKavTicketOffice::GetSaleClass(const std::string& Context, const std::string& ProductCode) {
    return Query(SqlFormat("select * from KAV_SALECLASS where NODECODE = '%s' and PRODUCTCODE = '%s' "
                           "order by SALECLASSCODE",
                           {NodeOf(Context), ProductCode}));
}

bool TKavTicketOffice::SaveFreeBookInfo(const std::string& Context, const std::string& ActionCode,
                                        const std::string& SaleSort, const std::string& OrderCode,
                                        const Variant& OrderData) {
    const Caller caller = CallerFor(Context);
    RequestPacket data(OrderData, "OrderData");
    SaveBookingInfo(ThreadConnection(services_.database), caller, ActionCode, SaleSort, OrderCode, data);
    return true;
}

std::int32_t TKavTicketOffice::SaleAccount(const std::string& Context, const std::string& AOrderParam,
                                           const Variant& OrderData, const Variant& GroupSaleMoneyData,
                                           const Variant& cdsPayModeMoneyData) {
    const Caller caller = CallerFor(Context);
    RequestPacket payments(OrderData, "OrderData"), ceilings(GroupSaleMoneyData, "GroupSaleMoneyData"),
        payModes(cdsPayModeMoneyData, "cdsPayModeMoneyData");
    AccountOrder(ThreadConnection(services_.database), caller,
                 ReadAccountInput(caller, AOrderParam, payments, payModes, ceilings));
    return kAccounted;
}

bool TKavTicketOffice::ISAccountFail(const std::string& Context, const std::string& OrderCode) {
    // The accounting failed unless a payment of the order was recorded.
    return !OrderHasPayment(ThreadConnection(services_.database), NodeOf(Context), OrderCode);
}

Variant TKavTicketOffice::GetTicketInfo(const std::string& Context, const std::string& OrderCode,
                                        const std::string& SeatCode) {
    return PacketResult(
        ReprintTicketRecord(ThreadConnection(services_.database), CallerFor(Context), OrderCode, SeatCode),
        services_.maxMessageBytes);
}

Variant TKavTicketOffice::CreateOrderAndBooking(bool IsBookOrder, const std::string& Context,
                                                const std::string& ProductCode,
                                                const std::string& SectionCode, std::int32_t SeatNum,
                                                const Variant& cdsSeatDelta) {
    const Caller caller = CallerFor(Context);
    return Book(caller, {IsBookOrder, ProductCode, SectionCode, {}, SeatNum, {}}, cdsSeatDelta);
}

Variant TKavTicketOffice::CreateOrderByBatch(const std::string& BatchCode, const std::string& Context,
                                             const std::string& ProductCode, const std::string& SectionCode,
                                             std::int32_t SeatNum, const Variant& cdsSeatDelta) {
    const Caller caller = CallerFor(Context);
    if (BatchCode.empty() || BatchCode.size() > kMaxBatchCodeLength)
        throw pelio::EosRemoteException("批次号 " + BatchCode + " 无效 (1 到 " +
                                        std::to_string(kMaxBatchCodeLength) + " 字节)");
    return Book(caller, {false, ProductCode, SectionCode, {}, SeatNum, BatchCode}, cdsSeatDelta);
}

Variant TKavTicketOffice::Book(const Caller& caller, BookingRequest request, const Variant& seatPacket) {
    RequestPacket seats(seatPacket, "cdsSeatDelta");
    request.seatCodes = SeatCodesOf(seats);
    const std::string order = CreateOrderWithSeats(ThreadConnection(services_.database), caller, request);
    return Query(OrderSeatsSql(caller.node, order));
}

bool TKavTicketOffice::ReleaseBatch(const std::string& Context, const std::string& BatchCode) {
    const Caller caller = CallerFor(Context);
    return ReleaseBatchOrders(ThreadConnection(services_.database), caller, BatchCode);
}

std::int32_t TKavTicketOffice::BatchAccount(const std::string& Context, const std::string& AOrderParams,
                                            const std::string& BatchCode, const Variant& OrderData,
                                            const Variant& GroupSaleMoneyData,
                                            const Variant& ReportPayModeData) {
    const Caller caller = CallerFor(Context);
    RequestPacket payments(OrderData, "OrderData"), ceilings(GroupSaleMoneyData, "GroupSaleMoneyData"),
        payModes(ReportPayModeData, "ReportPayModeData");
    AccountBatch(ThreadConnection(services_.database), caller, BatchCode,
                 ReadAccountInput(caller, AOrderParams, payments, payModes, ceilings));
    return kAccounted;
}

Variant TKavTicketOffice::GetSaleClassByBatch(const std::string& Context, const std::string& ProductCode,
                                              const std::string& SaleClassCode) {
    return Query(SqlFormat("select * from KAV_SALECLASSLEVEL where NODECODE = '%s' and PRODUCTCODE = '%s' "
                           "and SALECLASSCODE = '%s'",
                           {NodeOf(Context), ProductCode, SaleClassCode}));
}

Variant TKavTicketOffice::GetSeatByBatch(const std::string& Context, const std::string& OrderCode) {
    return Query(SqlFormat("select * from KAV_SEAT_SHOW where NODECODE = '%s' and ORDERCODE = '%s' "
                           "order by SEATCODE",
                           {NodeOf(Context), OrderCode}));
}

} // namespace kav::server
