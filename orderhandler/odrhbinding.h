#pragma once
// Turning result rows of the order and seat statements into records. Columns are found by name,
// ignoring letter case; a missing column raises the dataset's EDatabaseError.

#include "orderhandler/odrhcodetables.h"
#include "orderhandler/odrhrecords.h"
#include "platform/dataset/clientdataset.h"

#include <functional>
#include <string>
#include <string_view>

namespace kav::orderhandler {

// The name of the nested field under which each order row carries its price lines.
inline constexpr std::string_view kOrderDiscountDataSet = "OrderDiscountDataSet";

// What binding an order needs from outside the row. Within one binding run each look-up is asked
// once per distinct code, so its answer must depend on the code alone.
struct TOrderBindingLookups {
    std::function<std::string(const std::string& clientType)> customerTypeName; // member system's name
    std::function<int(const std::string& certificateType)> certificateId;       // -1 when unknown
    std::function<bool(const std::string& payModeCode)> isPrintNote; // the pay mode prints a statement
    TCanViewOrders canViewOrders;                                    // which order sources get a display text
    TSeatLoader seatLoader;                                          // given to every record
    TDateTime now = 0;                                               // the moment continued times count to
};

// The seats of a seat statement's result, from its first row; the cursor ends after the last.
TodrHSeatInfoList FillSeatInfoList(TClientDataSet& seats);

// The orders of an order statement's result with their price lines nested under
// OrderDiscountDataSet, from the first row; without seat lists.
TodrHOrderInfoList FillOrderInfoList(TClientDataSet& orders, const TOrderBindingLookups& lookups);

// How long ago the order was made, as whole days and hours: "1天12时".
std::string GetOrderContinuedTime(TDateTime orderTime, TDateTime now);

// Price and count of each price line, "880X2;600X1;", from the first line; the cursor is put back
// on the first line. Empty for a closed dataset.
std::string GetDescription(TClientDataSet& discounts);

} // namespace kav::orderhandler
