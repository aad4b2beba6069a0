#pragma once
// ITPMapSectionShow: the sections of a venue map, as the seat layout window keeps their stage. `Context`
// is the caller's signed session context text; packets are data packets (docs/data-packet.md) in
// byte-array variants. The rows are those of the caller's node.
//
// GetSections: the map's sections: SECTIONCODE (key), PRODUCTCODE, CNAME, DESCRIPTION, BACKPIC,
//   EXTRASTRING, CELLROWS, CELLCOLUMNS, STYLE, ARENAXY, by SECTIONCODE.
// SetSections: applies the delta of those rows in one transaction; answers the number of sections
//   inserted, changed or deleted. docs/services.md has the rules.

#include "rpc/remote.h"
#include "rpc/variant.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kav {

using pelio::Variant;

inline constexpr std::string_view kMapSectionShowInterface = "ITPMapSectionShow";

class ITPMapSectionShow {
public:
    virtual ~ITPMapSectionShow() = default;

    virtual Variant GetSections(const std::string& Context, const std::string& MapCode) = 0;
    virtual std::int32_t SetSections(const std::string& Context, const std::string& MapCode,
                                     const Variant& SectionDelta) = 0;
};

namespace mapsectionshow_ops {
using namespace pelio::wire;
using I = ITPMapSectionShow;
template <class R, class... A> using Op = pelio::TRemoteOperation<I, R, A...>;

inline constexpr Op<OleVariant, String, String> GetSections{"GetSections", &I::GetSections};
inline constexpr Op<Integer, String, String, Packet> SetSections{"SetSections", &I::SetSections};
} // namespace mapsectionshow_ops

} // namespace kav
