#include "orderhandler/odrhcolumns.h"

namespace kav::orderhandler {

const std::array<TOrderColumn, kOrderColumnCount>& OrderColumns() {
    using enum TFieldType;
    static constexpr std::array<TOrderColumn, kOrderColumnCount> columns{{
        {"OrderCode", "订单编号", 85, ftStr},
        {"OrderFrom", "订单来源", 85, ftStr},
        {"OrderStatus", "订单状态", 85, ftStr},
        {"CustomerType", "顾客类别", 80, ftStr},
        {"CustomerName", "姓名", 80, ftStr},
        {"CustomerTelNo", "电话", 90, ftStr},
        {"CustomerMobileNo", "手机号码", 90, ftStr},
        {"SaleClassName", "销售政策", 130, ftStr},
        {"Receivables", "应收金额", 100, ftFlo},
        {"SeatCount", "座位数量", 80, ftInt},
        {"CreateGroupName", "预定组", 100, ftStr},
        {"CreateUser", "预订操作员", 100, ftStr},
        {"MemberCardNo", "会员卡号", 150, ftStr},
        {"OrderTime", "预订时间", 140, ftTime},
        {"ContinuedTime", "订单持续时间", 100, ftStr},
        {"OrderHandlerGroup", "订单处理组", 100, ftStr},
        {"OrderHandlerUser", "订单处理员", 100, ftStr},
        {"OrderHandlerTime", "订单处理时间", 110, ftTime},
        {"CertificateType", "证件类型", 80, ftStr},
        {"CertificateNo", "证件号码", 150, ftStr},
        {"EMail", "电子邮箱", 180, ftStr},
        {"OrderCheckHeader", "订单发票抬头", 180, ftStr},
        {"ShippingWay", "配送方式", 80, ftStr},
        {"ShippingAddress", "配送地址", 250, ftStr},
        {"Description", "购票信息描述", 200, ftStr},
        {"ShippingComment", "备注", 200, ftStr},
    }};
    return columns;
}

std::optional<int> FindOrderColumn(std::string_view fieldName) {
    const auto& columns = OrderColumns();
    for (int i = 0; i < kOrderColumnCount; ++i)
        if (columns[static_cast<std::size_t>(i)].fieldName == fieldName) return i;
    return std::nullopt;
}

} // namespace kav::orderhandler
