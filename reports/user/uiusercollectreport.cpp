#include "reports/user/uiusercollectreport.h"

#include "host/orb.h"
#include "reports/common/createreportbox.h"
#include "reports/common/kavvtree.h"
#include "reports/common/searchproductbox.h"

#include <QPushButton>

namespace kav::reports {

TUIUserCollectReport::TUIUserCollectReport(QWidget* parent) : TUIUserCollectReport(ORB(), parent) {}

TUIUserCollectReport::TUIUserCollectReport(pelio::TPelioClient& client, QWidget* parent)
    : TUIUserCollectReport(std::make_unique<TCDUserCollectReport>(client), parent) {}

TUIUserCollectReport::TUIUserCollectReport(std::unique_ptr<TCDUserCollectReport> module, QWidget* parent)
    : TUISellerReport(module->Core(), parent), module_(std::move(module)) {
    setObjectName(QStringLiteral("UIUserCollectReport"));
    setWindowTitle(QStringLiteral("售票员销售报表"));
    tree_ = new TKavVTUser(this);
    tree_->CenterLabel = QStringLiteral("(总中心)");
    tree_->BranchLabel = QStringLiteral("(分中心)");
    auto* all = new QPushButton(QStringLiteral("全选"), this);
    all->setObjectName(QStringLiteral("btnSelectAllUsers"));
    connect(all, &QPushButton::clicked, tree_, &TKavVTUser::CheckAll);
    PlaceTree(tree_, all);
}

void TUIUserCollectReport::ShowLists() {
    tree_->ShowData(LoadGroups(module_->Core().Pipe(), module_->Context()),
                    LoadUsers(module_->Core().Pipe(), module_->Context()));
}

TReportDocument TUIUserCollectReport::Generate() {
    module_->Generate(Sellers(tree_->SelectedCodes()), ProductBox().Selection(Brief()),
                      ConditionBox().Condition());
    return module_->BuildReport();
}

} // namespace kav::reports
