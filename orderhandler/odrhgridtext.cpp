#include "orderhandler/odrhgridtext.h"

#include "orderhandler/odrhcolumns.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace kav::orderhandler {

namespace {

enum Column {
    kOrderCode,
    kOrderFrom,
    kOrderStatus,
    kCustomerType,
    kCustomerName,
    kCustomerTelNo,
    kCustomerMobileNo,
    kSaleClassName,
    kReceivables,
    kSeatCount,
    kCreateGroupName,
    kCreateUser,
    kMemberCardNo,
    kOrderTime,
    kContinuedTime,
    kOrderHandlerGroup,
    kOrderHandlerUser,
    kOrderHandlerTime,
    kCertificateType,
    kCertificateNo,
    kEMail,
    kOrderCheckHeader,
    kShippingWay,
    kShippingAddress,
    kDescription,
    kShippingComment,
};

// The value of a text column as it is compared (the code alone where the cell adds a name).
std::string_view TextValue(const TodrHOrderInfoRecord& order, int columnIndex) {
    switch (columnIndex) {
    case kOrderCode: return order.orderCode;
    case kOrderFrom: return order.orderFrom.name;
    case kOrderStatus: return order.orderStatus.name;
    case kCustomerType: return order.customerType.name;
    case kCustomerName: return order.customerName;
    case kCustomerTelNo: return order.customerTel;
    case kCustomerMobileNo: return order.customerCellPhone;
    case kSaleClassName: return order.saleClassName;
    case kCreateGroupName: return order.createGroupName;
    case kCreateUser: return order.createUser;
    case kMemberCardNo: return order.memberCardNo;
    case kContinuedTime: return order.continuedTime;
    case kOrderHandlerGroup: return order.orderHandlerGroup;
    case kOrderHandlerUser: return order.orderHandlerUser;
    case kCertificateType: return order.certificate.name;
    case kCertificateNo: return order.identityNumber;
    case kEMail: return order.email;
    case kOrderCheckHeader: return order.invoiceHead;
    case kShippingWay: return order.shippingWay.name;
    case kShippingAddress: return order.shippingAddress;
    case kDescription: return order.description;
    case kShippingComment: return order.shippingComment;
    default: return {};
    }
}

double NumberValue(const TodrHOrderInfoRecord& order, int columnIndex) {
    switch (columnIndex) {
    case kReceivables: return order.receivables;
    case kSeatCount: return order.seatCount;
    case kOrderTime: return order.orderTime;
    case kOrderHandlerTime: return order.orderHandlerTime;
    default: return 0;
    }
}

// "code|name"; empty when both are.
std::string CodeAndName(std::string_view code, std::string_view name) {
    if (code.empty() && name.empty()) return {};
    std::string text(code);
    text += '|';
    text += name;
    return text;
}

int CompareIgnoringCase(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 'a' + 'A');
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string Format(const char* pattern, long long value) {
    char text[96];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string Format(const char* pattern, double value) {
    char text[96];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

} // namespace

std::string FormatMinutes(TDateTime value) {
    if (value == 0) return {};
    return FormatDateTimeIso(value).substr(0, 16);
}

std::string OrderCellText(const TodrHOrderInfoRecord& order, int columnIndex) {
    switch (columnIndex) {
    case kReceivables: return Format("%8.2f元", order.receivables);
    case kSeatCount: return std::to_string(order.seatCount);
    case kCreateUser: return CodeAndName(order.createUser, order.createUserName);
    case kOrderHandlerUser: return CodeAndName(order.orderHandlerUser, order.orderHandlerUserName);
    case kOrderTime: return FormatMinutes(order.orderTime);
    case kOrderHandlerTime: return FormatMinutes(order.orderHandlerTime);
    default: return std::string(TextValue(order, columnIndex));
    }
}

int CompareOrders(const TodrHOrderInfoRecord& a, const TodrHOrderInfoRecord& b, int columnIndex) {
    if (columnIndex < 0 || columnIndex >= kOrderColumnCount) return 0;
    switch (OrderColumns()[static_cast<std::size_t>(columnIndex)].sortKind) {
    case TFieldType::ftInt:
    case TFieldType::ftFlo:
    case TFieldType::ftTime: {
        const double x = NumberValue(a, columnIndex), y = NumberValue(b, columnIndex);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    default:
        return CompareIgnoringCase(TextValue(a, columnIndex), TextValue(b, columnIndex));
    }
}

std::string OrderSeatsHint(const TodrHOrderInfoRecord& order) {
    if (!order.HasSeats())
        return "当前订单没有座位信息，如果您想要查看当前订单的座位信息，但又不想通过订单取票窗口查看的话，"
               "请单击舅标右键“获取座位信息”！";
    std::string hint = "订单号'" + order.orderCode.str() + "', 座位信息如下：\n";
    for (int i = 0; i < 17; ++i)
        hint += "－";
    hint += '\n';
    for (const auto& seat : *order.seats)
        hint += seat->sectionName + ' ' + seat->floorName + ' ' + seat->rowName + ' ' + seat->seatNo + ' ' +
                seat->priceLevel + "级\n";
    hint.pop_back();
    return hint;
}

std::string OrderTotalsText(long long seatTotal, double receivablesTotal) {
    return Format("查询的订单座位总数  %lld  个！", seatTotal) + "," +
           Format("查询的订单总金额  %.2f  元！", receivablesTotal);
}

std::string SearchResultCaption(int count, long long seatTotal, double receivablesTotal) {
    if (count == 0) return "查询结果：未找到订单记录，请确认查询条件是否正确！";
    return "查询结果：" + Format("共找到%lld条订单记录！", static_cast<long long>(count)) + "-----" +
           OrderTotalsText(seatTotal, receivablesTotal);
}

std::string SelectedOrderCaption(const TodrHOrderInfoRecord& order, long long seatTotal,
                                 double receivablesTotal) {
    std::string performance;
    for (const std::string& part :
         {order.productName.str(), order.placeName.str(), FormatMinutes(order.productHappenTime)}) {
        if (part.empty()) continue;
        if (!performance.empty()) performance += ' ';
        performance += part;
    }
    return "演出：" + performance + "-----" + OrderTotalsText(seatTotal, receivablesTotal);
}

} // namespace kav::orderhandler
