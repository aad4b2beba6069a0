#pragma once
// TCDGroupCollectReport: the data module of the group (sales point) collect report: the sales of chosen
// sales groups for chosen performances (reports/common/sellercollectreport.h), price levels from the group
// collect report service. Grouped by sales point (rep/GroupCollectReportByGroup.rep) or by performance
// (rep/GroupCollectReportByProduct.rep), the sort option ordering within.

#include "host/cacollectreport.h"
#include "reports/common/sellercollectreport.h"

namespace kav::reports {

inline constexpr const char* kGroupByGroup = "销售点";
inline constexpr const char* kGroupByProduct = "演出";

// The layout file and the order of the report grouped by `groupBy` ("演出", or anything else for the sales
// point) for the sort option.
const char* GroupReportLayout(const std::string& groupBy);
std::string GroupReportOrder(const std::string& groupBy, const std::string& sortOption);

class TCDGroupCollectReport final {
public:
    TCDGroupCollectReport();
    explicit TCDGroupCollectReport(pelio::TPelioClient& client);

    void SetContext(const std::string& text) { core_.SetContext(text); }
    const TKavContext& Context() const noexcept { return core_.Context(); }
    TSellerCollectReport& Core() noexcept { return core_; }

    // "排序:" of the window.
    std::string GroupBy = kGroupByGroup;

    // Prompts: "起始时间不可以晚于结束时间!", "请选择销售点！", "请选择演出！" and
    // "无记录,请重新选择查询条件！ " (提示信息).
    void Generate(const TSellerSelection& groups, const TProductSelection& products,
                  const TReportCondition& condition);

    TClientDataSet& cdsReport() { return core_.cdsReport(); }
    // With the layout of GroupBy unless another file is given.
    TReportDocument BuildReport(const std::string& layoutFile = {});

private:
    TCAGroupCollectReport service_;
    TSellerCollectReport core_;
};

} // namespace kav::reports
