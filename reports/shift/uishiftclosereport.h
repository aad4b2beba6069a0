#pragma once
// TUIShiftCloseReport: the shift close report window ("交班报表"): the seller (the logged-in user to start
// with), the working period (today to start with), "生成报表" (F5) to preview and print it and "导出Excel"
// to export it. A seller the user may not see is refused by the server and shown as an error.
// GUI thread only.

#include "host/snapin/kavcsnapin.h"
#include "reports/shift/cdshiftclosereport.h"
#include "services/dbpipe/tpdbpipe.h"

#include <QWidget>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QDateTimeEdit;

namespace kav {
class TActionUpdater;
}

namespace kav::reports {

class TUIShiftCloseReport final : public QWidget {
    Q_OBJECT

public:
    explicit TUIShiftCloseReport(QWidget* parent = nullptr);
    explicit TUIShiftCloseReport(pelio::TPelioClient& client, QWidget* parent = nullptr);

    TCDShiftCloseReport& DataModule() noexcept { return *module_; }
    QAction* actGetReport = nullptr;
    QAction* actExport = nullptr;

private:
    void ContextChanged(const std::string& text);
    std::optional<TDateTime> Bound(QCheckBox* set, QDateTimeEdit* edit) const;
    void GetReport();
    void Export();

    std::unique_ptr<TCDShiftCloseReport> module_;
    TTPDBPipe pipe_;
    TKavCSnapIn* snapIn_ = nullptr;
    TActionUpdater* updates_ = nullptr;
    QComboBox* seller_ = nullptr;
    QCheckBox* fromSet_ = nullptr;
    QCheckBox* toSet_ = nullptr;
    QDateTimeEdit* from_ = nullptr;
    QDateTimeEdit* to_ = nullptr;
    bool generated_ = false;
};

} // namespace kav::reports
