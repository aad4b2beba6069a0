#pragma once
// ITPTicketFaceShow: the ticket faces of a performance, read only. GetTicketFace answers one row per
// face with two nested tables: qryElement (its printed elements) and qrySection (the sections or
// section groups it is used for). `Context` is the caller's signed session context; only faces of
// its node are read. Columns: docs/services.md.

#include "rpc/remote.h"
#include "rpc/variant.h"

#include <string>
#include <string_view>

namespace kav {

using pelio::Variant;

inline constexpr std::string_view kTicketFaceShowInterface = "ITPTicketFaceShow";

class ITPTicketFaceShow {
public:
    virtual ~ITPTicketFaceShow() = default;

    virtual Variant GetTicketFace(const std::string& Context, const std::string& ProductCode) = 0;
};

namespace ticketfaceshow_ops {
using namespace pelio::wire;
using I = ITPTicketFaceShow;

inline constexpr pelio::TRemoteOperation<I, OleVariant, String, String> GetTicketFace{"GetTicketFace",
                                                                                      &I::GetTicketFace};
} // namespace ticketfaceshow_ops

} // namespace kav
