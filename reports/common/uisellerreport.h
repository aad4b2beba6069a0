#pragma once
// TUISellerReport: what the user and group report windows share: a tree of sellers on the left, the product
// search box (venue filter only), the report condition box with "生成报表" (F5), and the combos "类型:"
// (cbtype: 全部, 系统售票, 网上售票) and "分组:" (cbgroup: 全部, 剧院方, 非剧院方). A window derives it,
// places its tree and its own controls, and generates its report in Generate.
//
// Threading: GUI thread only.

#include "host/snapin/kavcsnapin.h"
#include "reports/common/sellercollectreport.h"

#include <QWidget>

class QAction;
class QComboBox;
class QFormLayout;
class QVBoxLayout;

namespace kav {
class TActionUpdater;
}

namespace kav::reports {

class TCreateReportBox;
class TSearchProductBox;

class TUISellerReport : public QWidget {
    Q_OBJECT

public:
    ~TUISellerReport() override;

    TSearchProductBox& ProductBox() noexcept { return *productBox_; }
    TCreateReportBox& ConditionBox() noexcept { return *conditionBox_; }
    QAction* actGetReport = nullptr;

protected:
    TUISellerReport(TSellerCollectReport& core, QWidget* parent);

    // The tree goes above the given button row on the left; combos go into Options().
    void PlaceTree(QWidget* tree, QWidget* underTree);
    QFormLayout* Options() const noexcept { return options_; }
    TSellerSelection Sellers(std::vector<std::string> codes) const;
    TClientDataSet& Brief() noexcept { return brief_; }

    // Loads the window's lists for the context (after the data module has it); raises what the pipe raises.
    virtual void ShowLists() = 0;
    // Generates and lays out the report; raises EReportCondition for a prompt.
    virtual TReportDocument Generate() = 0;

    void showEvent(QShowEvent* event) override;

private:
    void ContextChanged(const std::string& text);

    TSellerCollectReport& core_;
    TKavCSnapIn* snapIn_ = nullptr;
    TSearchProductBox* productBox_ = nullptr;
    TCreateReportBox* conditionBox_ = nullptr;
    TActionUpdater* updates_ = nullptr;
    QComboBox* type_ = nullptr;
    QComboBox* side_ = nullptr;
    QVBoxLayout* left_ = nullptr;
    QFormLayout* options_ = nullptr;
    TClientDataSet brief_;
    bool controlsBuilt_ = false;
};

} // namespace kav::reports
