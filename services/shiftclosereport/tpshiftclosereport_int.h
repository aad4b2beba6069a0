#pragma once
// ITPShiftCloseReport: what a seller took and handed out in one working period, for the shift close report
// (docs/services.md). `Context` is the caller's signed session context text.
//
// GetShiftClose(Context, SellerCode, FromTime, ToTime): the seller (the caller when SellerCode is empty) of
//   the caller's node; times "YYYY-MM-DD hh:mm:ss", both required. The answer is a data packet of report
//   lines in order: SECTIONNO, SECTION, ITEM, QUANTITY, MONEY, SELLERNAME. Another seller than the caller is
//   refused unless the caller's order-handler rights reach that seller's group. Refusals raise
//   EosRemoteException with a message for the seller.

#include "rpc/remote.h"
#include "rpc/variant.h"

#include <string>
#include <string_view>

namespace kav {

using pelio::Variant;

inline constexpr std::string_view kShiftCloseReportInterface = "ITPShiftCloseReport";

class ITPShiftCloseReport {
public:
    virtual ~ITPShiftCloseReport() = default;

    virtual Variant GetShiftClose(const std::string& Context, const std::string& SellerCode,
                                  const std::string& FromTime, const std::string& ToTime) = 0;
};

namespace shift_close_report_ops {
using namespace pelio::wire;
using I = ITPShiftCloseReport;
inline constexpr pelio::TRemoteOperation<I, OleVariant, String, String, String, String> GetShiftClose{
    "GetShiftClose", &I::GetShiftClose};
} // namespace shift_close_report_ops

} // namespace kav
