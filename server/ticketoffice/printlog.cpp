#include "server/ticketoffice/printlog.h"

#include "server/ticketoffice/counter.h"

namespace kav::server {

void LogPrint(Connection& connection, const Caller& caller, char kind, const PrintedTicket& ticket,
              const std::string& now) {
    const std::int64_t id =
        DrawNumbers(connection, "PRINTLOG", 1, "select coalesce(max(PRINTID), 0) from KAV_PRINT_LOG");
    connection.Execute(
        "insert into KAV_PRINT_LOG (NODECODE, PRINTID, PRINTKIND, BARCODE, ORDERCODE, SEATCODE, "
        "PRODUCTCODE, PRINTUSER, PRINTGROUP, PRINTTIME) values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, "
        "?10)",
        {caller.node, id, std::string(1, kind), ticket.barcode, ticket.orderCode, ticket.seatCode,
         ticket.productCode, caller.user, caller.group, now});
}

} // namespace kav::server
