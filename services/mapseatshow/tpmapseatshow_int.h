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
// GetSeat: the section's seats as the seat layout window edits them: NODECODE, MAPCODE, SECTIONCODE,
//   SEATCODE, FLOORNO, ROWNO, SEATNO, ISADDITION, STATUS, KIND, PRICELEVEL, X, Y, SELECTED ("N"),
//   DESCRIPTION, by Y then X.
// SetSeat: applies the delta of those rows (inserted, changed and deleted seats) in one transaction and
//   answers the section's seats as GetSeat does; docs/services.md has the rules.

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
    virtual Variant GetSeat(const std::string& Context, const std::string& ProductCode,
                            const std::string& MapCode, const std::string& SectionCode) = 0;
    virtual Variant SetSeat(const std::string& Context, const std::string& ProductCode,
                            const std::string& MapCode, const std::string& SectionCode,
                            const Variant& SeatDelta) = 0;
};

namespace mapseatshow_ops {
using namespace pelio::wire;
using I = ITPMapSeatShow;
template <class R, class... A> using Op = pelio::TRemoteOperation<I, R, A...>;

inline constexpr Op<OleVariant, String, String, String> GetSection{"GetSection", &I::GetSection};
inline constexpr Op<OleVariant, String, String> GetPrice{"GetPrice", &I::GetPrice};
inline constexpr Op<OleVariant, String, String, String, String> GetSeat{"GetSeat", &I::GetSeat};
inline constexpr Op<OleVariant, String, String, String, String, Packet> SetSeat{"SetSeat", &I::SetSeat};
} // namespace mapseatshow_ops

} // namespace kav
