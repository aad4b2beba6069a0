#pragma once
// Storing what the seller records about a booked order before it is paid: its customer, the
// persons registered for it and the sale sort its ledger lines will take; and the persons
// registered when its tickets are collected. The action codes and
// packet columns are described in docs/ticket-office.md.
//
// Runs in one transaction of its own: all is stored or, raising, nothing. Refusals raise
// pelio::EosRemoteException; a database failure raises EDatabase.

#include "server/db/database.h"
#include "server/ticketoffice/caller.h"
#include "server/ticketoffice/requestpacket.h"

#include <string>

namespace kav::server {

// ActionCode values.
inline constexpr std::string_view kActionCustomer = "1";      // the packet's one row is the customer
inline constexpr std::string_view kActionRegistrations = "2"; // the packet's rows are the registered persons
// The sale sort of complimentary tickets: such an order costs nothing.
inline constexpr std::string_view kGiftSaleSort = "08";

// Replaces the persons registered for the order that every row of `data` names in ORDERCODE with
// those rows (columns as SaveBookingInfo's action 2); the order must be booked or paid, not collected
// or cancelled. Returns how many were registered; a packet without rows is refused.
int RegisterClients(Connection& connection, const Caller& caller, RequestPacket& data);

void SaveBookingInfo(Connection& connection, const Caller& caller, const std::string& actionCode,
                     const std::string& saleSort, const std::string& orderCode, RequestPacket& data);

} // namespace kav::server
