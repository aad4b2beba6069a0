#pragma once
// TUIUserCollectReport: the user collect report window ("售票员销售报表"): the user tree (its "全选" expands
// every group and ticks every user), the product search box, the report condition box and the type and
// side combos (reports/common/uisellerreport.h). GUI thread only.

#include "reports/common/uisellerreport.h"
#include "reports/user/cdusercollectreport.h"

#include <memory>

namespace kav::reports {

class TKavVTUser;

class TUIUserCollectReport final : public TUISellerReport {
    Q_OBJECT

public:
    explicit TUIUserCollectReport(QWidget* parent = nullptr);
    explicit TUIUserCollectReport(pelio::TPelioClient& client, QWidget* parent = nullptr);

    TCDUserCollectReport& DataModule() noexcept { return *module_; }
    TKavVTUser& UserTree() noexcept { return *tree_; }

protected:
    void ShowLists() override;
    TReportDocument Generate() override;

private:
    TUIUserCollectReport(std::unique_ptr<TCDUserCollectReport> module, QWidget* parent);

    std::unique_ptr<TCDUserCollectReport> module_;
    TKavVTUser* tree_ = nullptr;
};

} // namespace kav::reports
