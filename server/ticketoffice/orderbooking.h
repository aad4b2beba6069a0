#pragma once
// Creating an order that holds seats, and giving back the seats of a batch's unpaid orders.
// The rules (statuses, codes, which seats are chosen) are described in docs/ticket-office.md.
//
// Each function runs in one transaction of its own on the connection: it either does all of its
// work or, raising, none of it. Refusals of the request raise pelio::EosRemoteException with a
// message for the seller; a database failure raises EDatabase.

#include "server/db/database.h"
#include "server/ticketoffice/caller.h"
#include "server/ticketoffice/requestpacket.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kav::server {

// At most this many seats per order, named or chosen.
inline constexpr int kMaxSeatsPerOrder = 200;
// KAV_ORDER_SHOW.BATCHCODE holds at most this many bytes.
inline constexpr std::size_t kMaxBatchCodeLength = 20;

struct BookingRequest {
    bool isBookOrder = false; // a booking to be collected later, else a sale at the window
    std::string productCode;
    std::string sectionCode;
    std::vector<std::int64_t> seatCodes; // the seats to hold; when empty, the best `seatCount`
    int seatCount = 0;
    std::string batchCode; // empty: the order belongs to no batch
};

// The SEATCODE of every row of a seat packet, without repeats; refuses a packet with rows but no
// SEATCODE field and a value that is not a whole number.
std::vector<std::int64_t> SeatCodesOf(RequestPacket& packet);

// Creates the order, its price level lines and its (empty) customer row, and holds its seats for
// it. Returns the new order as a data packet of one row per seat (ORDERCODE, ORDERSTATUS,
// PRODUCTCODE, SEATCOUNT, RECEIVABLES, ORDERPASSWORD, BATCHCODE of the order; SEATCODE, SECTIONCODE,
// FLOORNO, ROWNO, SEATNO, PRICELEVEL, PRICE, STATUS, DESCRIPTION of the seat), front rows first.
std::string CreateOrderWithSeats(Connection& connection, const Caller& caller, const BookingRequest& request);

// Cancels the batch's orders that are still booked and unpaid and frees their held seats.
// Returns whether there was such an order.
bool ReleaseBatchOrders(Connection& connection, const Caller& caller, const std::string& batchCode);

} // namespace kav::server
