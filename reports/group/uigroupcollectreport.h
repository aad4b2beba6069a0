#pragma once
// TUIGroupCollectReport: the group collect report window ("销售点销售报表"): the group tree, the product
// search box, the report condition box, "排序：" (cbGroupBy: 销售点 or 演出, which choose the layout and the
// order) and the type and side combos (reports/common/uisellerreport.h). GUI thread only.

#include "reports/common/uisellerreport.h"
#include "reports/group/cdgroupcollectreport.h"

#include <memory>

class QComboBox;

namespace kav::reports {

class TKavVTGroup;

class TUIGroupCollectReport final : public TUISellerReport {
    Q_OBJECT

public:
    explicit TUIGroupCollectReport(QWidget* parent = nullptr);
    explicit TUIGroupCollectReport(pelio::TPelioClient& client, QWidget* parent = nullptr);

    TCDGroupCollectReport& DataModule() noexcept { return *module_; }
    TKavVTGroup& GroupTree() noexcept { return *tree_; }

protected:
    void ShowLists() override;
    TReportDocument Generate() override;
    void showEvent(QShowEvent* event) override;

private:
    TUIGroupCollectReport(std::unique_ptr<TCDGroupCollectReport> module, QWidget* parent);

    std::unique_ptr<TCDGroupCollectReport> module_;
    TKavVTGroup* tree_ = nullptr;
    QComboBox* groupBy_ = nullptr;
};

} // namespace kav::reports
