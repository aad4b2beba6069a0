#pragma once
// Tickets: the one ticket of a seat of a paid order, made once (OutputTicket) and handed back for
// every reprint (GetTicketInfo). Every hand-out is logged (printlog.h). Both answer the ticket
// record (ticketrecord.h).

#include "server/db/database.h"
#include "server/ticketoffice/caller.h"

#include <string>

namespace kav::server {

struct TicketRequest {
    std::string seatCode;
    std::string ticketType;
    std::string isGift; // "Y": a gift ticket of a suite, printed with face value 0
    std::string saleClassCode;
    std::string productCode;
};

// Makes the ticket of the seat, which must belong to a paid, uncollected order and have none yet;
// its face value is the order's price for the seat's level after discount (0 for a gift). When the
// order's last seat gets its ticket the order is collected (status A, ISPRINT Y, the caller as
// handler). One transaction; returns the new ticket's record. Raises pelio::EosRemoteException
// for a seat that cannot have a ticket ("座位 <n> 已出票" when it has one), EDatabase when the
// database refuses; nothing is written then.
std::string OutputTicketRecord(Connection& connection, const Caller& caller, const TicketRequest& request);

// The record of the ticket already made for the order's seat, logged as a reprint, in one
// transaction; a table without rows when there is none.
std::string ReprintTicketRecord(Connection& connection, const Caller& caller, const std::string& orderCode,
                                const std::string& seatCode);

} // namespace kav::server
