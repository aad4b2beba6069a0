#pragma once
// ITPFreeSaleShow: the seats of a section with their current sales state, as the seat maps of the
// selling and order windows read them. `Context` is the caller's signed session context text.
//
// GetSeat(Context, SectionCode, ProductCode) (section before product): a data packet (byte-array
//   variant) with a row per seat of the caller's node: NODECODE, SEATCODE, FLOORNO, ROWNO, SEATNO,
//   ISADDITION, ORDERCODE (null for a free seat), STATUS, KIND, PRICELEVEL, X, Y, SELECTED ("N") and
//   Description, ordered by Y, then X.

#include "rpc/remote.h"
#include "rpc/variant.h"

#include <string>
#include <string_view>

namespace kav {

using pelio::Variant;

inline constexpr std::string_view kFreeSaleShowInterface = "ITPFreeSaleShow";

class ITPFreeSaleShow {
public:
    virtual ~ITPFreeSaleShow() = default;

    virtual Variant GetSeat(const std::string& Context, const std::string& SectionCode,
                            const std::string& ProductCode) = 0;
};

namespace freesaleshow_ops {
using namespace pelio::wire;
using I = ITPFreeSaleShow;

inline constexpr pelio::TRemoteOperation<I, OleVariant, String, String, String> GetSeat{"GetSeat",
                                                                                        &I::GetSeat};
} // namespace freesaleshow_ops

} // namespace kav
