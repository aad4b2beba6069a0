#pragma once
// TCDUserCollectReport: the data module of the user (ticket seller) collect report: the sales of chosen
// users for chosen performances (reports/common/sellercollectreport.h), price levels from the user collect
// report service, ordered by user and the sort option, printed with rep/UserCollectReport.rep.

#include "host/cacollectreport.h"
#include "reports/common/sellercollectreport.h"

namespace kav::reports {

class TCDUserCollectReport final {
public:
    static constexpr const char* kLayoutFile = "UserCollectReport.rep";

    TCDUserCollectReport();
    explicit TCDUserCollectReport(pelio::TPelioClient& client);

    void SetContext(const std::string& text) { core_.SetContext(text); }
    const TKavContext& Context() const noexcept { return core_.Context(); }
    TSellerCollectReport& Core() noexcept { return core_; }

    // Prompts: "起始时间不可以晚于结束时间!", "请先选择销售员！", "请先选择演出！" (操作提示) and
    // "无记录,请重新选择查询条件！" (提示信息).
    void Generate(const TSellerSelection& users, const TProductSelection& products,
                  const TReportCondition& condition);

    TClientDataSet& cdsReport() { return core_.cdsReport(); }
    TReportDocument BuildReport(const std::string& layoutFile = {});

private:
    TCAUserCollectReport service_;
    TSellerCollectReport core_;
};

} // namespace kav::reports
