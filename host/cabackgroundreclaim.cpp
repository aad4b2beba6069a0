#include "host/cabackgroundreclaim.h"

#include "host/orb.h"

namespace kav {

TCABackGroundReclaim::TCABackGroundReclaim() : TCABackGroundReclaim(ORB()) {}

TCABackGroundReclaim::TCABackGroundReclaim(pelio::TPelioClient& client) : proxy_(&client) {}

Variant TCABackGroundReclaim::GetOrderSeatsByOrderCode(const std::string& context,
                                                       const std::string& orderCode) {
    return proxy_.GetOrderSeatsByOrderCode(context, orderCode);
}

Variant TCABackGroundReclaim::GetReclaimSeatInfo(const std::string& context, const std::string& orderCode) {
    return proxy_.GetReclaimSeatInfo(context, orderCode);
}

std::string TCABackGroundReclaim::OrderHandlerSplit(const std::string& context,
                                                    const std::string& seatCodeList, const Variant& orderData,
                                                    const Variant& reclaimSeatData,
                                                    const Variant& reclaimCountAndMoney) {
    return proxy_.OrderHandlerSplit(context, seatCodeList, orderData, reclaimSeatData, reclaimCountAndMoney);
}

} // namespace kav
