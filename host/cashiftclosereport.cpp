#include "host/cashiftclosereport.h"

#include "host/orb.h"

namespace kav {

TCAShiftCloseReport::TCAShiftCloseReport() : TCAShiftCloseReport(ORB()) {}
TCAShiftCloseReport::TCAShiftCloseReport(pelio::TPelioClient& client) : proxy_(&client) {}

Variant TCAShiftCloseReport::GetShiftClose(const std::string& context, const std::string& sellerCode,
                                           const std::string& fromTime, const std::string& toTime) {
    return proxy_.GetShiftClose(context, sellerCode, fromTime, toTime);
}

} // namespace kav
