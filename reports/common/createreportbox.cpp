#include "reports/common/createreportbox.h"

#include "reports/common/reportwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace kav::reports {

namespace {

QDateTime ToQt(TDateTime value) {
    const CivilDateTime c = DecodeDateTime(value);
    return QDateTime(QDate(c.year, c.month, c.day), QTime(c.hour, c.minute, c.second));
}

TDateTime FromQt(const QDateTime& value) {
    const QDate d = value.date();
    const QTime t = value.time();
    return EncodeDateTime({d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), 0});
}

QDateTimeEdit* TimeEdit(const QString& name, const QDateTime& start, QWidget* parent) {
    auto* edit = new QDateTimeEdit(start, parent);
    edit->setObjectName(name);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    edit->setCalendarPopup(true);
    edit->setEnabled(false);
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("8888-88-88 88:88:88")) + 40);
    return edit;
}

} // namespace

TCreateReportBox::TCreateReportBox(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CreateReportBox"));
    new QVBoxLayout(this);
    layout()->setContentsMargins(0, 0, 0, 0);
}

void TCreateReportBox::CreateControls(const QList<QAction*>& actions) {
    FreeControls();
    controls_ = new QWidget(this);
    auto* grid = new QGridLayout(controls_);
    grid->setContentsMargins(0, 0, 0, 0);
    const QDate today = QDate::currentDate();
    fromSet_ = new QCheckBox(QStringLiteral("起始时间"), controls_);
    fromSet_->setObjectName(QStringLiteral("chkFromTime"));
    from_ = TimeEdit(QStringLiteral("FromTime"), QDateTime(today, QTime(0, 0, 0)), controls_);
    toSet_ = new QCheckBox(QStringLiteral("结束时间"), controls_);
    toSet_->setObjectName(QStringLiteral("chkToTime"));
    to_ = TimeEdit(QStringLiteral("ToTime"), QDateTime(today, QTime(23, 59, 59)), controls_);
    connect(fromSet_, &QCheckBox::toggled, from_, &QWidget::setEnabled);
    connect(toSet_, &QCheckBox::toggled, to_, &QWidget::setEnabled);
    sort_ = new QComboBox(controls_);
    sort_->setObjectName(QStringLiteral("cbSortOption"));
    sort_->addItem(QStringLiteral("按演出时间"), QStringLiteral("HappenTime"));
    sort_->addItem(QStringLiteral("按演出名称"), QStringLiteral("ProductName"));
    sort_->addItem(QStringLiteral("按演出地点"), QStringLiteral("PlaceName"));
    auto* sortLabel = new QLabel(QStringLiteral("排序方式:"), controls_);
    sortLabel->setBuddy(sort_);

    grid->addWidget(fromSet_, 0, 0);
    grid->addWidget(from_, 0, 1);
    grid->addWidget(toSet_, 1, 0);
    grid->addWidget(to_, 1, 1);
    grid->addWidget(sortLabel, 2, 0);
    grid->addWidget(sort_, 2, 1);
    auto* buttons = new QHBoxLayout;
    for (QAction* action : actions)
        buttons->addWidget(ActionButton(action, controls_));
    buttons->addStretch(1);
    grid->addLayout(buttons, 3, 0, 1, 2);
    layout()->addWidget(controls_);
}

void TCreateReportBox::FreeControls() {
    delete controls_;
    controls_ = nullptr;
    fromSet_ = toSet_ = nullptr;
    from_ = to_ = nullptr;
    sort_ = nullptr;
}

TReportCondition TCreateReportBox::Condition() const {
    TReportCondition condition;
    if (!controls_) return condition;
    if (fromSet_->isChecked()) condition.period.from = FromQt(from_->dateTime());
    if (toSet_->isChecked()) condition.period.to = FromQt(to_->dateTime());
    condition.sortOption = sort_->currentData().toString().toStdString();
    return condition;
}

void TCreateReportBox::SetCondition(const TReportCondition& condition) {
    if (!controls_) return;
    fromSet_->setChecked(condition.period.from.has_value());
    if (condition.period.from) from_->setDateTime(ToQt(*condition.period.from));
    toSet_->setChecked(condition.period.to.has_value());
    if (condition.period.to) to_->setDateTime(ToQt(*condition.period.to));
    const int sort = sort_->findData(QString::fromStdString(condition.sortOption));
    sort_->setCurrentIndex(sort < 0 ? 0 : sort);
}

} // namespace kav::reports
