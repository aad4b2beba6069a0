#include "orderhandler/odrhmemberreceipt.h"

#include "orderhandler/odrhfiles.h"
#include "orderhandler/odrhreceipt.h"
#include "platform/core/atomicfile.h"
#include "platform/core/money.h"
#include "platform/dataset/conversions.h"
#include "platform/widgets/rawprinter.h"

#include <QDir>

namespace kav::orderhandler {

TMemberReceiptLayout OrderReceiptLayout(const std::string& ownerCode) {
    return {ownerCode != kShortReceiptOwner, true};
}

TMemberReceiptLayout ManyOrdersReceiptLayout(const std::string& ownerCode) {
    return {ownerCode != kShortReceiptOwner, false};
}

std::vector<std::string> MemberReceiptLines(const TodrHOrderInfoRecord& order, const std::vector<TPriceLevelLine>& lines,
                                            const TOrderMemberInfoItem& member, const std::string& siteName,
                                            TMemberReceiptLayout layout, std::int64_t chargedCents, TDateTime now) {
    std::vector<std::string> text{"   欢迎购票", "购票院线：" + siteName, "会员姓名: " + order.customerName.str(),
                                  "会员卡号: " + order.memberCardNo.str()};
    if (layout.points) text.push_back("会员积分: " + member.points);
    if (layout.memberClass) text.push_back("会员类别: " + member.className);
    text.push_back("本次消费详情:");
    text.push_back("消费时间: " + FormatDateTimeIso(now));
    text.push_back("演出名称: ");
    text.push_back(order.productName.str());
    text.push_back("演出时间: " + (order.productHappenTime == 0 ? std::string() : FormatDateIso(order.productHappenTime)));
    text.push_back("演出剧场: " + order.placeName.str());
    text.push_back("票价(元)  数量");
    for (const TPriceLevelLine& line : lines)
        text.push_back(detail::FormatFloat(line.price) + "      " + std::to_string(line.seatAmount));
    text.push_back("总数量  总价(元)  折扣  折扣后总金额(元)");
    const std::int64_t receivable = Cents(order.receivables);
    text.push_back(std::to_string(order.seatCount) + "       " + detail::FormatFloat(PriceSum(lines)) + "      " +
                   std::to_string(LastDiscount(lines)) + "%     " + MoneyText(receivable));
    text.push_back("本次消费后卡内余额:" + MoneyText(Cents(NumberOr0(member.balance)) - chargedCents) + "(元)");
    text.push_back("");
    text.push_back("客户签名: ______________________");
    text.push_back("");
    return text;
}

void PrintMemberReceipt(const std::vector<std::string>& lines, const std::string& printerName,
                        const std::filesystem::path& file) {
    std::string kept;
    for (std::size_t i = 0; i < lines.size(); ++i)
        kept += (i == 0 ? "" : "\r\n") + lines[i];
    WriteFileAtomically(file, kept);
    WriteRawStringToPrinter(printerName,
                            ReceiptJob(kStatementTitle, std::vector<std::string>(lines.begin() + (lines.empty() ? 0 : 1),
                                                                                 lines.end())));
}

std::filesystem::path MemberReceiptFile() {
    return std::filesystem::path(QDir::currentPath().toStdString()) / kMemberOrderInfoFileName;
}

} // namespace kav::orderhandler
