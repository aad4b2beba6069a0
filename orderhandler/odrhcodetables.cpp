#include "orderhandler/odrhcodetables.h"

#include <algorithm>
#include <utility>

namespace kav::orderhandler {

namespace {

std::string NameOf(const std::vector<TCodeNameItem>& table, std::string_view code) {
    const auto found = std::find_if(table.begin(), table.end(),
                                    [&](const TCodeNameItem& item) { return item.code == code; });
    return found == table.end() ? std::string() : found->name;
}

} // namespace

const TOrderStatusTypeInfoArr& OrderStatusTypeInfos() {
    static const TOrderStatusTypeInfoArr table{
        {"B", "未处理"}, {"A", "已提票"},         {"C", "已取消"},
        {"R", "已支付"}, {"RA", "已支付+已提票"}, {"ALL", "全部"},
    };
    return table;
}

std::string GetOrderStatusDisplayname(std::string_view code) {
    if (code == "N")
        code = "B";
    else if (code == "U")
        code = "C";
    return NameOf(OrderStatusTypeInfos(), code);
}

// Every order source with its rights number; the table offered is the part the user may view.
static const std::vector<std::pair<int, TOrderFromTypeInfoRecord>>& AllOrderSources() {
    static const std::vector<std::pair<int, TOrderFromTypeInfoRecord>> sources{
        {2, {kOrderFromCallCentre, "呼叫中心订单"}}, {3, {kOrderFromOnline, "网上订单"}}};
    return sources;
}

TOrderFromTypeInfoArr OrderFromTypeInfos(const TCanViewOrders& canViewOrders) {
    TOrderFromTypeInfoArr table;
    if (!canViewOrders) return table;
    for (const auto& [source, info] : AllOrderSources())
        if (canViewOrders(source)) table.push_back(info);
    return table;
}

std::string GetOrderFromDisplayName(std::string_view code, const TCanViewOrders& canViewOrders) {
    if (!canViewOrders) return {};
    for (const auto& [source, info] : AllOrderSources())
        if (info.code == code) return canViewOrders(source) ? info.name : std::string();
    return {};
}

const TShippingWayTypeInfoArr& ShippingWayTypeInfos() {
    static const TShippingWayTypeInfoArr table{{"1", "现场取票"}, {"2", "送票上门"}, {"3", "配送至网点"}};
    return table;
}

std::string GetShippingWayDisplayName(std::string_view code) {
    return NameOf(ShippingWayTypeInfos(), code);
}

std::string GetClientTypeExportName(std::string_view clientType) {
    if (clientType == "1") return "会员";
    if (clientType == "3") return "普通购票者";
    return "未知购票者";
}

} // namespace kav::orderhandler
