#include "server/ticketofficeservant.h"

#include "host/sqltext.h"
#include "rpc/exceptions.h"
#include "server/dbpipeservant.h"
#include "server/ticketoutput.h"

namespace kav::server {

namespace {

[[noreturn]] void NotProvided(std::string_view operation) {
    throw pelio::EosRemoteException("<ITPTicketOffice." + std::string(operation) + "> 本服务器不提供此操作!");
}

} // namespace

std::string TKavTicketOffice::NodeOf(const std::string& context) const {
    return services_.sessions.Verify(context).Value(context_names::NodeCode);
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
    const std::string node = NodeOf(Context);
    ThreadConnection(services_.database)
        .Execute("update KAV_SEAT_SHOW set STATUS = 'F', ORDERCODE = null "
                 "where NODECODE = ?1 and ORDERCODE = ?2 and STATUS = 'B'",
                 {node, OrderCode});
    return true;
}

Variant TKavTicketOffice::OutputTicket(const std::string& Context, const std::string& SeatCode,
                                       const std::string& TicketType, const std::string& IsGift,
                                       const std::string& SaleClassCode, const std::string& ProductCode) {
    const TContextText session = services_.sessions.Verify(Context);
    const std::string node = session.Value(context_names::NodeCode);
    const std::string barcode = OutputTicketRecord(ThreadConnection(services_.database),
                                                   {node, session.Value(context_names::UserCode), SeatCode,
                                                    TicketType, IsGift, SaleClassCode, ProductCode});
    return Query(TicketRecordSql(node, SqlFormat("t.BARCODE = '%s'", {barcode})));
}

Variant TKavTicketOffice::GetSaleClass(const std::string& Context, const std::string& ProductCode) {
    return Query(SqlFormat("select * from KAV_SALECLASS where NODECODE = '%s' and PRODUCTCODE = '%s' "
                           "order by SALECLASSCODE",
                           {NodeOf(Context), ProductCode}));
}

bool TKavTicketOffice::SaveFreeBookInfo(const std::string& Context, const std::string&, const std::string&,
                                        const std::string&, const Variant&) {
    NodeOf(Context);
    NotProvided("SaveFreeBookInfo");
}

std::int32_t TKavTicketOffice::SaleAccount(const std::string& Context, const std::string&, const Variant&,
                                           const Variant&, const Variant&) {
    NodeOf(Context);
    NotProvided("SaleAccount");
}

bool TKavTicketOffice::ISAccountFail(const std::string& Context, const std::string& OrderCode) {
    // The accounting failed unless a payment of the order was recorded.
    const auto rows =
        ThreadConnection(services_.database)
            .Select("select PKID from KAV_ACCOUNT_SHOW where NODECODE = ?1 and ORDERCODE = ?2 limit 1",
                    {NodeOf(Context), OrderCode});
    return rows.empty();
}

Variant TKavTicketOffice::GetTicketInfo(const std::string& Context, const std::string& OrderCode,
                                        const std::string& SeatCode) {
    return Query(TicketRecordSql(
        NodeOf(Context),
        SqlFormat("t.ORDERCODE = '%s' and cast(t.SEATCODE as varchar(20)) = '%s'", {OrderCode, SeatCode})));
}

Variant TKavTicketOffice::CreateOrderAndBooking(bool, const std::string& Context, const std::string&,
                                                const std::string&, std::int32_t, const Variant&) {
    NodeOf(Context);
    NotProvided("CreateOrderAndBooking");
}

Variant TKavTicketOffice::CreateOrderByBatch(const std::string&, const std::string& Context,
                                             const std::string&, const std::string&, std::int32_t,
                                             const Variant&) {
    NodeOf(Context);
    NotProvided("CreateOrderByBatch");
}

bool TKavTicketOffice::ReleaseBatch(const std::string& Context, const std::string&) {
    NodeOf(Context);
    NotProvided("ReleaseBatch");
}

std::int32_t TKavTicketOffice::BatchAccount(const std::string& Context, const std::string&,
                                            const std::string&, const Variant&, const Variant&,
                                            const Variant&) {
    NodeOf(Context);
    NotProvided("BatchAccount");
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
