#include "services/backgroundreclaim/tpbackgroundreclaim.h"

namespace kav {

namespace ops = backgroundreclaim_ops;
using pelio::CallRemote;

namespace {
constexpr std::string_view I = kBackGroundReclaimInterface;

const bool registered = [] {
    pelio::ORBRegisterStubClass<TTPBackGroundReclaim_stub>(std::string(kBackGroundReclaimInterface));
    return true;
}();
} // namespace

TTPBackGroundReclaim_serv::~TTPBackGroundReclaim_serv() = default;

Variant TTPBackGroundReclaim_proxy::GetOrderSeatsByOrderCode(const std::string& Context,
                                                             const std::string& OrderCode) {
    return CallRemote(*this, I, ops::GetOrderSeatsByOrderCode, Context, OrderCode);
}

Variant TTPBackGroundReclaim_proxy::GetReclaimSeatInfo(const std::string& Context,
                                                       const std::string& OrderCode) {
    return CallRemote(*this, I, ops::GetReclaimSeatInfo, Context, OrderCode);
}

std::string TTPBackGroundReclaim_proxy::OrderHandlerSplit(const std::string& Context,
                                                          const std::string& SeatCodeList,
                                                          const Variant& OrderData,
                                                          const Variant& ReclaimSeatData,
                                                          const Variant& ReclaimCountAndMoney) {
    return CallRemote(*this, I, ops::OrderHandlerSplit, Context, SeatCodeList, OrderData, ReclaimSeatData,
                      ReclaimCountAndMoney);
}

} // namespace kav
