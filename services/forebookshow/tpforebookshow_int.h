#pragma once
// ITPForeBookShow: the fore-book (booking) accounting service the sale core calls to charge,
// collect and cancel booked orders, to read an order's seats and to register its customers.
// Requests name the interface "ITPForeBookShow" and the operation; arguments travel in the listed
// order. `Context` is the caller's signed session context text; the node, user and group always
// come from it. Packets are data packets (docs/data-packet.md) as byte-array variants, sent as the
// ticket office sends them. What each operation does and refuses: docs/services.md.

#include "rpc/remote.h"
#include "rpc/variant.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kav {

using pelio::Variant;

inline constexpr std::string_view kForeBookShowInterface = "ITPForeBookShow";

class ITPForeBookShow {
public:
    virtual ~ITPForeBookShow() = default;

    // Account (charge) the order named in Params; 1 = accounted (or, for a paid order not yet
    // collected, nothing to charge).
    virtual std::int32_t MemberForeBookAccount(const std::string& Context, const std::string& Params,
                                               const Variant& AccountData, const Variant& GroupData) = 0;
    virtual std::int32_t ForeBookAccount_BL(const std::string& Context, const std::string& Params,
                                            const Variant& AccountData, const Variant& GroupData,
                                            const Variant& PayModeData) = 0;
    // Collect a booked order: account it with the payment of AccountData.
    virtual bool NewForeBookAccount(const std::string& Context, const std::string& OrderCode,
                                    const Variant& AccountData, const Variant& GroupData) = 0;
    virtual bool CancelForeBook(const std::string& Context, const std::string& OrderCode) = 0;
    // The seats of the order `Code`.
    virtual Variant GetForeBookSeat(const std::string& Context, const std::string& Code) = 0;
    // Registers the persons of ClientDelta for their order; answers how many were registered.
    virtual std::int32_t SetClientInfo(const std::string& Context, const Variant& ClientDelta) = 0;
};

namespace forebookshow_ops {
using namespace pelio::wire;
using I = ITPForeBookShow;
template <class R, class... A> using Op = pelio::TRemoteOperation<I, R, A...>;

inline constexpr Op<Integer, String, String, Packet, Packet> MemberForeBookAccount{"MemberForeBookAccount",
                                                                                   &I::MemberForeBookAccount};
inline constexpr Op<Integer, String, String, Packet, Packet, Packet> ForeBookAccount_BL{
    "ForeBookAccount_BL", &I::ForeBookAccount_BL};
inline constexpr Op<Boolean, String, String, Packet, Packet> NewForeBookAccount{"NewForeBookAccount",
                                                                                &I::NewForeBookAccount};
inline constexpr Op<Boolean, String, String> CancelForeBook{"CancelForeBook", &I::CancelForeBook};
inline constexpr Op<OleVariant, String, String> GetForeBookSeat{"GetForeBookSeat", &I::GetForeBookSeat};
inline constexpr Op<Integer, String, Packet> SetClientInfo{"SetClientInfo", &I::SetClientInfo};
} // namespace forebookshow_ops

} // namespace kav
