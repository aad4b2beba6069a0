#include "services/shiftclosereport/tpshiftclosereport.h"

namespace kav {

namespace {
const bool registered = [] {
    pelio::ORBRegisterStubClass<TTPShiftCloseReport_stub>(std::string(kShiftCloseReportInterface));
    return true;
}();
} // namespace

TTPShiftCloseReport_serv::~TTPShiftCloseReport_serv() = default;

Variant TTPShiftCloseReport_proxy::GetShiftClose(const std::string& Context, const std::string& SellerCode,
                                                 const std::string& FromTime, const std::string& ToTime) {
    return pelio::CallRemote(*this, kShiftCloseReportInterface, shift_close_report_ops::GetShiftClose,
                             Context, SellerCode, FromTime, ToTime);
}

} // namespace kav
