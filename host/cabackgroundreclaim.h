#pragma once
// TCABackGroundReclaim: access to the background reclaim service (services/backgroundreclaim), over
// the shared connection (ORB) or a given client, which must outlive it. Raises what the proxy raises
// (EosRemoteException with the server's text, EosException for a lost connection). Threading: that of
// its client.

#include "services/backgroundreclaim/tpbackgroundreclaim.h"

#include <string>

namespace kav {

class TCABackGroundReclaim {
public:
    TCABackGroundReclaim();
    explicit TCABackGroundReclaim(pelio::TPelioClient& client);
    TCABackGroundReclaim(const TCABackGroundReclaim&) = delete;
    TCABackGroundReclaim& operator=(const TCABackGroundReclaim&) = delete;

    Variant GetOrderSeatsByOrderCode(const std::string& context, const std::string& orderCode);
    Variant GetReclaimSeatInfo(const std::string& context, const std::string& orderCode);
    // The new order's code.
    std::string OrderHandlerSplit(const std::string& context, const std::string& seatCodeList,
                                  const Variant& orderData, const Variant& reclaimSeatData,
                                  const Variant& reclaimCountAndMoney);

private:
    TTPBackGroundReclaim proxy_;
};

} // namespace kav
