#pragma once
// TCATicketFaceShow: access to the ticket face service (ITPTicketFaceShow) as host/caservice.h
// describes.

#include "host/caservice.h"
#include "services/ticketfaceshow/tpticketfaceshow.h"

namespace kav {

class TCATicketFaceShow final : public TCAServiceAccess<TTPTicketFaceShow> {
public:
    using TCAServiceAccess::TCAServiceAccess;
};

} // namespace kav
