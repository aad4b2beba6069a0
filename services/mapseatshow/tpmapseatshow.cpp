#include "services/mapseatshow/tpmapseatshow.h"

namespace kav {

namespace ops = mapseatshow_ops;
using pelio::CallRemote;

namespace {
constexpr std::string_view I = kMapSeatShowInterface;

const bool registered = [] {
    pelio::ORBRegisterStubClass<TTPMapSeatShow_stub>(std::string(kMapSeatShowInterface));
    return true;
}();
} // namespace

TTPMapSeatShow_serv::~TTPMapSeatShow_serv() = default;

Variant TTPMapSeatShow_proxy::GetSection(const std::string& Context, const std::string& ProductCode,
                                         const std::string& SectionCode) {
    return CallRemote(*this, I, ops::GetSection, Context, ProductCode, SectionCode);
}

Variant TTPMapSeatShow_proxy::GetPrice(const std::string& Context, const std::string& ProductCode) {
    return CallRemote(*this, I, ops::GetPrice, Context, ProductCode);
}

Variant TTPMapSeatShow_proxy::GetSeat(const std::string& Context, const std::string& ProductCode,
                                      const std::string& MapCode, const std::string& SectionCode) {
    return CallRemote(*this, I, ops::GetSeat, Context, ProductCode, MapCode, SectionCode);
}

Variant TTPMapSeatShow_proxy::SetSeat(const std::string& Context, const std::string& ProductCode,
                                      const std::string& MapCode, const std::string& SectionCode,
                                      const Variant& SeatDelta) {
    return CallRemote(*this, I, ops::SetSeat, Context, ProductCode, MapCode, SectionCode, SeatDelta);
}

} // namespace kav
