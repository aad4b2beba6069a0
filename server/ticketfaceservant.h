#pragma once
// TKavTicketFaceShow: the ticket faces of a performance with their elements and sections, read
// from the caller's node (columns: docs/services.md). Checks the session first.

#include "server/serverservices.h"
#include "services/ticketfaceshow/tpticketfaceshow.h"

namespace kav::server {

class TKavTicketFaceShow final : public TTPTicketFaceShow_serv {
public:
    explicit TKavTicketFaceShow(const ServerServices& services) : services_(services) {}

    Variant GetTicketFace(const std::string& Context, const std::string& ProductCode) override;

private:
    const ServerServices& services_;
};

} // namespace kav::server
