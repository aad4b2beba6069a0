#pragma once
// The SQL with which the order handler reads orders, their seats and their price lines through the
// remote data pipe. Result column names are part of the contract: the record binders read them.
// Every value formatted into a statement has its apostrophes doubled.
//
// Throws std::invalid_argument when a condition's product codes are not a list of string literals
// (the body of an in-list, as MakeSelectedProducts builds it); that is a caller's bug.

#include "orderhandler/odrhtypes.h"

#include <string>
#include <string_view>

namespace kav::orderhandler {

// Every order search reads the orders of one node only: the session's.
// Orders with that exact order code.
std::string GetOrderInfoSQL(std::string_view nodeCode, std::string_view orderCode);
// Orders with that collection password created from 360 days before `now` to the end of its day.
std::string GetOrderPSInfoSQL(std::string_view nodeCode, std::string_view password, TDateTime now = Now());
// Orders matching the condition's filters and the group restriction.
std::string GetOrderInfoSQL(std::string_view nodeCode, const TOrderHandlerSearchCondition& condition);

// The seats of an order with prices; parameters :NODECODE and :ORDERCODE.
std::string GetOrderSeatInfoSQL();
// The same with the two values formatted in.
std::string GetOrderSeatInfoExSQL(std::string_view nodeCode, std::string_view orderCode);
// The price lines of an order; parameters :NodeCode and :OrderCode.
std::string GetOrderDiscountInfoSQL();

} // namespace kav::orderhandler
