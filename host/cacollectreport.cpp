#include "host/cacollectreport.h"

#include "host/orb.h"

namespace kav {

TCAPerformCollectReport::TCAPerformCollectReport() : TCAPerformCollectReport(ORB()) {}
TCAPerformCollectReport::TCAPerformCollectReport(pelio::TPelioClient& client) : proxy_(&client) {}

Variant TCAPerformCollectReport::GetPriceLevel(const std::string& context, const std::string& productList) {
    return proxy_.GetPriceLevel(context, productList);
}

Variant TCAPerformCollectReport::GetSeatAmount(const std::string& context, const std::string& mapCodes,
                                               const std::string& productCodes, const std::string& fromTime,
                                               const std::string& toTime, bool byPeriod,
                                               bool countAddedSeats) {
    return proxy_.GetSeatAmount(context, mapCodes, productCodes, fromTime, toTime, byPeriod, countAddedSeats);
}

TCAUserCollectReport::TCAUserCollectReport() : TCAUserCollectReport(ORB()) {}
TCAUserCollectReport::TCAUserCollectReport(pelio::TPelioClient& client) : proxy_(&client) {}

Variant TCAUserCollectReport::GetPriceLevel(const std::string& context, const std::string& productList) {
    return proxy_.GetPriceLevel(context, productList);
}

TCAGroupCollectReport::TCAGroupCollectReport() : TCAGroupCollectReport(ORB()) {}
TCAGroupCollectReport::TCAGroupCollectReport(pelio::TPelioClient& client) : proxy_(&client) {}

Variant TCAGroupCollectReport::GetPriceLevel(const std::string& context, const std::string& productList) {
    return proxy_.GetPriceLevel(context, productList);
}

} // namespace kav
