// csiKavCollectReports: the package that registers the report windows (the three collect reports and the
// shift close report) with the client shell, as snap-ins of its "窗口" menu. Each opens its window once and
// shows it in the shell's main window.

#include "host/snapin/formsnapin.h"
#include "host/snapin/snapinregistry.h"
#include "reports/group/uigroupcollectreport.h"
#include "reports/perform/uiperformcollectreport.h"
#include "reports/shift/uishiftclosereport.h"
#include "reports/user/uiusercollectreport.h"

namespace {

using namespace kav;
using namespace kav::reports;

class TCIPerformCollectReport final : public TKavFormSnapIn<TUIPerformCollectReport> {};
class TCIUserCollectReport final : public TKavFormSnapIn<TUIUserCollectReport> {};
class TCIGroupCollectReport final : public TKavFormSnapIn<TUIGroupCollectReport> {};
class TCIShiftCloseReport final : public TKavFormSnapIn<TUIShiftCloseReport> {};

const TSnapInRegistration performRegistration{"CIPerformCollectReport",
                                              SnapInClass<TCIPerformCollectReport>(), "项目汇总报表"};
const TSnapInRegistration userRegistration{"CIUserCollectReport", SnapInClass<TCIUserCollectReport>(),
                                           "售票员销售报表"};
const TSnapInRegistration groupRegistration{"CIGroupCollectReport", SnapInClass<TCIGroupCollectReport>(),
                                            "销售点销售报表"};
const TSnapInRegistration shiftRegistration{"CIShiftCloseReport", SnapInClass<TCIShiftCloseReport>(),
                                            "交班报表"};

} // namespace
