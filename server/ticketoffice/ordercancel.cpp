#include "server/ticketoffice/ordercancel.h"

#include "platform/core/datetime.h"
#include "server/db/transaction.h"
#include "server/ticketoffice/orderstate.h"
#include "server/ticketoffice/sqlvalues.h"

namespace kav::server {

namespace {

CancelOutcome OutcomeOf(Connection& c, const Caller& caller, const std::string& orderCode) {
    const auto rows =
        c.Select("select ORDERSTATUS from KAV_ORDER_SHOW where NODECODE = ?1 and ORDERCODE = ?2",
                 {caller.node, orderCode});
    if (rows.empty()) return CancelOutcome::Unknown;
    const std::string status = TextOf(rows.front()[0]);
    if (status == "C" || status == "U") return CancelOutcome::CancelledBefore;
    return CancelOutcome::Paid;
}

} // namespace

CancelOutcome CancelUnpaidOrder(Connection& c, const Caller& caller, const std::string& orderCode,
                                const std::string& now) {
    // Claimed by its status, so that a concurrent cancel or accounting of the order waits for
    // this one and then finds the order changed.
    if (OrderHasPayment(c, caller.node, orderCode) ||
        c.Execute("update KAV_ORDER_SHOW set ORDERSTATUS = 'C', ORDERHANDLERUSER = ?3, ORDERHANDLERTIME = ?4 "
                  "where NODECODE = ?1 and ORDERCODE = ?2 and ORDERSTATUS in ('B', 'N')",
                  {caller.node, orderCode, caller.user, now}) != 1)
        return OutcomeOf(c, caller, orderCode);
    c.Execute(
        "update KAV_SEAT_SHOW set STATUS = 'F', ORDERCODE = null where NODECODE = ?1 and ORDERCODE = ?2 "
        "and STATUS = 'B'",
        {caller.node, orderCode});
    return CancelOutcome::Cancelled;
}

CancelOutcome CancelBooking(Connection& connection, const Caller& caller, const std::string& orderCode) {
    return InTransaction(connection, [&] {
        return CancelUnpaidOrder(connection, caller, orderCode, FormatDateTimeIso(Now()));
    });
}

} // namespace kav::server
