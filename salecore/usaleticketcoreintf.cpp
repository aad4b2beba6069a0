#include "salecore/usaleticketcoreintf.h"

#include <algorithm>

namespace kav {

namespace {

std::string& LastErrorMessage() {
    static std::string message;
    return message;
}

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

// "系统错误" with the reason on its own line, when there is one.
std::string UnknownError() {
    const std::string& reason = _GetLastSaleCoreErrorMsg();
    return reason.empty() ? "系统错误" : "系统错误，具体原因如下：\r\n" + Quoted(reason);
}

} // namespace

Tpt_SeatInfo* Tpt_SeatInfoList::Find(const std::string& SeatCode) const {
    const auto found = std::find_if(begin(), end(), [&](const std::unique_ptr<Tpt_SeatInfo>& seat) {
        return seat->SeatCode == SeatCode;
    });
    return found == end() ? nullptr : found->get();
}

void Tpt_SeatInfoList::GetSeatCodes(std::vector<std::string>& Strings) const {
    for (const auto& seat : *this)
        Strings.push_back(seat->SeatCode);
}

const std::string& _GetLastSaleCoreErrorMsg() {
    return LastErrorMessage();
}

void SetLastSaleCoreErrorMsg(std::string Message) {
    LastErrorMessage() = std::move(Message);
}

std::string _ResultSaleTicketCoreMsg(TPrintTicket_Result Result) {
    switch (Result) {
    case R_PT_OK:
        return {};
    case R_PT_UNKNOWERROR:
        return UnknownError();
    case R_PT_OUTPUTTICKETFAILED: {
        const std::string& reason = _GetLastSaleCoreErrorMsg();
        return "错误，原因如下：后台生成票张信息失败！" +
               (reason.empty() ? std::string() : "\r\n" + Quoted(reason));
    }
    }
    return {};
}

std::string _ResultSaleTicketCoreMsg(TSaleAccount_Result Result) {
    switch (Result) {
    case R_SA_OK:
        return {};
    case R_SA_UNKNOWERROR:
        return UnknownError();
    case R_SA_OVERGROUPMAXSALEMONEY:
        return "不能出票，原因如下：销售金额不能超过代理点最高售票金额！";
    case R_SA_ACCOUNTFAILED:
        return "错误，原因如下：后台记帐失败！";
    case R_SA_POSTCLIENTINFOFAILED:
        return "错误，原因如下：客户信息登记失败！";
    case R_SA_CHECKMEMBERMONEYFAILED:
        return "错误，原因如下：会员卡里的余额不足！";
    case R_SA_MEMBERPAYPASSWORDEROR:
        return "错误,原因如下： 会员卡密码错误！";
    case R_SA_MEMBERPAYSERVEREROR:
        return "错误,原因如下： 服务器异常请重新取票！";
    }
    return {};
}

std::string _ResultSaleTicketCoreMsg(TCancelForeBook_Result Result) {
    switch (Result) {
    case R_CF_OK:
        return {};
    case R_CF_UNKNOWERROR:
        return "系统错误，具体原因如下：\r\n" + _GetLastSaleCoreErrorMsg();
    case R_CF_CANCELFOREBOOKFAILED:
        return "错误，原因如下：取消订单失败!";
    }
    return {};
}

Tpt_SeatInfoList& pt_SeatInfoList() {
    static Tpt_SeatInfoList list;
    return list;
}

} // namespace kav
