#pragma once
// TCreateReportBox: the report condition box: the sale period (起始时间 FromTime, 结束时间 ToTime, each set
// by its check box or not set), the sort option, and one button per action the window hands it, which
// follow their actions' enabled state. Its controls exist between CreateControls and FreeControls.
// GUI thread only.

#include "reports/common/reportinput.h"

#include <QList>
#include <QWidget>

class QAction;
class QCheckBox;
class QComboBox;
class QDateTimeEdit;

namespace kav::reports {

class TCreateReportBox final : public QWidget {
    Q_OBJECT

public:
    explicit TCreateReportBox(QWidget* parent = nullptr);

    // Builds the controls and a button per action (in order); both bounds start not set, at today's start
    // and end.
    void CreateControls(const QList<QAction*>& actions);
    void FreeControls();

    // The period and the sort option: "HappenTime", "ProductName" or "PlaceName".
    TReportCondition Condition() const;
    // Sets the bounds (none: not set) and the sort option; for callers that start from given conditions.
    void SetCondition(const TReportCondition& condition);

private:
    QWidget* controls_ = nullptr;
    QCheckBox* fromSet_ = nullptr;
    QCheckBox* toSet_ = nullptr;
    QDateTimeEdit* from_ = nullptr;
    QDateTimeEdit* to_ = nullptr;
    QComboBox* sort_ = nullptr;
};

} // namespace kav::reports
