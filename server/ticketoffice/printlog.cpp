#include "server/ticketoffice/printlog.h"

#include "server/ticketoffice/counter.h"

namespace kav::server {

void AddPrintLog(StatementBatch& batch, const Caller& caller, char kind, const PrintedTicket& ticket,
                 const std::string& now) {
    constexpr std::string_view kCounter = "PRINTLOG";
    AddDrawNumbers(batch, std::string(kCounter), 1, "select coalesce(max(PRINTID), 0) from KAV_PRINT_LOG");
    batch.Add("insert into KAV_PRINT_LOG (NODECODE, PRINTID, PRINTKIND, BARCODE, ORDERCODE, SEATCODE, "
              "PRODUCTCODE, PRINTUSER, PRINTGROUP, PRINTTIME) values (?1, " +
                  LastDrawnSql(kCounter) + ", ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)",
              {caller.node, std::string(1, kind), ticket.barcode, ticket.orderCode, ticket.seatCode,
               ticket.productCode, caller.user, caller.group, now});
}

} // namespace kav::server
