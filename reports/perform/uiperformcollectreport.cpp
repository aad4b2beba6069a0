#include "reports/perform/uiperformcollectreport.h"

#include "dialogs/kavdialog.h"
#include "host/orb.h"
#include "platform/widgets/actionupdater.h"
#include "reports/common/createreportbox.h"
#include "reports/common/reportwindow.h"
#include "reports/common/searchproductbox.h"
#include "reports/perform/uistatisticoption.h"

#include <QAction>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace kav::reports {

TUIPerformCollectReport::TUIPerformCollectReport(QWidget* parent) : TUIPerformCollectReport(ORB(), parent) {}

TUIPerformCollectReport::TUIPerformCollectReport(pelio::TPelioClient& client, QWidget* parent)
    : QWidget(parent), module_(std::make_unique<TCDPerformCollectReport>(client)) {
    setObjectName(QStringLiteral("UIPerformCollectReport"));
    setWindowTitle(QStringLiteral("项目汇总报表"));
    snapIn_ = new TKavCSnapIn(this);
    connect(snapIn_, &TKavCSnapIn::ContextChanged, this, &TUIPerformCollectReport::ContextChanged);

    actGetReport = NewGetReportAction(this);
    actStatisticOption = new QAction(QStringLiteral("统计选项"), this);
    actStatisticOption->setObjectName(QStringLiteral("actStatisticOption"));
    connect(actGetReport, &QAction::triggered, this, &TUIPerformCollectReport::GetReport);
    connect(actStatisticOption, &QAction::triggered, this, &TUIPerformCollectReport::StatisticOption);
    updates_ = new TActionUpdater(this);
    const auto hasContext = [this] { return !module_->Context().GetAsString().empty(); };
    updates_->Add(actGetReport, hasContext);
    updates_->Add(actStatisticOption, hasContext);

    productBox_ = new TSearchProductBox(this);
    conditionBox_ = new TCreateReportBox(this);
    auto* exportProducts = new QPushButton(QStringLiteral("导出演出信息"), this);
    exportProducts->setObjectName(QStringLiteral("btnExportProduct"));
    auto* exportReport = new QPushButton(QStringLiteral("导出报表"), this);
    exportReport->setObjectName(QStringLiteral("btnExportReport"));
    exportReport->setVisible(false);
    connect(exportProducts, &QPushButton::clicked, this, &TUIPerformCollectReport::ExportProducts);
    connect(exportReport, &QPushButton::clicked, this, &TUIPerformCollectReport::ExportReport);

    auto* side = new QVBoxLayout;
    side->addWidget(conditionBox_);
    side->addWidget(exportProducts);
    side->addWidget(exportReport);
    side->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(productBox_, 1);
    layout->addLayout(side);
}

TUIPerformCollectReport::~TUIPerformCollectReport() {
    conditionBox_->FreeControls();
}

void TUIPerformCollectReport::showEvent(QShowEvent* event) {
    if (!controlsBuilt_) {
        conditionBox_->CreateControls({actGetReport, actStatisticOption});
        controlsBuilt_ = true;
    }
    QWidget::showEvent(event);
}

void TUIPerformCollectReport::ContextChanged(const std::string& text) {
    try {
        module_->SetContext(text);
        productBox_->ShowData(module_->Pipe(), module_->Context());
    } catch (const std::exception& e) {
        ShowErrorMessage(e.what());
    }
    updates_->UpdateActions();
}

void TUIPerformCollectReport::GetReport() {
    RunReport(this, [this] {
        module_->Generate(productBox_->Selection(brief_), conditionBox_->Condition());
        return module_->BuildReport();
    });
}

void TUIPerformCollectReport::StatisticOption() {
    std::string venue;
    try {
        venue = module_->SiteSettings().venueName;
    } catch (const std::exception& e) {
        ShowErrorMessage(e.what());
        return;
    }
    if (!options_) options_ = new TUIStatisticOption(this);
    options_->SetOptions(module_->StatisticByPeriod, module_->SaleSource, venue);
    if (options_->exec() != QDialog::Accepted) return;
    module_->SaleSource = options_->SaleSource();
    module_->StatisticByPeriod = options_->ByPeriod();
}

void TUIPerformCollectReport::ExportProducts() {
    TExcelTable table;
    table.columns = {
        {"演出名称", TExcelKind::Text}, {"场馆名称", TExcelKind::Text}, {"演出时间", TExcelKind::DateTime}};
    for (const TSearchProductBox::TListed& product : productBox_->Listed())
        table.rows.push_back(
            {FieldValue(product.productName), FieldValue(product.placeName), product.happenTime});
    if (table.rows.empty()) {
        ShowPromptMessage("没有可导出的演出。", "提示信息");
        return;
    }
    ExportExcel(this, table, "导出演出信息", "演出信息.xlsx");
}

void TUIPerformCollectReport::ExportReport() {
    if (!module_->cdsReport().Active() || module_->cdsReport().IsEmpty()) return;
    ExportExcel(this, TExcelExport::TableOf(module_->cdsReport()), "导出报表", "项目汇总报表.xlsx");
}

} // namespace kav::reports
