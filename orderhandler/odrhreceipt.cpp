#include "orderhandler/odrhreceipt.h"

#include "orderhandler/odrhcodetables.h"
#include "orderhandler/odrhgridtext.h"
#include "platform/core/textcodec.h"
#include "platform/dataset/conversions.h"

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

namespace kav::orderhandler {

namespace {

constexpr const char* kSmallFont = "\x1b" "M1";
constexpr const char* kPaperCut = "\x1d" "V1";

std::string Money(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%0.2f", value);
    return text;
}

} // namespace

std::vector<std::string> StatementLines(const TodrHOrderInfoRecord& order, const TodrHSeatInfoList& seats) {
    std::vector<std::string> lines;
    lines.push_back("演出名称:" + order.productName.str());
    lines.push_back("演出时间: " + FormatMinutes(order.productHappenTime));
    lines.push_back("订单号: " + order.orderCode.str());
    // The states a seller knows; online orders store N and U for booked and cancelled.
    const std::string status = order.orderStatus.code == "N" ? "B" : order.orderStatus.code == "U" ? "C"
                                                                                                   : order.orderStatus.code;
    std::string state;
    if (status == "R") state = "已支付";
    else if (status == "A") state = "已提票";
    else if (status == "B") state = "未处理";
    else if (status == "C") state = "已取消";
    lines.push_back("支付状态: " + state);

    double total = 0;
    int discount = 0;
    std::set<std::string> listed;
    for (const auto& seat : seats) {
        if (seat->seatAmount <= 0 || !listed.insert(seat->priceLevel).second) continue;
        lines.push_back("票价(元):" + detail::FormatFloat(seat->price) + " 数量:" + std::to_string(seat->seatAmount));
        total += seat->seatAmount * seat->price;
        discount = seat->discount;
    }
    lines.push_back("总数量: " + std::to_string(order.seatCount));
    lines.push_back("总价(元): " + detail::FormatFloat(total) + " 折扣: " + std::to_string(discount) + "%");
    lines.push_back("折扣后总金额(元):" + Money(order.receivables));
    lines.push_back("顾客姓名: " + order.customerName.str());
    lines.push_back("手机: " + order.customerCellPhone.str());
    if (!order.orderPassword.empty()) lines.push_back("密码: " + order.orderPassword.str());
    return lines;
}

std::string ReceiptJob(const std::string& title, const std::vector<std::string>& lines) {
    std::string text = title + "\r\n" + kSmallFont;
    for (const std::string& line : lines)
        text += "\r\n" + line;
    text += "\r\n\n\n\r\n\n";
    text += kPaperCut;
    return text;
}

std::optional<std::vector<std::string>> ReadMemberReceiptLines(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    std::string text = bytes.str();
    if (!IsValidUtf8(text)) text = AnsiToUtf8(text);
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    for (bool first = true; std::getline(stream, line); first = false) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!first) lines.push_back(line);
    }
    return lines;
}

} // namespace kav::orderhandler
