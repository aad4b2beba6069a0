#include "orderhandler/odrhsearchinput.h"

#include <algorithm>

namespace kav::orderhandler {

namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool Has(const std::vector<std::string>& list, const char* code) {
    return std::find(list.begin(), list.end(), code) != list.end();
}

// The source code a search runs with: the chosen one, or for "全部" the one source the user may view
// when it is only one.
std::string EffectiveSource(const TDetailSearchInput& input) {
    if (!input.orderFrom.empty()) return input.orderFrom;
    const bool callCentre = Has(input.viewableSources, kOrderFromCallCentre);
    const bool online = Has(input.viewableSources, kOrderFromOnline);
    if (callCentre && !online) return kOrderFromCallCentre;
    if (online && !callCentre) return kOrderFromOnline;
    return {};
}

// The filter text, and whether the filter is ignored (empty text).
bool Use(std::string& target, const std::string& value) {
    target = Trimmed(value);
    return target.empty();
}

} // namespace

void ValidateDetailSearch(const TDetailSearchInput& input, const ISPOrderHandler& rights) {
    using enum EodrSearchConditionType;
    if (input.viewableSources.empty())
        throw EodrSearchCondition("订单来源为空，无法查询相关的订单信息，请于管理员联系！", EOrderFromRequired);
    if (input.productRequired && input.productCodes.empty())
        throw EodrSearchCondition("演出信息为空，请选择演出！", EProductRequired);
    if (rights.MustHaveNameInSearch() && Trimmed(input.customerName).empty())
        throw EodrSearchCondition("订单详细查询检索条件必须包含顾客姓名！", ECustomerNameRequired);
    if (rights.MustHavePhoneOrCellPhoneInSearch() && Trimmed(input.telephone).empty() &&
        Trimmed(input.cellPhone).empty())
        throw EodrSearchCondition("订单详细查询检索条件必须包含顾客电话或手机！", EPhoneOrCellPhoneRequired);
    if (rights.MustHaveIDNumberInSearch() &&
        (input.certificateType.empty() || Trimmed(input.identityNumber).empty()))
        throw EodrSearchCondition("订单详细查询检索条件必须包含顾客证件信息！", EIDRequired);
}

TOrderHandlerSearchCondition MakeSearchCondition(const TDetailSearchInput& input, const ISPOrderHandler& rights,
                                                 const TKavContext& context) {
    TOrderHandlerSearchCondition c;
    c.productCodes = input.productCodes;
    c.ignoreProductCodes = c.productCodes.empty();
    c.ignoreClientType = Use(c.clientType, input.customerType);

    c.orderFrom = EffectiveSource(input);
    c.ignoreOrderFrom = c.orderFrom.empty();
    std::string status = input.orderStatus;
    if (c.orderFrom == kOrderFromOnline) {
        if (status == "B") status = "N";
        else if (status == "C") status = "U";
    }
    if (status == kStatusAll && !c.orderFrom.empty()) status.clear();
    c.orderStatus = status;
    c.ignoreOrderStatus = status.empty();

    c.ignoreCustomerName = Use(c.customerName, input.customerName);
    c.ignoreTelephone = Use(c.telephone, input.telephone);
    c.ignoreCellPhone = Use(c.cellPhone, input.cellPhone);
    c.certificateType = input.certificateType;
    c.identityNumber = Trimmed(input.identityNumber);
    c.ignoreCertificate = c.certificateType.empty() && c.identityNumber.empty();
    c.ignoreMemberCardNo = Use(c.memberCardNo, input.memberCardNo) || c.memberCardNo == "-1";
    c.ignoreComment = Use(c.comment, input.comment);
    c.ignoreEmail = Use(c.email, input.email);

    c.ignoreCreateTime = !input.createTime;
    if (input.createTime) std::tie(c.createTimeFrom, c.createTimeTo) = *input.createTime;
    c.ignoreHandlerTime = !input.handlerTime;
    if (input.handlerTime) std::tie(c.handlerTimeFrom, c.handlerTimeTo) = *input.handlerTime;
    c.ignoreFailDate = !input.failDate;
    if (input.failDate) std::tie(c.failDateFrom, c.failDateTo) = *input.failDate;

    c.groupScope = rights.CanSeachOtherGroupOrders();
    c.mayEditOthersOrders = rights.CanEditOtherUserOrdersInfo();
    c.groupType = context.GroupType();
    c.groupCode = c.groupScope < 0 ? context.Owner().GetOwnerCode() : context.GroupCode();
    return c;
}

} // namespace kav::orderhandler
