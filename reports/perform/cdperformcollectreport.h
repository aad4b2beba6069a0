#pragma once
// TCDPerformCollectReport: the data module of the performance collect report. For the ticked
// performances and the period it reads the price levels and seat counts (the performance collect report
// service) and the sale and payment rows (the data pipe), and builds the report table: one row per
// performance, sale sort, sale class, discount and order source with, for each of the twelve price levels,
// the price, the tickets and money sold, the seats and their box office, and the seats not sold and their
// box office; a performance without sales gets one "＜无记录＞" row with its seat counts. The payment table
// holds the money per performance and pay mode by level, as a detail of the report table.
//
// Generate raises EReportCondition for what the window shows as a prompt (a reversed period, no
// performance, no rows) and what the services and the pipe raise. Tables are rebuilt by each run.
// Threading: that of its connection (the GUI thread for the shared one). While Generate runs, a worker
// thread asks for the price levels, seat counts and payments over a connection of its own to the same
// server.

#include "host/kavcontext.h"
#include "platform/widgets/reportdocument.h"
#include "reports/common/collectreportcore.h"
#include "reports/common/reportinput.h"
#include "reports/common/reportlookups.h"
#include "services/dbpipe/tpdbpipe.h"

#include <optional>

namespace kav::reports {

class TCDPerformCollectReport final {
public:
    static constexpr const char* kLayoutFile = "performCollectReport.rep";

    TCDPerformCollectReport();
    explicit TCDPerformCollectReport(pelio::TPelioClient& client);
    TCDPerformCollectReport(const TCDPerformCollectReport&) = delete;
    TCDPerformCollectReport& operator=(const TCDPerformCollectReport&) = delete;

    // Raises ContextTextError for a text that is not a context; the module keeps its context then.
    void SetContext(const std::string& text) { session_.SetContext(text); }
    const TKavContext& Context() const noexcept { return session_.Context(); }
    ITPDBPipe& Pipe() noexcept { return pipe_; }
    // Read at the first use after a context change.
    const TReportSiteSettings& SiteSettings() { return session_.SiteSettings(); }

    // The statistic options: the seats not sold counted by the period (true at start), and whose sales
    // count: "0" all, "1" the site's own, "2" the partner's.
    bool StatisticByPeriod = true;
    std::string SaleSource = "0";

    void Generate(const TProductSelection& products, const TReportCondition& condition);

    TClientDataSet& cdsReport() { return report_; }
    TClientDataSet& cdsPay() { return pay_; }
    TClientDataSet& cdsSaleReport() { return sales_.Rows(); }
    TClientDataSet& cdsPriceLevel() { return priceLevels_; }
    TClientDataSet& cdsSeatAmount() { return seatAmounts_; }
    // The seats not sold and their box office per level, each performance counted once.
    const std::array<std::int64_t, kLevelCount>& HoldAmountTotals() const { return holdAmount_; }
    const std::array<double, kLevelCount>& HoldMoneyTotals() const { return holdMoney_; }
    const TReportPeriod& Period() const noexcept { return period_; }

    // The report of the last run laid out by the layout file (rep/performCollectReport.rep beside the
    // program, or `layoutFile`). Raises EReportLayout naming the file when it cannot be loaded.
    TReportDocument BuildReport(const std::string& layoutFile = {});

private:
    void CreateReportTable();
    void CreatePayTable();
    void FillReport(const TProductSelection& products);
    void FillLevels(const std::string& productCode, const std::string& mapCode, const TLevelSums& sums);
    void FillRemainingTotals();
    void FillPayments(const Variant& payments);

    TTPDBPipe pipe_;
    TReportSession session_{pipe_};
    TReportPeriod period_;
    std::map<std::string, TLevelPrices> prices_; // of this run's performances

    TClientDataSet report_, pay_, priceLevels_, seatAmounts_;
    // The report table's fields of each level, found once per table.
    struct TLevelFields {
        TField *price, *amount, *money, *totalAmount, *totalMoney, *holdAmount, *holdMoney;
    };
    std::array<TLevelFields, kLevelCount> levelFields_{};
    TSaleRows sales_{"ProductCode;SortCode;SaleClassCode;DisCount;ORDERSOURCE;PriceLevel"};
    std::array<std::int64_t, kLevelCount> holdAmount_{};
    std::array<double, kLevelCount> holdMoney_{};
};

} // namespace kav::reports
