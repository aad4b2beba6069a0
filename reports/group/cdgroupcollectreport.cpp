#include "reports/group/cdgroupcollectreport.h"

#include "host/orb.h"

namespace kav::reports {

namespace {

const TSellerReportKind kGroups{
    "GroupCode",      "GroupName", "销售点",       "折扣",     "起始时间不可以晚于结束时间!",  "提示信息",
    "请选择销售点！", "提示信息",  "请选择演出！", "提示信息", "无记录,请重新选择查询条件！ ", &GroupSaleSQL};

} // namespace

const char* GroupReportLayout(const std::string& groupBy) {
    return groupBy == kGroupByProduct ? "GroupCollectReportByProduct.rep" : "GroupCollectReportByGroup.rep";
}

std::string GroupReportOrder(const std::string& groupBy, const std::string& sortOption) {
    if (groupBy != kGroupByProduct) return ReportOrder(sortOption, "GroupName;");
    const std::string rest = "GroupName;SortCode;SaleClassName;DisCount;OrderSource";
    if (sortOption == "PlaceName") return "PlaceName;HappenTime;ProductName;" + rest;
    if (sortOption == "ProductName") return "ProductName;HappenTime;PlaceName;" + rest;
    return "HappenTime;ProductName;PlaceName;" + rest;
}

TCDGroupCollectReport::TCDGroupCollectReport() : TCDGroupCollectReport(ORB()) {}

TCDGroupCollectReport::TCDGroupCollectReport(pelio::TPelioClient& client)
    : service_(client),
      core_(kGroups, client, [this](const std::string& context, const std::string& products) {
          return service_.GetPriceLevel(context, products);
      }) {}

void TCDGroupCollectReport::Generate(const TSellerSelection& groups, const TProductSelection& products,
                                     const TReportCondition& condition) {
    core_.Generate(groups, products, condition, GroupReportOrder(GroupBy, condition.sortOption));
}

TReportDocument TCDGroupCollectReport::BuildReport(const std::string& layoutFile) {
    return core_.BuildReport(layoutFile.empty() ? ReportLayoutFile(GroupReportLayout(GroupBy)) : layoutFile);
}

} // namespace kav::reports
