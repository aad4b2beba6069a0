#include "host/camapseatshow.h"

#include "host/orb.h"

namespace kav {

TCAMapSeatShow::TCAMapSeatShow() : TCAMapSeatShow(ORB()) {}

TCAMapSeatShow::TCAMapSeatShow(pelio::TPelioClient& client) : proxy_(&client) {}

Variant TCAMapSeatShow::GetSection(const std::string& context, const std::string& productCode,
                                   const std::string& sectionCode) {
    return proxy_.GetSection(context, productCode, sectionCode);
}

Variant TCAMapSeatShow::GetPrice(const std::string& context, const std::string& productCode) {
    return proxy_.GetPrice(context, productCode);
}

Variant TCAMapSeatShow::GetSeat(const std::string& context, const std::string& productCode,
                                const std::string& mapCode, const std::string& sectionCode) {
    return proxy_.GetSeat(context, productCode, mapCode, sectionCode);
}

Variant TCAMapSeatShow::SetSeat(const std::string& context, const std::string& productCode,
                                const std::string& mapCode, const std::string& sectionCode,
                                const Variant& seatDelta) {
    return proxy_.SetSeat(context, productCode, mapCode, sectionCode, seatDelta);
}

TCAFreeSaleShow::TCAFreeSaleShow() : TCAFreeSaleShow(ORB()) {}

TCAFreeSaleShow::TCAFreeSaleShow(pelio::TPelioClient& client) : proxy_(&client) {}

Variant TCAFreeSaleShow::GetSeat(const std::string& context, const std::string& sectionCode,
                                 const std::string& productCode) {
    return proxy_.GetSeat(context, sectionCode, productCode);
}

} // namespace kav
