#include "services/collectreport/tpcollectreport.h"

namespace kav {

using pelio::CallRemote;

namespace {
const bool registered = [] {
    pelio::ORBRegisterStubClass<TTPPerformCollectReport_stub>(std::string(kPerformCollectReportInterface));
    pelio::ORBRegisterStubClass<TTPUserCollectReport_stub>(std::string(kUserCollectReportInterface));
    pelio::ORBRegisterStubClass<TTPGroupCollectReport_stub>(std::string(kGroupCollectReportInterface));
    return true;
}();
} // namespace

TTPPerformCollectReport_serv::~TTPPerformCollectReport_serv() = default;
TTPUserCollectReport_serv::~TTPUserCollectReport_serv() = default;
TTPGroupCollectReport_serv::~TTPGroupCollectReport_serv() = default;

Variant TTPPerformCollectReport_proxy::GetPriceLevel(const std::string& Context,
                                                     const std::string& ProductList) {
    return CallRemote(*this, kPerformCollectReportInterface, perform_collect_report_ops::GetPriceLevel,
                      Context, ProductList);
}

Variant TTPPerformCollectReport_proxy::GetSeatAmount(const std::string& Context, const std::string& MapCodes,
                                                     const std::string& ProductCodes,
                                                     const std::string& FromTime, const std::string& ToTime,
                                                     bool ByPeriod, bool CountAddedSeats) {
    return CallRemote(*this, kPerformCollectReportInterface, perform_collect_report_ops::GetSeatAmount,
                      Context, MapCodes, ProductCodes, FromTime, ToTime, ByPeriod, CountAddedSeats);
}

Variant TTPUserCollectReport_proxy::GetPriceLevel(const std::string& Context,
                                                  const std::string& ProductList) {
    return CallRemote(*this, kUserCollectReportInterface, user_collect_report_ops::GetPriceLevel, Context,
                      ProductList);
}

Variant TTPGroupCollectReport_proxy::GetPriceLevel(const std::string& Context,
                                                   const std::string& ProductList) {
    return CallRemote(*this, kGroupCollectReportInterface, group_collect_report_ops::GetPriceLevel, Context,
                      ProductList);
}

} // namespace kav
