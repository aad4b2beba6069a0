#pragma once
// What the order grid shows: the text of each cell, the order in which a column sorts, the hint of a
// row, and the caption above the grid with the totals of the search.

#include "orderhandler/odrhrecords.h"

#include <string>

namespace kav::orderhandler {

// The text of column `columnIndex` (0-25 of OrderColumns()) for an order. Money as "%8.2f元", the
// order and handling times as "yyyy-mm-dd hh:nn" (empty when unset), creator and handler as
// "code|name".
std::string OrderCellText(const TodrHOrderInfoRecord& order, int columnIndex);

// <0, 0, >0 as `a` sorts before, with or after `b` in that column: counts as integers, money and
// times as numbers, everything else as text ignoring the letter case of ASCII letters.
int CompareOrders(const TodrHOrderInfoRecord& a, const TodrHOrderInfoRecord& b, int columnIndex);

// The hint of a row: its seats one per line when they are loaded, otherwise how to load them.
std::string OrderSeatsHint(const TodrHOrderInfoRecord& order);

// "查询的订单座位总数  N  个！,查询的订单总金额  X.XX  元！"
std::string OrderTotalsText(long long seatTotal, double receivablesTotal);
// The caption after a search: the count and the totals, or that nothing was found.
std::string SearchResultCaption(int count, long long seatTotal, double receivablesTotal);
// The caption while an order is selected: its performance, then the totals of the search.
std::string SelectedOrderCaption(const TodrHOrderInfoRecord& order, long long seatTotal,
                                 double receivablesTotal);

// "yyyy-mm-dd hh:nn"; empty for 0 (no time).
std::string FormatMinutes(TDateTime value);

} // namespace kav::orderhandler
