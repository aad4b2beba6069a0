#pragma once
// The shift close report of one seller over one working period, as the server works it out from the
// payments (KAV_ACCOUNT_SHOW, split over pay modes by KAV_PAYMODEMONEY_SHOW), the print log
// (KAV_PRINT_LOG), the ledger's returns (KAV_REPORT_SHOW, sale sort 02) and the cancelled orders
// (KAV_ORDER_SHOW). Money is added up in whole cents.
//
// Lines, in order (SECTIONNO, SECTION, ITEM, QUANTITY, MONEY; QUANTITY or MONEY null where they mean
// nothing):
//   1 收款      per pay mode: payments taken and their money; a payment split over pay modes counts its
//               money in each, in proportion to the split; then 合计 (the payments and all their money)
//   2 退款      per pay mode: money given back (negative); then 合计
//   3 出票      per performance: tickets printed the first time; then 合计
//   4 重打      one line per reprint (order, seat, bar code, time); then 合计
//   5 退票      per performance: tickets taken back and their money; then 合计
//   6 取消订单  orders cancelled and the seats they gave back
//   7 应交现金  the cash taken less the cash given back (pay mode X)

#include "server/db/database.h"

#include <string>

namespace kav::server {

struct ShiftCloseQuery {
    std::string node;
    std::string seller, sellerName;
    std::string from, to; // "YYYY-MM-DD hh:mm:ss", both ends included
};

// The data packet of the lines, each with SELLERNAME. Raises EDatabase when the database does.
std::string ShiftClosePacket(Connection& connection, const ShiftCloseQuery& query);

} // namespace kav::server
