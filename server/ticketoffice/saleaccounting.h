#pragma once
// Accounting (charging) orders: the payments are recorded, the orders marked paid, their seats
// sold, the ledger lines written and the selling group's sales money raised. The rules and the
// text formats are described in docs/ticket-office.md.
//
// Each function runs in one transaction of its own on the connection: every order is accounted
// or, raising, none. Refusals raise pelio::EosRemoteException with a message for the seller
// (unknown order, already accounted, wrong total, sales ceiling exceeded, ...); a database failure
// raises EDatabase.

#include "server/db/database.h"
#include "server/ticketoffice/caller.h"
#include "server/ticketoffice/requestpacket.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kav::server {

// One payment (a row of the client's cdsAccount).
struct PaymentRow {
    std::string orderCode; // empty: the order being accounted (single-order accounting only)
    std::string payMode;
    std::string cardStyle;
    std::string cardCode;
    std::int64_t cents = 0;
};

// One part of a payment split over pay modes (a row of the client's cdsPayModeMoney).
struct PayModeRow {
    std::string orderCode; // as PaymentRow
    std::string payMode;
    std::string productCode; // empty: not given
    std::string remark;
    std::int64_t cents = 0;
};

// A sales ceiling record to charge (a row of the client's group ceiling dataset).
struct CeilingRow {
    std::string groupCode;
    std::string createGroup;
};

struct AccountInput {
    std::string params; // name=value lines
    std::vector<PaymentRow> payments;
    std::vector<PayModeRow> payModes;
    std::vector<CeilingRow> ceilings;
};

// Reads the three packets; refuses rows of another node than the caller's and missing or
// malformed values.
AccountInput ReadAccountInput(const Caller& caller, std::string params, RequestPacket& payments,
                              RequestPacket& payModes, RequestPacket& ceilings);

enum class AccountOutcome {
    Accounted,
    Collection, // a paid order whose tickets are not all out: nothing to charge, nothing written
};

// Accounts the order named by the parameter OrderCode (or, without it, by the payment rows). With
// `paidOrderIsCollection` a paid order (paid on line, or accounted on an earlier try) whose tickets
// are not all out is a collection, not a second charge. Pay mode M (member card) must be the only
// pay mode: the order's stored-value member card, checked with the parameter PassWord, pays the
// receivables in the same transaction.
AccountOutcome AccountOrder(Connection& connection, const Caller& caller, const AccountInput& input,
                            bool paidOrderIsCollection = false);

// Accounts every booked, unpaid order of the batch; refuses a batch without such orders and payment by
// member card.
void AccountBatch(Connection& connection, const Caller& caller, const std::string& batchCode,
                  const AccountInput& input);

} // namespace kav::server
