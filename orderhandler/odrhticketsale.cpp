#include "orderhandler/odrhticketsale.h"

#include "dialogs/kavdialog.h"
#include "host/kavcontext.h"
#include "orderhandler/odrhcodetables.h"
#include "orderhandler/odrhdataprovider.h"
#include "orderhandler/odrhmemberreceipt.h"
#include "orderhandler/odrhpackage.h"
#include "orderhandler/odrhprintprogress.h"
#include "orderhandler/uireconcileprint.h"
#include "platform/core/datetime.h"

namespace kav::orderhandler {

namespace {

TDateTime HandlerTimeOf(const std::string& text) {
    if (text.empty()) return Now();
    try {
        return ParseDateTimeIso(text);
    } catch (const std::exception&) {
        return Now();
    }
}

std::string Section(const TodrHOrderInfoRecord& order) {
    return order.sectionCode.str();
}

} // namespace

void MarkOrderPaid(TodrHOrderInfoRecord& order, const std::string& payModeCode) {
    order.orderStatus = {"R", GetOrderStatusDisplayname("R")};
    if (!payModeCode.empty()) order.payModeCode = payModeCode;
}

void MarkOrderCollected(TodrHOrderInfoRecord& order, const TKavContext& session, TDateTime handlerTime) {
    order.orderStatus = {"A", GetOrderStatusDisplayname("A")};
    order.isPrint = "Y";
    order.orderHandlerTime = handlerTime;
    order.orderHandlerUser = session.UserCode();
    order.orderHandlerUserName = session.UserName();
}

std::vector<std::string> ClientInfoLines(const TodrHOrderInfoRecord& order) {
    const std::string telephone = order.customerTel.empty() ? order.customerCellPhone.str() : order.customerTel.str();
    return {"CustomerName=" + order.customerName.str(),
            "CertificateType=" + std::to_string(order.identTypeId),
            "CertificateNo=" + order.identityNumber.str(),
            "ShippingAddress=" + order.shippingAddress.str(),
            "Sex=" + order.sex.str(),
            "CustomerTelNo=" + telephone,
            "ClientLevel=" + order.clientLevel.str()};
}

TTicketSaleResult SellOrderTickets(ISaleTicketCoreIntf& core, const TKavContext& session, TTicketSale& sale,
                                   TPrintProgress& progress, TKavTicketFace& face, QWidget* window) {
    TodrHOrderInfoRecord& order = *sale.order;
    const std::string& context = session.GetAsString();
    std::vector<std::string> seatCodes;
    for (const auto& seat : order.GetSeats())
        seatCodes.push_back(seat->seatCode);
    Tpt_SeatInfoList& seats = pt_SeatInfoList();
    core._Init_pt_SeatInfoList(seats, seatCodes, context, order.productCode.str(), order.saleClassCode.str(),
                               order.isGift == "Y");

    const std::string group = order.productOwnerGroup.str();
    const TSaleAccount_Result accounted =
        sale.payModeData ? core.SaleAccount_BL(context, sale.condition, group, sale.clientInfo, *sale.payModeData)
                         : core.SaleAccount_CNOH(context, sale.condition, group, sale.clientInfo);
    if (accounted != R_SA_OK) {
        ShowErrorMessage(_ResultSaleTicketCoreMsg(accounted), "错误");
        return TTicketSaleResult::NotAccounted;
    }
    MarkOrderPaid(order, sale.condition.PayModeCode);

    // From here the money is taken: every failure leads to the seats still to print.
    std::string failure;
    std::string handlerTime;
    try {
        TPrintEventsBinding events(core, progress, seats, sale.promptWhenDone);
        const std::string product = order.productCode.str();
        const TPrintTicket_Result printed =
            core.PrintTickets(context, product, Section(order), core.GetSectionGroupCode(context, product, Section(order)),
                              order.saleClassCode.str(), seats, face, handlerTime, sale.customText);
        if (printed != R_PT_OK) failure = _ResultSaleTicketCoreMsg(printed);
    } catch (const std::exception& e) {
        failure = e.what();
    }
    if (failure.empty() && UnprintedSeats(seats) == 0) {
        MarkOrderCollected(order, session, HandlerTimeOf(handlerTime));
        return TTicketSaleResult::Printed;
    }
    if (failure.empty()) failure = "仍有座位未打印";
    if (UnprintedSeats(seats) == 0) {
        // Every ticket came out before the failure.
        ShowErrorMessage(failure, "错误");
        MarkOrderCollected(order, session, HandlerTimeOf(handlerTime));
        return TTicketSaleResult::Printed;
    }
    if (!ShowReconcilePrint(window, core, context, order, seats, failure)) return TTicketSaleResult::Unfinished;
    MarkOrderCollected(order, session, Now());
    return TTicketSaleResult::Printed;
}

void PostOrderPurchase(const TodrHOrderInfoRecord& order, const std::string& payModeCode,
                       const std::string& payModeName, const std::string& memberMode) {
    TodrHDataProvider& provider = odrHDataProvider();
    try {
        if (!provider.NeedPostPurchaInfo()) return;
        const bool noteFlag = provider.NeedPrintNote(ActionModuleOf(order.orderFrom.code), payModeCode);
        TCAMemberSys memberSys;
        const TMemberPurchase purchase{&order, PriceLevelLines(*order.seats), payModeName, odrHContext().UserCode()};
        if (SaveMemberSaleInfo(memberSys, odrHContext().GetAsString(), purchase, noteFlag, memberMode)) return;
    } catch (const std::exception&) {
        // told below like a refusal
    }
    ShowWarningMessage("会员购票信息保存失败！", "警告");
}

void PrintOrderMemberReceipt(const TodrHOrderInfoRecord& order, const TOrderMemberInfoItem& member,
                             TMemberReceiptLayout layout, std::int64_t chargedCents, const std::string& printerName,
                             const std::string& failureText) {
    const TKavContext& session = odrHContext();
    try {
        PrintMemberReceipt(MemberReceiptLines(order, PriceLevelLines(*order.seats), member, session.SiteName(), layout,
                                              chargedCents, Now()),
                           printerName, MemberReceiptFile());
    } catch (const std::exception& e) {
        ShowErrorMessage(failureText.empty() ? std::string(e.what()) : failureText, "错误");
    }
}

} // namespace kav::orderhandler
