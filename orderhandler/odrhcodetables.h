#pragma once
// The fixed code tables of the order handler: order states, order sources and shipping ways with
// their display texts, and the customer category names of exported data. The tables are built
// once and live as long as the program; reading them is safe from any thread.

#include "orderhandler/odrhtypes.h"

#include <functional>
#include <string>
#include <string_view>

namespace kav::orderhandler {

// B, A, C, R, then the search-only values RA and ALL, in the order the status combo shows them.
const TOrderStatusTypeInfoArr& OrderStatusTypeInfos();
// Online orders store N for B and U for C; both are shown as the code they stand for. Empty for a
// code in no table.
std::string GetOrderStatusDisplayname(std::string_view code);

// The sources 2 (call centre) and 3 (online) that canViewOrders allows, in that order; empty
// without a rights question (before the main window has published its rights).
using TCanViewOrders = std::function<bool(int source)>;
TOrderFromTypeInfoArr OrderFromTypeInfos(const TCanViewOrders& canViewOrders);
std::string GetOrderFromDisplayName(std::string_view code, const TCanViewOrders& canViewOrders);

// 1 collect at the box office, 2 delivered to the door, 3 delivered to an outlet.
const TShippingWayTypeInfoArr& ShippingWayTypeInfos();
std::string GetShippingWayDisplayName(std::string_view code);

// The customer category as exported: 1 member, 3 ordinary buyer, anything else unknown buyer.
std::string GetClientTypeExportName(std::string_view clientType);

} // namespace kav::orderhandler
