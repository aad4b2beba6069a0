#pragma once
// TUIPerformCollectReport: the performance collect report window ("项目汇总报表"). The product search box
// ticks the performances, the report condition box gives the period and order and holds the buttons of
// "生成报表" (F5) and "统计选项"; "导出演出信息" exports the listed performances to Excel. The window answers
// its context component by loading the context into its data module and the product box's data.
//
// Threading: GUI thread only; remote calls run on the window's connection (the shared one by default).

#include "host/snapin/kavcsnapin.h"
#include "reports/perform/cdperformcollectreport.h"

#include <QWidget>
#include <memory>

class QAction;
class QPushButton;

namespace kav {
class TActionUpdater;
}

namespace kav::reports {

class TCreateReportBox;
class TSearchProductBox;
class TUIStatisticOption;

class TUIPerformCollectReport final : public QWidget {
    Q_OBJECT

public:
    explicit TUIPerformCollectReport(QWidget* parent = nullptr);
    // Over a connection of the caller's, which must outlive the window.
    explicit TUIPerformCollectReport(pelio::TPelioClient& client, QWidget* parent = nullptr);
    ~TUIPerformCollectReport() override;

    TCDPerformCollectReport& DataModule() noexcept { return *module_; }
    TSearchProductBox& ProductBox() noexcept { return *productBox_; }
    TCreateReportBox& ConditionBox() noexcept { return *conditionBox_; }
    QAction* actGetReport = nullptr;
    QAction* actStatisticOption = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ContextChanged(const std::string& text);
    void GetReport();
    void StatisticOption();
    void ExportProducts();
    void ExportReport();

    std::unique_ptr<TCDPerformCollectReport> module_;
    TKavCSnapIn* snapIn_ = nullptr;
    TSearchProductBox* productBox_ = nullptr;
    TCreateReportBox* conditionBox_ = nullptr;
    TActionUpdater* updates_ = nullptr;
    TUIStatisticOption* options_ = nullptr; // made on first use and kept
    TClientDataSet brief_;
    bool controlsBuilt_ = false;
};

} // namespace kav::reports
