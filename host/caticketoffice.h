#pragma once
// TCATicketOffice: access to the ticket office service (ITPTicketOffice) as host/caservice.h
// describes.

#include "host/caservice.h"
#include "services/ticketoffice/tpticketoffice.h"

namespace kav {

class TCATicketOffice final : public TCAServiceAccess<TTPTicketOffice> {
public:
    using TCAServiceAccess::TCAServiceAccess;
};

} // namespace kav
