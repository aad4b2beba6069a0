#pragma once
// The shipping list: the sheet that goes with tickets delivered to a customer. One sheet per order,
// made from the order, its seats and the seller.

#include "orderhandler/odrhrecords.h"

#include <string>

namespace kav::orderhandler {

struct TShippingList {
    std::string orderCode;
    std::string orderDate; // "yyyy-mm-dd hh:nn"
    std::string customerName;
    std::string customerPhone; // the cell phone, or the telephone when there is none
    std::string orderFrom;     // the source's display text
    std::string shippingAddress;
    TDateTime shippingTime = 0;
    std::string invoiceHeader;
    std::string comment;
    std::string productName;
    std::string productHappenTime; // "yyyy-mm-dd hh:nn"
    std::string placeName;
    std::string shippingUser; // the seller's name
    // "03月01日《新年音乐会》", then the price levels two to a line: "\r\n880×2 600×1 ".
    std::string itemsInfo;
    double totalPrice = 0; // of the price levels listed
};

// The seats in price-level order (as the seat statement returns them).
TShippingList MakeShippingList(const TodrHOrderInfoRecord& order, const TodrHSeatInfoList& seats,
                               const std::string& sellerName, TDateTime now);

} // namespace kav::orderhandler
