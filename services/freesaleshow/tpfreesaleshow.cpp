#include "services/freesaleshow/tpfreesaleshow.h"

namespace kav {

namespace {
const bool registered = [] {
    pelio::ORBRegisterStubClass<TTPFreeSaleShow_stub>(std::string(kFreeSaleShowInterface));
    return true;
}();
} // namespace

TTPFreeSaleShow_serv::~TTPFreeSaleShow_serv() = default;

Variant TTPFreeSaleShow_proxy::GetSeat(const std::string& Context, const std::string& SectionCode,
                                       const std::string& ProductCode) {
    return pelio::CallRemote(*this, kFreeSaleShowInterface, freesaleshow_ops::GetSeat, Context, SectionCode,
                             ProductCode);
}

} // namespace kav
