#pragma once
// The ticket record: one row per ticket with everything its face prints, as a data packet.
//
// Columns: the ticket (BARCODE, TICKETSERIAL, ORDERCODE, ORDERNO, SEATCODE, PRODUCTCODE,
// SALECLASSCODE, TICKETTYPE, ISGIFT, PARVALUE, PRINTUSER, PRINTTIME, OrderHandlerTime), the product
// and its venue (PRODUCTNAME, HAPPENTIME, PLACENAME), where the seat is (SECTIONNAME, SECTIONENAME,
// SECTIONDES, SECTIONEDES, FLOORNAME, FLOORENAME, ROWNAME, SEATNAME, SEATNO, SEATDESC, PRICELEVEL),
// the marks (PRICEMARK, VIPMARK, GIFTMARK, DISCOUNTMARK, TICKETMARK, MEMBERMARK), the customer
// (CLIENTNAME, IDTYPENAME, IDNUM) and SALETEL. The full seat name, the QR code text and the day of
// the week are worked out by the client from these; the English names and the sale telephone,
// which the database does not keep, are empty.
//
// Read with a few small statements rather than one join of a dozen tables, whose planning alone
// took PostgreSQL longer than making the ticket.

#include "server/db/database.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kav::server {

// The records of the node's tickets of the order's seat (at most one); a table without rows when
// there is none or no seat is given. Runs in the caller's transaction, if any.
std::string TicketRecordPacket(Connection& connection, const std::string& nodeCode,
                               const std::string& orderCode, std::optional<std::int64_t> seatCode);

} // namespace kav::server
