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
// took PostgreSQL longer than making the ticket; they cost no round trip of their own.

#include "server/db/database.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kav::server {

// Where a ticket's seat is and what it sells, as the seat's row holds them: what the record reads
// beside the ticket itself.
struct TicketPlace {
    std::string productCode;
    SqlValue sectionCode, floorNo, rowNo, priceLevel;
};

// The reads that make the records of the node's tickets of one seat of an order (at most one),
// added to a batch so that they travel with the statements that make or hand out the tickets and
// see what those did.
class TicketRecordReads final {
public:
    TicketRecordReads(StatementBatch& batch, const std::string& nodeCode, const std::string& orderCode,
                      std::int64_t seatCode, const TicketPlace& place);
    // The records, from the results of the batch.
    std::string Packet(const std::vector<StatementResult>& results) const;

private:
    std::size_t tickets_, where_, marks_;
    std::int64_t seatCode_;
};

// The record table without rows.
std::string EmptyTicketRecordPacket();

} // namespace kav::server
