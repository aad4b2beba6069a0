#include "server/forebook/forebookservant.h"

#include "host/sqltext.h"
#include "rpc/exceptions.h"
#include "server/dbpipeservant.h"
#include "server/ticketoffice/bookinginfo.h"
#include "server/ticketoffice/ordercancel.h"
#include "server/ticketoffice/saleaccounting.h"

namespace kav::server {

namespace {

using pelio::EosRemoteException;

Caller Verified(const ServerServices& services, const std::string& context) {
    return CallerOf(services.sessions.Verify(context));
}

} // namespace

std::int32_t TKavForeBookShow::Account(const std::string& context, const std::string& params,
                                       const Variant& accountData, const Variant& groupData,
                                       const Variant& payModeData) {
    const Caller caller = Verified(services_, context);
    RequestPacket payments(accountData, "AccountData"), ceilings(groupData, "GroupData"),
        payModes(payModeData, "PayModeData");
    AccountOrder(ThreadConnection(services_.database), caller,
                 ReadAccountInput(caller, params, payments, payModes, ceilings), true);
    return kAccounted;
}

std::int32_t TKavForeBookShow::MemberForeBookAccount(const std::string& Context, const std::string& Params,
                                                     const Variant& AccountData, const Variant& GroupData) {
    return Account(Context, Params, AccountData, GroupData, Variant::ByteArray(""));
}

std::int32_t TKavForeBookShow::ForeBookAccount_BL(const std::string& Context, const std::string& Params,
                                                  const Variant& AccountData, const Variant& GroupData,
                                                  const Variant& PayModeData) {
    return Account(Context, Params, AccountData, GroupData, PayModeData);
}

bool TKavForeBookShow::NewForeBookAccount(const std::string& Context, const std::string& OrderCode,
                                          const Variant& AccountData, const Variant& GroupData) {
    TContextText params;
    try {
        params.SetValue("OrderCode", OrderCode);
    } catch (const ContextTextError&) {
        throw EosRemoteException("订单号无效: " + OrderCode);
    }
    return Account(Context, params.Format(), AccountData, GroupData, Variant::ByteArray("")) == kAccounted;
}

bool TKavForeBookShow::CancelForeBook(const std::string& Context, const std::string& OrderCode) {
    switch (CancelBooking(ThreadConnection(services_.database), Verified(services_, Context), OrderCode)) {
    case CancelOutcome::Cancelled:
        return true;
    case CancelOutcome::Unknown:
        throw EosRemoteException("订单 " + OrderCode + " 不存在");
    case CancelOutcome::CancelledBefore:
        throw EosRemoteException("订单 " + OrderCode + " 已取消");
    case CancelOutcome::Paid:
        break;
    }
    throw EosRemoteException("订单 " + OrderCode + " 已收款或已出票, 不能取消 (退票另行办理)");
}

Variant TKavForeBookShow::GetForeBookSeat(const std::string& Context, const std::string& Code) {
    const Caller caller = Verified(services_, Context);
    return PacketResult(
        ThreadConnection(services_.database)
            .GetData(SqlFormat(
                "select s.ORDERCODE, s.SEATCODE, s.SECTIONCODE, e.CNAME as SECTIONNAME, "
                "coalesce(f.NAME, '') as FLOORNAME, coalesce(r.NAME, '') as ROWNAME, s.SEATNO, s.PRICELEVEL, "
                "d.TICKETPRICE as PRICE, s.STATUS from KAV_SEAT_SHOW s "
                "inner join KAV_SECTION_SHOW e on e.SECTIONCODE = s.SECTIONCODE "
                "left join KAV_FLOOR_SHOW f on f.SECTIONCODE = s.SECTIONCODE and f.FLOORNO = s.FLOORNO "
                "left join KAV_ROW_SHOW r on r.SECTIONCODE = s.SECTIONCODE and r.FLOORNO = s.FLOORNO and "
                "r.ROWNO = s.ROWNO "
                "left join KAV_ORDER_DISCOUNT_SHOW d on d.ORDERCODE = s.ORDERCODE and d.PRICELEVEL = "
                "s.PRICELEVEL "
                "where s.NODECODE = '%s' and s.ORDERCODE = '%s' order by s.FLOORNO, s.ROWNO, s.X",
                {caller.node, Code})),
        services_.maxMessageBytes);
}

std::int32_t TKavForeBookShow::SetClientInfo(const std::string& Context, const Variant& ClientDelta) {
    const Caller caller = Verified(services_, Context);
    RequestPacket persons(ClientDelta, "ClientDelta");
    return RegisterClients(ThreadConnection(services_.database), caller, persons);
}

} // namespace kav::server
