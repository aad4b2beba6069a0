#pragma once
// TKavBackGroundReclaim: the background reclaim servant (services/backgroundreclaim). Every
// operation first checks the caller's session and works on the caller's node; the split runs as one
// transaction (ordersplit.h).

#include "server/serverservices.h"
#include "services/backgroundreclaim/tpbackgroundreclaim.h"

namespace kav::server {

class TKavBackGroundReclaim final : public TTPBackGroundReclaim_serv {
public:
    explicit TKavBackGroundReclaim(const ServerServices& services) : services_(services) {}

    Variant GetOrderSeatsByOrderCode(const std::string& Context, const std::string& OrderCode) override;
    Variant GetReclaimSeatInfo(const std::string& Context, const std::string& OrderCode) override;
    std::string OrderHandlerSplit(const std::string& Context, const std::string& SeatCodeList,
                                  const Variant& OrderData, const Variant& ReclaimSeatData,
                                  const Variant& ReclaimCountAndMoney) override;

private:
    std::string NodeOf(const std::string& context) const;
    Variant Query(const std::string& sql);

    const ServerServices& services_;
};

} // namespace kav::server
