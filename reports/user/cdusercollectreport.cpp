#include "reports/user/cdusercollectreport.h"

#include "host/orb.h"

namespace kav::reports {

namespace {

const TSellerReportKind kUsers{"UserCode",
                               "UserName",
                               "售票员",
                               "",
                               "起始时间不可以晚于结束时间!",
                               "操作提示",
                               "请先选择销售员！",
                               "操作提示",
                               "请先选择演出！",
                               "操作提示",
                               "无记录,请重新选择查询条件！",
                               &UserSaleSQL};

} // namespace

TCDUserCollectReport::TCDUserCollectReport() : TCDUserCollectReport(ORB()) {}

TCDUserCollectReport::TCDUserCollectReport(pelio::TPelioClient& client)
    : service_(client),
      core_(kUsers, client, [this](const std::string& context, const std::string& products) {
          return service_.GetPriceLevel(context, products);
      }) {}

void TCDUserCollectReport::Generate(const TSellerSelection& users, const TProductSelection& products,
                                    const TReportCondition& condition) {
    core_.Generate(users, products, condition, ReportOrder(condition.sortOption, "UserName;"));
}

TReportDocument TCDUserCollectReport::BuildReport(const std::string& layoutFile) {
    return core_.BuildReport(layoutFile.empty() ? ReportLayoutFile(kLayoutFile) : layoutFile);
}

} // namespace kav::reports
