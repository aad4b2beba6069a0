#include "services/ticketfaceshow/tpticketfaceshow.h"

namespace kav {

namespace {
const bool registered = [] {
    pelio::ORBRegisterStubClass<TTPTicketFaceShow_stub>(std::string(kTicketFaceShowInterface));
    return true;
}();
} // namespace

TTPTicketFaceShow_serv::~TTPTicketFaceShow_serv() = default;

Variant TTPTicketFaceShow_proxy::GetTicketFace(const std::string& Context, const std::string& ProductCode) {
    return pelio::CallRemote(*this, kTicketFaceShowInterface, ticketfaceshow_ops::GetTicketFace, Context,
                             ProductCode);
}

} // namespace kav
