#pragma once
// ITPBackGroundReclaim: taking seats back from a booked order, here: splitting chosen seats of a
// booked order off into a new order. `Context` is the caller's signed session context text; data
// packets (docs/data-packet.md) travel as byte-array variants, in the results as in the arguments.
// Every operation works on the caller's node only.
//
// GetOrderSeatsByOrderCode: the order's seats, with the columns of ITPFreeSaleShow.GetSeat, in
//   price level order, then by row number, Y and X.
// GetReclaimSeatInfo: per seat of the order its creation and printing: SEATCODE, ORDERCODE,
//   CREATEGROUP, CREATEUSER, CREATETIME, PRINTUSER, PRINTTIME (null until a ticket is printed).
// OrderHandlerSplit(Context, SeatCodeList, OrderData, ReclaimSeatData, ReclaimCountAndMoney): moves
//   the seats of SeatCodeList ("'1001','1002'": each seat code between apostrophes, joined by commas)
//   from the order of OrderData (its ORDERCODE) into a new order and answers the new order's code. The
//   rules, the packets' columns and the refusals are in docs/services.md. A refusal raises
//   EosRemoteException in the caller with a message for the seller and changes nothing; a client
//   also takes the answer "N" for a refusal without a reason.

#include "rpc/remote.h"
#include "rpc/variant.h"

#include <string>
#include <string_view>

namespace kav {

using pelio::Variant;

inline constexpr std::string_view kBackGroundReclaimInterface = "ITPBackGroundReclaim";

class ITPBackGroundReclaim {
public:
    virtual ~ITPBackGroundReclaim() = default;

    virtual Variant GetOrderSeatsByOrderCode(const std::string& Context, const std::string& OrderCode) = 0;
    virtual Variant GetReclaimSeatInfo(const std::string& Context, const std::string& OrderCode) = 0;
    virtual std::string OrderHandlerSplit(const std::string& Context, const std::string& SeatCodeList,
                                          const Variant& OrderData, const Variant& ReclaimSeatData,
                                          const Variant& ReclaimCountAndMoney) = 0;
};

namespace backgroundreclaim_ops {
using namespace pelio::wire;
using I = ITPBackGroundReclaim;
template <class R, class... A> using Op = pelio::TRemoteOperation<I, R, A...>;

inline constexpr Op<OleVariant, String, String> GetOrderSeatsByOrderCode{"GetOrderSeatsByOrderCode",
                                                                         &I::GetOrderSeatsByOrderCode};
inline constexpr Op<OleVariant, String, String> GetReclaimSeatInfo{"GetReclaimSeatInfo",
                                                                   &I::GetReclaimSeatInfo};
inline constexpr Op<String, String, String, Packet, Packet, Packet> OrderHandlerSplit{"OrderHandlerSplit",
                                                                                      &I::OrderHandlerSplit};
} // namespace backgroundreclaim_ops

} // namespace kav
