#include "orderhandler/odrhpaymodecheck.h"

#include "dialogs/kavdialog.h"
#include "orderhandler/odrhpayment.h"
#include "orderhandler/uimembercardcheck.h"

#include <charconv>

namespace kav::orderhandler {

namespace {

constexpr const char* kNotStoredValueMember = "不是有效的储值会员，请选择其它的支付方式！";

bool NegativeOrNotNumber(const std::string& memberId) {
    long long value = 0;
    const auto [end, error] = std::from_chars(memberId.data(), memberId.data() + memberId.size(), value);
    return error != std::errc() || end != memberId.data() + memberId.size() || value < 0;
}

} // namespace

TPayModeCheck CheckPayModeSet(QWidget* parent, TCAMemberSys& memberSys, const TKavContext& session,
                              const TPayModeCheckRequest& request) {
    const TodrHOrderInfoRecord& order = *request.order;
    const bool single = request.kind == TOrderWindowKind::SingleOrder;
    const bool memberCard = request.payModeCode == kMemberCardPayMode;
    TPayModeCheck check;
    if (request.payModeCode == kCreditPayMode && request.creditCompany.empty()) {
        ShowPromptMessage("支付方式选择挂账，请选择挂账公司！", "操作提示");
        return check;
    }
    // An order without member has no card to pay with, whatever its member id is stored as.
    if (memberCard && !IsMemberOrder(order)) {
        ShowWarningMessage(kNotStoredValueMember, "警告");
        return check;
    }
    const std::string node = session.NodeCode();
    if (!IsMemberOrder(order) || node == "21" || (single && node == "11")) {
        check.passed = true;
        return check;
    }

    if (single && request.memberMode == kMemberModeByHttp)
        check.member = LocalMemberInfo(order, session.GroupCode());
    else
        check.member = QueryOrderMemberInfo(memberSys, session.GetAsString(), order.memberId.str(), request.memberMode,
                                            single);
    if (!check.member) return check;
    if (!memberCard) {
        check.passed = true;
        return check;
    }
    if (NegativeOrNotNumber(order.memberId.str()) || order.isFeeMember != "Y") {
        ShowWarningMessage(kNotStoredValueMember, "警告");
        return check;
    }
    // The card pays only with its password, which the server checks: asked in every member-system mode.
    const std::optional<std::string> password = CheckMemberCard(parent, memberSys, session.GetAsString(), *check.member);
    if (!password) return check;
    check.member->cardPassword = *password;
    check.passed = true;
    return check;
}

} // namespace kav::orderhandler
