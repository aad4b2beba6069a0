#include "orderhandler/odrhmember.h"

#include "dialogs/kavdialog.h"
#include "platform/core/contexttext.h"
#include "platform/core/datetime.h"
#include "platform/core/money.h"
#include "platform/dataset/conversions.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <set>

namespace kav::orderhandler {

namespace {

constexpr const char* kLocalBalance = "10000000";

std::string SingleLine(std::string value) {
    std::replace_if(value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return value;
}

// One element of a "|"-joined list.
std::string ListElement(std::string value) {
    std::replace(value.begin(), value.end(), '|', '/');
    return SingleLine(std::move(value));
}

std::string Money(double value) {
    return MoneyText(Cents(value));
}

std::string TimeText(TDateTime value) {
    return value == 0 ? std::string() : FormatDateTimeIso(value);
}

class TPostLines {
public:
    TPostLines& Add(std::string_view name, std::string value) {
        lines_.SetValue(name, SingleLine(std::move(value)));
        return *this;
    }
    std::string Text() const { return lines_.Format(); }

private:
    TContextText lines_;
};

std::string Joined(const std::vector<TPriceLevelLine>& lines, std::string (*part)(const TPriceLevelLine&)) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += (i == 0 ? "" : "|") + ListElement(part(lines[i]));
    return text;
}

std::int64_t UnixSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

} // namespace

bool IsMemberOrder(const TodrHOrderInfoRecord& order) {
    return !order.memberId.empty() && order.memberId != "-1";
}

TOrderMemberInfoItem LocalMemberInfo(const TodrHOrderInfoRecord& order, const std::string& groupCode) {
    TOrderMemberInfoItem item;
    item.memberId = order.memberId.str();
    item.isFeeMember = order.isFeeMember.str();
    item.balance = kLocalBalance;
    item.mode = kMemberModeByHttp;
    item.cardNo = order.memberCardNo.str();
    item.groupCode = groupCode;
    item.swipeFlag = "false";
    return item;
}

TOrderMemberInfoItem MemberInfoOf(const TMemberUserInfo& member, const std::string& mode) {
    TOrderMemberInfoItem item;
    item.memberKey = member.MemberKey;
    item.memberId = member.MemberID;
    item.isFeeMember = member.IsFeeMember ? "Y" : "N";
    item.balance = Money(member.Balance);
    item.mode = mode;
    item.cardNo = member.CardNo;
    item.groupCode = member.GroupCode;
    item.points = std::to_string(member.Points);
    item.swipeFlag = member.IsSwipe ? "true" : "false";
    item.className = member.ClassName;
    return item;
}

std::optional<TOrderMemberInfoItem> QueryOrderMemberInfo(TCAMemberSys& memberSys, const std::string& context,
                                                          const std::string& memberId, const std::string& mode,
                                                          bool promptWhenMissing) {
    try {
        TQueryUserInfoConditionRecord condition;
        condition.MemberID = {memberId, !memberId.empty()};
        const TMemberUserInfoList members = memberSys.QueryUserInfo(context, condition, mode);
        if (members.empty()) {
            if (promptWhenMissing) ShowPromptMessage("没有查到会员信息，请与管理员联系！", "操作提示");
            return std::nullopt;
        }
        return MemberInfoOf(members.front(), mode);
    } catch (const std::exception&) {
        ShowPromptMessage("网络故障，无法查询到会员卡里的金额，请与管理员联系！", "操作提示");
        return std::nullopt;
    }
}

std::string GetMemberBalance(const TodrHOrderInfoRecord& order, const TOrderMemberInfoItem* member) {
    return order.isFeeMember == "Y" && member ? member->balance : std::string("0");
}

std::vector<TPriceLevelLine> PriceLevelLines(const TodrHSeatInfoList& seats) {
    std::vector<TPriceLevelLine> lines;
    std::set<std::string> listed;
    for (const auto& seat : seats) {
        if (seat->seatAmount <= 0 || !listed.insert(seat->priceLevel).second) continue;
        lines.push_back({seat->priceLevel, seat->price, seat->seatAmount, seat->totalPrice, seat->discount});
    }
    return lines;
}

double PriceSum(const std::vector<TPriceLevelLine>& lines) {
    std::int64_t cents = 0;
    for (const TPriceLevelLine& line : lines)
        cents += Cents(line.seatAmount * line.price);
    return MoneyOf(cents);
}

std::int32_t LastDiscount(const std::vector<TPriceLevelLine>& lines) {
    return lines.empty() ? 0 : lines.back().discount;
}

std::string ServerSaleInfoText(const TMemberPurchase& purchase) {
    const TodrHOrderInfoRecord& o = *purchase.order;
    return TPostLines()
        .Add("MC_MemberID", o.memberId.str())
        .Add("MC_Creater", purchase.userCode)
        .Add("MC_WareName", o.productName.str())
        .Add("MC_WareTime", TimeText(o.productHappenTime))
        .Add("MC_PlaceName", o.placeName.str())
        .Add("MC_OrderSource", "O")
        .Add("MC_SaleClassName", o.saleClassName.str())
        .Add("MC_CostType", purchase.payModeName)
        .Add("MC_bPost", o.shippingWay.code)
        .Add("MC_Address", o.shippingAddress.str())
        .Add("MC_UserName", o.customerName.str())
        .Add("MC_PhoneNumber", o.customerCellPhone.str())
        .Add("MC_PostMemo", o.shippingComment.str())
        .Add("MC_ProductGroup", o.productOwnerGroup.str())
        .Text();
}

TMemberInfoRecord SoapMemberInfo(const TMemberPurchase& purchase) {
    const TodrHOrderInfoRecord& o = *purchase.order;
    TMemberInfoRecord r;
    r.HandlerTime = TimeText(o.orderHandlerTime);
    r.PriceSum = Money(PriceSum(purchase.lines));
    r.Cost = Money(o.receivables);
    r.CostType = purchase.payModeName;
    r.MemberID = o.memberId.str();
    r.Discount = std::to_string(LastDiscount(purchase.lines));
    r.ShippingWay = o.shippingWay.code;
    r.Address = o.shippingAddress.str();
    r.UserName = o.customerName.str();
    r.PhoneNumber = o.customerCellPhone.str();
    r.PostMemo = o.shippingComment.str();
    r.Creater = purchase.userCode;
    r.WareCode = o.productCode.str();
    r.WareName = o.productName.str();
    r.WareTime = TimeText(o.productHappenTime);
    r.PlaceName = o.placeName.str();
    r.OrderCode = o.orderCode.str();
    r.OrderSource = "O";
    r.SaleClassName = o.saleClassName.str();
    r.InvoiceHead = o.invoiceHead.str();
    r.ProductGroup = o.productOwnerGroup.str();
    for (const TPriceLevelLine& line : purchase.lines)
        r.Tickets.push_back({line.priceLevel, detail::FormatFloat(line.price), std::to_string(line.seatAmount),
                             detail::FormatFloat(line.totalPrice)});
    return r;
}

std::string FormPostLines(const TMemberPurchase& purchase, std::int64_t unixSeconds) {
    const TodrHOrderInfoRecord& o = *purchase.order;
    const auto& lines = purchase.lines;
    return TPostLines()
        .Add("sbs_id", "")
        .Add("store_id", "")
        .Add("order_number", o.orderCode.str())
        .Add("MC_Time", TimeText(o.orderHandlerTime))
        .Add("MC_PriceSum", Money(PriceSum(lines)))
        .Add("MC_Cost", Money(o.receivables))
        .Add("MC_CostType", purchase.payModeName)
        .Add("MC_MemberID", o.memberId.str())
        .Add("MC_Discount", std::to_string(LastDiscount(lines)))
        .Add("MC_bPost", o.shippingWay.code)
        .Add("MC_Address", o.shippingAddress.str())
        .Add("MC_UserName", o.customerName.str())
        .Add("MC_PhoneNumber", o.customerCellPhone.str())
        .Add("MC_PostMemo", o.shippingComment.str())
        .Add("MC_Creater", purchase.userCode)
        .Add("MC_WareCode", o.productCode.str())
        .Add("MC_WareName", o.productName.str())
        .Add("MC_WareTime", TimeText(o.productHappenTime))
        .Add("MC_PlaceName", o.placeName.str())
        .Add("MC_OrderCode", o.orderCode.str())
        .Add("MC_OrderSource", "O")
        .Add("MC_SaleClassName", o.saleClassName.str())
        .Add("MC_InvoiceHead", o.invoiceHead.str())
        .Add("MC_Isonecard", "N")
        .Add("MC_Group", "")
        .Add("MC_ProduceGroup", o.productOwnerGroup.str())
        .Add("CL_PriceLevel", Joined(lines, [](const TPriceLevelLine& l) { return l.priceLevel; }))
        .Add("CL_WarePrice", Joined(lines, [](const TPriceLevelLine& l) { return detail::FormatFloat(l.price); }))
        .Add("CL_WareNum", Joined(lines, [](const TPriceLevelLine& l) { return std::to_string(l.seatAmount); }))
        .Add("CL_CostSum", Joined(lines, [](const TPriceLevelLine& l) { return detail::FormatFloat(l.totalPrice); }))
        .Add("t", std::to_string(unixSeconds))
        .Text();
}

bool SaveMemberSaleInfo(TCAMemberSys& memberSys, const std::string& context, const TMemberPurchase& purchase,
                        bool noteFlag, const std::string& mode) {
    const TodrHOrderInfoRecord& order = *purchase.order;
    const bool isMember = IsMemberOrder(order);
    if (mode == kMemberModeByServer)
        return memberSys.SaveSaleInfoByServer(context, order.orderCode.str(), ServerSaleInfoText(purchase), noteFlag,
                                              isMember);
    if (mode == kMemberModeBySoap) return memberSys.SaveSaleInfoBySOAP(context, SoapMemberInfo(purchase), isMember, noteFlag);
    if (mode != kMemberModeByHttp) return false;
    if (!isMember) return true;
    const std::string answer = memberSys.Post(context, FormPostLines(purchase, UnixSeconds()),
                                              "ConsumeInfoPost", noteFlag, isMember);
    if (answer.starts_with(kMemberPostAccepted)) return true;
    ShowPromptMessage(answer, "操作提示");
    return false;
}

} // namespace kav::orderhandler
