#pragma once
// TCDShiftCloseReport: the data module of the shift close report: for one seller and one working period,
// what the seller took by pay mode, gave back, printed and reprinted, took back and cancelled, and the cash
// to hand over (the shift close report service, services/shiftclosereport). Printed with
// rep/ShiftCloseReport.rep; the report table is the alias CDSSHIFT.
//
// Generate raises what the service raises: a seller the caller may not see, an unknown seller.
// Threading: that of its connection.

#include "host/cashiftclosereport.h"
#include "host/kavcontext.h"
#include "platform/dataset/clientdataset.h"
#include "platform/widgets/reportdocument.h"
#include "reports/common/reportperiod.h"

#include <optional>
#include <string>

namespace kav::reports {

class TCDShiftCloseReport final {
public:
    static constexpr const char* kLayoutFile = "ShiftCloseReport.rep";

    TCDShiftCloseReport();
    explicit TCDShiftCloseReport(pelio::TPelioClient& client);

    void SetContext(const std::string& text) { context_.SetAsString(text); }
    const TKavContext& Context() const noexcept { return context_; }

    // The working period: both bounds as given; one bound alone with the start or the end of its own day;
    // none, the day of `today`.
    static TReportPeriod WorkingPeriod(std::optional<TDateTime> from, std::optional<TDateTime> to,
                                       TDateTime today);

    // The seller: the logged-in user when empty.
    void Generate(const std::string& sellerCode, std::optional<TDateTime> from, std::optional<TDateTime> to);

    // SECTIONNO, SECTION (区段), ITEM (项目), QUANTITY (数量), MONEY (金额), SELLERNAME.
    TClientDataSet& cdsReport() { return shift_; }
    const TReportPeriod& Period() const noexcept { return period_; }

    TReportDocument BuildReport(const std::string& layoutFile = {});

private:
    TCAShiftCloseReport service_;
    TKavContext context_;
    TReportPeriod period_;
    TClientDataSet shift_;
};

} // namespace kav::reports
