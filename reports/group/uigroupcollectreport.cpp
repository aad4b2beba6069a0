#include "reports/group/uigroupcollectreport.h"

#include "host/orb.h"
#include "reports/common/createreportbox.h"
#include "reports/common/kavvtree.h"
#include "reports/common/searchproductbox.h"

#include <QComboBox>
#include <QFormLayout>

namespace kav::reports {

TUIGroupCollectReport::TUIGroupCollectReport(QWidget* parent) : TUIGroupCollectReport(ORB(), parent) {}

TUIGroupCollectReport::TUIGroupCollectReport(pelio::TPelioClient& client, QWidget* parent)
    : TUIGroupCollectReport(std::make_unique<TCDGroupCollectReport>(client), parent) {}

TUIGroupCollectReport::TUIGroupCollectReport(std::unique_ptr<TCDGroupCollectReport> module, QWidget* parent)
    : TUISellerReport(module->Core(), parent), module_(std::move(module)) {
    setObjectName(QStringLiteral("UIGroupCollectReport"));
    setWindowTitle(QStringLiteral("销售点销售报表"));
    tree_ = new TKavVTGroup(this);
    tree_->CenterLabel = QStringLiteral("(总中心)");
    tree_->BranchLabel = QStringLiteral("(分中心)");
    PlaceTree(tree_, nullptr);
    groupBy_ = new QComboBox(this);
    groupBy_->setObjectName(QStringLiteral("cbGroupBy"));
    Options()->insertRow(0, QStringLiteral("排序："), groupBy_);
}

void TUIGroupCollectReport::showEvent(QShowEvent* event) {
    if (groupBy_->count() == 0) {
        groupBy_->addItems({QString::fromUtf8(kGroupByGroup), QString::fromUtf8(kGroupByProduct)});
        groupBy_->setCurrentIndex(0);
    }
    TUISellerReport::showEvent(event);
}

void TUIGroupCollectReport::ShowLists() {
    tree_->ShowData(LoadGroups(module_->Core().Pipe(), module_->Context()));
}

TReportDocument TUIGroupCollectReport::Generate() {
    module_->GroupBy = groupBy_->currentText().toStdString();
    module_->Generate(Sellers(tree_->SelectedCodes()), ProductBox().Selection(Brief()),
                      ConditionBox().Condition());
    return module_->BuildReport();
}

} // namespace kav::reports
