#include "services/mapsectionshow/tpmapsectionshow.h"

namespace kav {

namespace ops = mapsectionshow_ops;
using pelio::CallRemote;

namespace {
constexpr std::string_view I = kMapSectionShowInterface;

const bool registered = [] {
    pelio::ORBRegisterStubClass<TTPMapSectionShow_stub>(std::string(kMapSectionShowInterface));
    return true;
}();
} // namespace

TTPMapSectionShow_serv::~TTPMapSectionShow_serv() = default;

Variant TTPMapSectionShow_proxy::GetSections(const std::string& Context, const std::string& MapCode) {
    return CallRemote(*this, I, ops::GetSections, Context, MapCode);
}

std::int32_t TTPMapSectionShow_proxy::SetSections(const std::string& Context, const std::string& MapCode,
                                                  const Variant& SectionDelta) {
    return CallRemote(*this, I, ops::SetSections, Context, MapCode, SectionDelta);
}

} // namespace kav
