#include "reports/common/uisellerreport.h"

#include "dialogs/kavdialog.h"
#include "platform/widgets/actionupdater.h"
#include "reports/common/createreportbox.h"
#include "reports/common/reportwindow.h"
#include "reports/common/searchproductbox.h"

#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace kav::reports {

TUISellerReport::TUISellerReport(TSellerCollectReport& core, QWidget* parent) : QWidget(parent), core_(core) {
    snapIn_ = new TKavCSnapIn(this);
    connect(snapIn_, &TKavCSnapIn::ContextChanged, this, &TUISellerReport::ContextChanged);

    actGetReport = NewGetReportAction(this);
    connect(actGetReport, &QAction::triggered, this,
            [this] { RunReport(this, [this] { return Generate(); }); });
    updates_ = new TActionUpdater(this);
    updates_->Add(actGetReport, [this] { return !core_.Context().GetAsString().empty(); });

    productBox_ = new TSearchProductBox(this);
    productBox_->SetPlaceSelectionOnly(true);
    conditionBox_ = new TCreateReportBox(this);
    type_ = new QComboBox(this);
    type_->setObjectName(QStringLiteral("cbtype"));
    type_->addItems({QStringLiteral("全部"), QStringLiteral("系统售票"), QStringLiteral("网上售票")});
    side_ = new QComboBox(this);
    side_->setObjectName(QStringLiteral("cbgroup"));
    side_->addItems({QStringLiteral("全部"), QStringLiteral("剧院方"), QStringLiteral("非剧院方")});

    left_ = new QVBoxLayout;
    options_ = new QFormLayout;
    options_->addRow(QStringLiteral("分组:"), side_);
    options_->addRow(QStringLiteral("类型:"), type_);
    auto* side = new QVBoxLayout;
    side->addWidget(conditionBox_);
    side->addLayout(options_);
    side->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left_, 1);
    layout->addWidget(productBox_, 2);
    layout->addLayout(side);
}

TUISellerReport::~TUISellerReport() {
    conditionBox_->FreeControls();
}

void TUISellerReport::PlaceTree(QWidget* tree, QWidget* underTree) {
    left_->addWidget(tree, 1);
    if (underTree) left_->addWidget(underTree);
}

TSellerSelection TUISellerReport::Sellers(std::vector<std::string> codes) const {
    return {std::move(codes), static_cast<TSaleType>(std::max(type_->currentIndex(), 0)),
            static_cast<TSaleSide>(std::max(side_->currentIndex(), 0))};
}

void TUISellerReport::showEvent(QShowEvent* event) {
    if (!controlsBuilt_) {
        conditionBox_->CreateControls({actGetReport});
        controlsBuilt_ = true;
    }
    QWidget::showEvent(event);
}

void TUISellerReport::ContextChanged(const std::string& text) {
    try {
        core_.SetContext(text);
        ShowLists();
        productBox_->ShowData(core_.Pipe(), core_.Context());
    } catch (const std::exception& e) {
        ShowErrorMessage(e.what());
    }
    updates_->UpdateActions();
}

} // namespace kav::reports
