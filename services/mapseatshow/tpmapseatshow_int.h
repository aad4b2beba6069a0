#pragma once
// ITPMapSeatShow: the seat layout of a performance's sections, as the seat map windows read it.
// `Context` is the caller's signed session context text; results are data packets
// (docs/data-packet.md) in byte-array variants. The rows are those of the caller's node.
//
// GetSection: the section's row (SECTIONCODE, CNAME, DESCRIPTION, BACKPIC, EXTRASTRING, CELLROWS,
//   CELLCOLUMNS, STYLE, ARENAXY) with its floors nested as qryFloor (SECTIONCODE, FLOORNO, NAME,
//   EXTRASTRING) and each floor's rows nested as qryRow (ROWNO, NAME, ROWKIND), in number order.
//   A section the performance does not have is refused.
// GetPrice: the performance's price levels: PRICELEVEL, PRICE, TOTALSEATS (0), PRICEMARK, ISVISIBLE.

#include "rpc/remote.h"
#include "rpc/variant.h"

#include <string>
#include <string_view>

namespace kav {

using pelio::Variant;

inline constexpr std::string_view kMapSeatShowInterface = "ITPMapSeatShow";

class ITPMapSeatShow {
public:
    virtual ~ITPMapSeatShow() = default;

    virtual Variant GetSection(const std::string& Context, const std::string& ProductCode,
                               const std::string& SectionCode) = 0;
    virtual Variant GetPrice(const std::string& Context, const std::string& ProductCode) = 0;
};

namespace mapseatshow_ops {
using namespace pelio::wire;
using I = ITPMapSeatShow;
template <class R, class... A> using Op = pelio::TRemoteOperation<I, R, A...>;

inline constexpr Op<OleVariant, String, String, String> GetSection{"GetSection", &I::GetSection};
inline constexpr Op<OleVariant, String, String> GetPrice{"GetPrice", &I::GetPrice};
} // namespace mapseatshow_ops

} // namespace kav
