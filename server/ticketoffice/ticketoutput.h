#pragma once
// Ticket records: output of a new ticket for a seat of an order, and the records already output.
// A ticket record is one row: the ticket (BARCODE, TICKETSERIAL, ORDERCODE, SEATCODE, PRODUCTCODE,
// SALECLASSCODE, TICKETTYPE, ISGIFT, PARVALUE, PRINTUSER, PRINTTIME, OrderHandlerTime) with what
// the ticket face prints (PRODUCTNAME, HAPPENTIME, PLACENAME, SECTIONNAME, FLOORNAME, ROWNAME,
// SEATNO, PRICELEVEL, FULLSEATNAME).

#include "server/db/database.h"

#include <string>

namespace kav::server {

struct TicketRequest {
    std::string nodeCode;
    std::string userCode;
    std::string seatCode;
    std::string ticketType;
    std::string isGift; // "Y" or "N"
    std::string saleClassCode;
    std::string productCode;
};

// Records a ticket for the seat (which must belong to a paid order) and marks the seat sold, in one
// transaction; returns the new ticket's BARCODE. Raises pelio::EosRemoteException for a seat that
// cannot have a ticket, EDatabase when the database refuses; nothing is written then.
std::string OutputTicketRecord(Connection& connection, const TicketRequest& request);

// The statement selecting ticket records of the node under `condition` (SQL over the ticket t).
std::string TicketRecordSql(const std::string& nodeCode, const std::string& condition);

} // namespace kav::server
