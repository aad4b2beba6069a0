#include "orderhandler/odrhshippinglist.h"

#include "orderhandler/odrhgridtext.h"
#include "platform/dataset/conversions.h"

#include <cmath>
#include <cstdio>

namespace kav::orderhandler {

namespace {

// "0.##": at most two decimals, none when whole.
std::string ShortPrice(double price) {
    return detail::FormatFloat(std::round(price * 100) / 100);
}

std::string MonthAndDay(TDateTime value) {
    const CivilDateTime c = DecodeDateTime(value);
    char text[32];
    std::snprintf(text, sizeof text, "%02d月%02d日", c.month, c.day);
    return text;
}

} // namespace

TShippingList MakeShippingList(const TodrHOrderInfoRecord& order, const TodrHSeatInfoList& seats,
                               const std::string& sellerName, TDateTime now) {
    TShippingList list;
    list.orderCode = order.orderCode.str();
    list.orderDate = FormatMinutes(order.orderTime);
    list.customerName = order.customerName.str();
    list.customerPhone = order.customerCellPhone.empty() ? order.customerTel.str() : order.customerCellPhone.str();
    list.orderFrom = order.orderFrom.name;
    list.shippingAddress = order.shippingAddress.str();
    list.shippingTime = now;
    list.invoiceHeader = order.invoiceHead.str();
    list.comment = order.shippingComment.str();
    list.productName = order.productName.str();
    list.productHappenTime = FormatMinutes(order.productHappenTime);
    list.placeName = order.placeName.str();
    list.shippingUser = sellerName;

    list.itemsInfo = MonthAndDay(order.productHappenTime) + "《" + list.productName + "》";
    const std::string* previousLevel = nullptr;
    int items = 0;
    for (const auto& seat : seats) {
        if (previousLevel && *previousLevel == seat->priceLevel) continue;
        previousLevel = &seat->priceLevel;
        if (items++ % 2 == 0) list.itemsInfo += "\r\n";
        list.itemsInfo += ShortPrice(seat->price) + "×" + std::to_string(seat->seatAmount) + " ";
        list.totalPrice += seat->totalPrice;
    }
    return list;
}

} // namespace kav::orderhandler
