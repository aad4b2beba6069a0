#include "reports/shift/uishiftclosereport.h"

#include "dialogs/kavdialog.h"
#include "host/orb.h"
#include "platform/widgets/actionupdater.h"
#include "reports/common/reportlookups.h"
#include "reports/common/reportwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace kav::reports {

namespace {

QDateTimeEdit* TimeEdit(const QString& name, const QTime& time, QWidget* parent) {
    auto* edit = new QDateTimeEdit(QDateTime(QDate::currentDate(), time), parent);
    edit->setObjectName(name);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    edit->setCalendarPopup(true);
    return edit;
}

} // namespace

TUIShiftCloseReport::TUIShiftCloseReport(QWidget* parent) : TUIShiftCloseReport(ORB(), parent) {}

TUIShiftCloseReport::TUIShiftCloseReport(pelio::TPelioClient& client, QWidget* parent)
    : QWidget(parent), module_(std::make_unique<TCDShiftCloseReport>(client)), pipe_(&client) {
    setObjectName(QStringLiteral("UIShiftCloseReport"));
    setWindowTitle(QStringLiteral("交班报表"));
    snapIn_ = new TKavCSnapIn(this);
    connect(snapIn_, &TKavCSnapIn::ContextChanged, this, &TUIShiftCloseReport::ContextChanged);

    actGetReport = NewGetReportAction(this);
    actExport = new QAction(QStringLiteral("导出Excel"), this);
    actExport->setObjectName(QStringLiteral("actExport"));
    connect(actGetReport, &QAction::triggered, this, &TUIShiftCloseReport::GetReport);
    connect(actExport, &QAction::triggered, this, &TUIShiftCloseReport::Export);
    updates_ = new TActionUpdater(this);
    updates_->Add(actGetReport, [this] { return !module_->Context().GetAsString().empty(); });
    updates_->Add(actExport, [this] { return generated_; });

    seller_ = new QComboBox(this);
    seller_->setObjectName(QStringLiteral("cbSeller"));
    seller_->setEditable(false);
    fromSet_ = new QCheckBox(QStringLiteral("起始时间"), this);
    fromSet_->setObjectName(QStringLiteral("chkFromTime"));
    fromSet_->setChecked(true);
    toSet_ = new QCheckBox(QStringLiteral("结束时间"), this);
    toSet_->setObjectName(QStringLiteral("chkToTime"));
    toSet_->setChecked(true);
    from_ = TimeEdit(QStringLiteral("FromTime"), QTime(0, 0, 0), this);
    to_ = TimeEdit(QStringLiteral("ToTime"), QTime(23, 59, 59), this);
    connect(fromSet_, &QCheckBox::toggled, from_, &QWidget::setEnabled);
    connect(toSet_, &QCheckBox::toggled, to_, &QWidget::setEnabled);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("售票员:"), seller_);
    form->addRow(fromSet_, from_);
    form->addRow(toSet_, to_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ActionButton(actGetReport, this));
    buttons->addWidget(ActionButton(actExport, this));
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addStretch(1);
}

void TUIShiftCloseReport::ContextChanged(const std::string& text) {
    try {
        module_->SetContext(text);
        seller_->clear();
        for (const TReportUser& user : LoadUsers(pipe_, module_->Context()))
            seller_->addItem(QString::fromStdString(user.name + " [" + user.code + "]"),
                             QString::fromStdString(user.code));
        const int own = seller_->findData(QString::fromStdString(module_->Context().UserCode()));
        seller_->setCurrentIndex(own < 0 ? 0 : own);
    } catch (const std::exception& e) {
        ShowErrorMessage(e.what());
    }
    updates_->UpdateActions();
}

std::optional<TDateTime> TUIShiftCloseReport::Bound(QCheckBox* set, QDateTimeEdit* edit) const {
    if (!set->isChecked()) return std::nullopt;
    const QDateTime value = edit->dateTime();
    return EncodeDateTime({value.date().year(), value.date().month(), value.date().day(), value.time().hour(),
                           value.time().minute(), value.time().second(), 0});
}

void TUIShiftCloseReport::GetReport() {
    generated_ = RunReport(this, [this] {
        module_->Generate(seller_->currentData().toString().toStdString(), Bound(fromSet_, from_),
                          Bound(toSet_, to_));
        return module_->BuildReport();
    });
    updates_->UpdateActions();
}

void TUIShiftCloseReport::Export() {
    const std::string seller = seller_->currentData().toString().toStdString();
    ExportExcel(this, TExcelExport::TableOf(module_->cdsReport()), "导出交班报表",
                "交班报表-" + seller + ".xlsx");
}

} // namespace kav::reports
