#include "reports/shift/cdshiftclosereport.h"

#include "host/orb.h"
#include "platform/widgets/reportengine.h"
#include "reports/common/reportinput.h"

namespace kav::reports {

namespace {
constexpr TDateTime kLastSecond = 86399.0 / 86400.0;
}

TCDShiftCloseReport::TCDShiftCloseReport() : TCDShiftCloseReport(ORB()) {}

TCDShiftCloseReport::TCDShiftCloseReport(pelio::TPelioClient& client) : service_(client) {}

TReportPeriod TCDShiftCloseReport::WorkingPeriod(std::optional<TDateTime> from, std::optional<TDateTime> to,
                                                 TDateTime today) {
    TReportPeriod period;
    period.from = from ? *from : DateOf(to ? *to : today);
    period.to = to ? *to : DateOf(from ? *from : today) + kLastSecond;
    return period;
}

void TCDShiftCloseReport::Generate(const std::string& sellerCode, std::optional<TDateTime> from,
                                   std::optional<TDateTime> to) {
    period_ = WorkingPeriod(from, to, Today());
    shift_.SetData(
        service_.GetShiftClose(context_.GetAsString(), sellerCode, period_.FromText(), period_.ToText())
            .ByteArrayView());
    const struct {
        const char* field;
        const char* label;
    } labels[] = {{"SECTION", "区段"}, {"ITEM", "项目"}, {"QUANTITY", "数量"}, {"MONEY", "金额"}};
    for (const auto& l : labels)
        shift_.FieldByName(l.field).SetDisplayLabel(l.label);
    shift_.FieldByName("SECTIONNO").SetVisible(false);
    shift_.FieldByName("SELLERNAME").SetVisible(false);
    shift_.First();
}

TReportDocument TCDShiftCloseReport::BuildReport(const std::string& layoutFile) {
    TReportEngine engine(LoadReportLayout(layoutFile.empty() ? ReportLayoutFile(kLayoutFile) : layoutFile));
    engine.SetDataSet("CDSSHIFT", &shift_);
    engine.SetParameter("USERPRINTNAME", FieldValue(context_.UserName()));
    engine.SetParameter(
        "SELLERNAME",
        FieldValue(shift_.IsEmpty() ? std::string() : shift_.FieldByName("SELLERNAME").AsString()));
    engine.SetParameter("BEGINTIME", FieldValue(period_.FromText()));
    engine.SetParameter("ENDTIME", FieldValue(period_.ToText()));
    return engine.Build();
}

} // namespace kav::reports
