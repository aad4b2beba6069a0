// The accounting half of TSaleTicketCoreImpl: sales ceiling, member balance, customer registration,
// charging an order and collecting a booked one.

#include "dialogs/kavdialog.h"
#include "host/sqltext.h"
#include "platform/core/contexttext.h"
#include "platform/core/money.h"
#include "salecore/uiclientinfoshowbyclientticket.h"
#include "salecore/usaleticketcoreimpl.h"

#include <QApplication>
#include <QDebug>
#include <map>

namespace kav {

namespace {

constexpr const char* kCollectedOrderFile = "cdsorder.cds";

// The first person of a registration, from the seller's name=value lines.
std::map<std::string, std::string> CustomerRow(const std::vector<std::string>& customerData) {
    static const std::pair<const char*, const char*> kColumns[] = {
        {"CustomerName", "NAME"},           {"CertificateNo", "IDNUM"},
        {"ShippingAddress", "CADDRESS"},    {"Sex", "SEX"},
        {"CustomerTelNo", "TEL"},           {"ClientLevel", "CLIENTLEVEL"},
        {"CertificateType", "IDENTTYPEID"},
    };
    std::map<std::string, std::string> row;
    for (const std::string& line : customerData) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string name = line.substr(0, equals), value = line.substr(equals + 1);
        for (const auto& [key, column] : kColumns)
            if (name == key) row[column] = value;
    }
    // The identity type is a number; anything else is left for the seller to choose.
    if (auto type = row.find("IDENTTYPEID"); type != row.end() && NumberOr0(type->second) <= 0)
        row.erase(type);
    return row;
}

} // namespace

bool CheckMemberMoneyEnough(const TSaleAccountCondition& Condition) {
    if (Condition.PayModeCode != "M" || Condition.MemberPay != "Y") return true;
    return Cents(NumberOr0(Condition.MemberBalance)) >= Cents(Condition.Amount);
}

void TSaleTicketCoreImpl::GetGroupMaxSaleMoney(const std::string& CreateGroup) {
    groupMaxSaleMoney_.Load(module_.cdsGroupMaxSaleMoney,
                            {"NodeCode", "GroupCode", "GroupName", "ActualSaleMoney", "MaxSaleMoney",
                             "CreateUser", "CreateUserName", "CreateTime", "GroupOwnerCode", "CreateGroup",
                             "CreateGroupName"},
                            {SqlFormat("NodeCode = '%s'", {context_.NodeCode()}),
                             SqlFormat("GroupCode = '%s'", {context_.GroupCode()}),
                             SqlFormat("CreateGroup = '%s'", {CreateGroup})},
                            ContextText());
}

bool TSaleTicketCoreImpl::NeedCountGroupMaxSaleMoney(const std::string& ProductCode) {
    TClientDataSet rows;
    rows.SetData(Query(SqlFormat(" select * from KAV_GROUPMAXSALEMONY_PRODUCTSET where  NodeCode = '%s' and "
                                 "ProductCode = '%s' and GroupCode = '%s'",
                                 {context_.NodeCode(), ProductCode, context_.GroupCode()}))
                     .ByteArrayView());
    for (rows.First(); !rows.Eof(); rows.Next())
        if (rows.FieldByName("Style").AsString() == "2") return false;
    return true;
}

bool TSaleTicketCoreImpl::CheckMaxSaleMoney(double Amount) {
    TClientDataSet& group = module_.cdsGroupMaxSaleMoney;
    if (!group.Active() || group.IsEmpty()) return true;
    return groupMaxSaleMoney_.Check(context_.NodeCode(), group.FieldByName("CreateGroup").AsString(), Amount,
                                    ContextText());
}

bool TSaleTicketCoreImpl::MoreThanGroupMaxSaleMoney(const std::string& Context,
                                                    const std::string& CreateGroup, double Amount) {
    LoadContext(Context);
    GetGroupMaxSaleMoney(CreateGroup);
    if (CheckMaxSaleMoney(Amount)) return false;
    ShowPromptMessage("不能顾客取票，原因如下：销售金额不能超过代理点最高售票金额！", "操作提示");
    return true;
}

void TSaleTicketCoreImpl::AccountGroupActualSaleMoney(double Amount) {
    TClientDataSet& group = module_.cdsGroupMaxSaleMoney;
    if (!group.Active() || group.IsEmpty()) return;
    group.Edit();
    TField& actual = group.FieldByName("ActualSaleMoney");
    actual.SetAsFloat(actual.AsFloat() + Amount);
    group.Post();
}

void TSaleTicketCoreImpl::FillAccount(const std::string& OrderCode, const std::string& PayModeCode,
                                      const std::string& CreditCardCode, double Amount) {
    module_.ClearAccount();
    module_.cdsAccount.AppendRecord(
        {context_.NodeCode(), 0, OrderCode, PayModeCode, FieldValue(), CreditCardCode, Amount});
}

bool TSaleTicketCoreImpl::SetClientInfo(const std::string& Context, const std::string& ProductCode,
                                        const std::vector<std::string>& CustomerData,
                                        const std::string& UserRegType, const std::string& OrderCode) {
    if (UserRegType != "O" && UserRegType != "S") return true;
    LoadContext(Context);
    if (!idTypes_) idTypes_ = GetIDTypeBriefData(Context);

    TClientInfoRegistration registration;
    registration.userRegType = UserRegType;
    pt_SeatInfoList().GetSeatCodes(registration.seatCodes);
    registration.context = Context;
    registration.nodeCode = context_.NodeCode();
    registration.orderCode = OrderCode;
    registration.productCode = ProductCode;

    std::string caption = "对应订单的客户资料登记";
    if (UserRegType == "S") {
        // One person per seat of the order: a sale of only some of its seats would leave seats without.
        TClientDataSet orderSeats;
        orderSeats.SetData(foreBook_.GetForeBookSeat(ContextText(), OrderCode).ByteArrayView());
        int missing = 0;
        for (orderSeats.First(); !orderSeats.Eof(); orderSeats.Next())
            missing += !pt_SeatInfoList().Find(orderSeats.FieldByName("SEATCODE").AsString());
        if (missing > 0 || registration.seatCodes.empty()) {
            ShowPromptMessage("订单 " + OrderCode + " 有 " + std::to_string(orderSeats.RecordCount()) +
                                  " 个座位，须逐座登记客户资料，但本次只有 " +
                                  std::to_string(registration.seatCodes.size()) +
                                  " 个座位，请选择订单的全部座位",
                              "操作提示");
            return false;
        }
        caption = "对应座位的客户资料登记---共 " + std::to_string(registration.seatCodes.size()) +
                  " 位，已经登记 0 位";
    }

    TUIClientInfoShowByClientTicket window(
        std::move(registration), *idTypes_,
        [this](const std::string& context, const Variant& rows) { return UpdateClientInfo(context, rows); },
        QApplication::activeWindow());
    window.AppendCustomer(CustomerRow(CustomerData));
    window.setWindowTitle(QString::fromStdString(caption));
    // The seller types here in the middle of a busy step: the arrow, not the hourglass.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const bool registered = window.exec() == QDialog::Accepted;
    QApplication::restoreOverrideCursor();
    if (!registered) window.cdsClientInfoBrief.CancelUpdates();
    return registered;
}

TSaleAccount_Result TSaleTicketCoreImpl::SaleAccount_CNOH(const std::string& Context,
                                                          const TSaleAccountCondition& Condition,
                                                          const std::string& GroupCode,
                                                          const std::vector<std::string>& CustomerData) {
    try {
        LoadContext(Context);
    } catch (const std::exception& e) {
        SetLastSaleCoreErrorMsg(e.what());
        return R_SA_UNKNOWERROR;
    }
    return SaleAccount(Condition, GroupCode, CustomerData, nullptr);
}

TSaleAccount_Result TSaleTicketCoreImpl::SaleAccount_BL(const std::string& Context,
                                                        const TSaleAccountCondition& Condition,
                                                        const std::string& GroupCode,
                                                        const std::vector<std::string>& CustomerData,
                                                        const Variant& PayModeData) {
    try {
        LoadContext(Context);
    } catch (const std::exception& e) {
        SetLastSaleCoreErrorMsg(e.what());
        return R_SA_UNKNOWERROR;
    }
    return SaleAccount(Condition, GroupCode, CustomerData, &PayModeData);
}

TSaleAccount_Result TSaleTicketCoreImpl::SaleAccount(const TSaleAccountCondition& Condition,
                                                     const std::string& GroupCode,
                                                     const std::vector<std::string>& CustomerData,
                                                     const Variant* PayModeData) {
    TSaleAccount_Result result = R_SA_OK;
    try {
        const std::string node = context_.NodeCode();
        const bool counts = NeedCountGroupMaxSaleMoney(Condition.ProductCode);
        if (counts && !groupMaxSaleMoney_.Check(node, GroupCode, Condition.Amount, ContextText()))
            result = R_SA_OVERGROUPMAXSALEMONEY;
        if (node != "21" && node != "11" && !CheckMemberMoneyEnough(Condition))
            result = R_SA_CHECKMEMBERMONEYFAILED;
        if (!SetClientInfo(ContextText(), Condition.ProductCode, CustomerData, Condition.UserRegType,
                           Condition.OrderCode))
            result = R_SA_POSTCLIENTINFOFAILED;
        if (result != R_SA_OK) return result;

        GetGroupMaxSaleMoney(Condition.CreateGroup);
        if (counts) AccountGroupActualSaleMoney(Condition.Amount);
        FillAccount(Condition.OrderCode, Condition.PayModeCode, Condition.CreditCardCode, Condition.Amount);
        if (PayModeData) {
            TClientDataSet payModes;
            payModes.SetData(PayModeData->ByteArrayView());
            for (payModes.First(); !payModes.Eof(); payModes.Next())
                module_.cdsPayModeMoney.AppendRecord({node, Condition.ProductCode, Condition.OrderCode,
                                                      payModes.FieldByName("PayModeCode").AsString(),
                                                      payModes.FieldByName("PayMoney").AsFloat(),
                                                      payModes.FieldByName("Remark").AsString()});
        }
        TContextText params;
        params.SetValue("OrderCode", Condition.OrderCode);
        params.SetValue("IsNeedCharge", Condition.PayModeCode);
        params.SetValue("MemberCard", Condition.MemberCard);
        params.SetValue("PassWord", Condition.MemberPassword);
        params.SetValue("ISPRINT", "Y");
        params.SetValue("OrderStatus", Condition.OrderStatus);

        const Variant account = Variant::ByteArray(module_.cdsAccount.Data());
        const Variant group = Variant::ByteArray(module_.cdsGroupMaxSaleMoney.Data());
        const std::int32_t answer =
            PayModeData ? foreBook_.ForeBookAccount_BL(ContextText(), params.Format(), account, group,
                                                       Variant::ByteArray(module_.cdsPayModeMoney.Data()))
                        : foreBook_.MemberForeBookAccount(ContextText(), params.Format(), account, group);
        if (answer != 1) {
            module_.cdsAccount.CancelUpdates();
            module_.cdsGroupMaxSaleMoney.CancelUpdates();
            return R_SA_ACCOUNTFAILED;
        }
        module_.cdsAccount.MergeChangeLog();
        module_.cdsGroupMaxSaleMoney.MergeChangeLog();
        BeginSale(Condition.OrderCode);
        return R_SA_OK;
    } catch (const std::exception& e) {
        SetLastSaleCoreErrorMsg(e.what());
        if (module_.cdsGroupMaxSaleMoney.Active()) module_.cdsGroupMaxSaleMoney.CancelUpdates();
        return R_SA_UNKNOWERROR;
    }
}

void TSaleTicketCoreImpl::BeginSale(const std::string& OrderCode) {
    if (OrderCode == saleOrderCode_) return; // accounted again (a collection): the same sale goes on
    saleOrderCode_ = OrderCode;
    doubtfulSeats_.clear();
    printedSeats_.clear();
}

void TSaleTicketCoreImpl::KeepCollectedOrder(const Tpt_OrderInfo& Order) {
    TClientDataSet& copy = module_.TempcdsOrder;
    copy.EmptyDataSet();
    copy.Append();
    copy.FieldByName("CREATETIME").SetAsDateTime(Order.CreateTime);
    copy.FieldByName("PRICELEVEL").SetAsString(Order.PriceLevel);
    copy.FieldByName("PRICE").SetAsString(Order.Price);
    copy.FieldByName("SEATCOUNT").SetAsString(Order.SeatCount);
    copy.FieldByName("RECEIVABLES").SetAsFloat(Order.Receivables);
    copy.FieldByName("CLIENTLEVEL").SetAsString(Order.ClientLevel);
    copy.FieldByName("CNAME").SetAsString(Order.CName);
    copy.FieldByName("TEL").SetAsString(Order.Tel);
    copy.FieldByName("DISCOUNT").SetAsString(Order.Discount);
    copy.FieldByName("ORDERCODE").SetAsString(Order.OrderCode);
    copy.FieldByName("CREATEUSER").SetAsString(Order.CreateUser);
    copy.FieldByName("ORDERSTATUS").SetAsString(Order.OrderStatus);
    copy.FieldByName("PAYEE").SetAsString(Order.Payee);
    copy.FieldByName("GATHERINGTIME").SetAsDateTime(Order.GatheringTime);
    copy.FieldByName("PRODUCTCODE").SetAsString(Order.ProductCode);
    copy.FieldByName("SALECLASSCODE").SetAsString(Order.SaleClassCode);
    copy.FieldByName("ISGIFT").SetAsString(Order.IsGift);
    copy.Post();
    // The server has charged the order; a local copy that cannot be written must not undo the sale.
    try {
        copy.SaveToFile(kCollectedOrderFile);
    } catch (const std::exception& e) {
        qWarning("订单 %s 已收款，但本地副本 %s 无法保存: %s", Order.OrderCode.c_str(), kCollectedOrderFile,
                 e.what());
    }
    copy.EmptyDataSet();
}

bool TSaleTicketCoreImpl::ForeBookAccount(const std::string& Context, Tpt_OrderInfoList& Orders,
                                          const std::string& GroupCode) {
    if (Orders.Empty()) return false;
    const Tpt_OrderInfo& order = Orders.First();
    try {
        LoadContext(Context);
        // A state set for another order says nothing about this one.
        if (accountStateOrder_ != order.OrderCode) {
            accountStateOrder_ = order.OrderCode;
            accountState_ = OptNotAccount;
        }
        if (accountState_ == OptAccountFail && !AccountFail(Context, order.OrderCode))
            accountState_ = OptAccountSuccess;
        if (accountState_ == OptAccountSuccess) return true;

        if (MoreThanGroupMaxSaleMoney(Context, GroupCode, order.Receivables)) return false;
        if (order.OrderStatus != "B") {
            ShowPromptMessage("该订单已被其他人打印出票", "操作提示");
            return false;
        }
        if (!SetClientInfo(Context, order.ProductCode, {}, order.UserRegType, order.OrderCode)) return false;

        FillAccount(order.OrderCode, "X", {}, order.Receivables);
        AccountGroupActualSaleMoney(order.Receivables);
        if (!foreBook_.NewForeBookAccount(ContextText(), order.OrderCode,
                                          Variant::ByteArray(module_.cdsAccount.Data()),
                                          Variant::ByteArray(module_.cdsGroupMaxSaleMoney.Data()))) {
            module_.cdsAccount.CancelUpdates();
            module_.cdsGroupMaxSaleMoney.CancelUpdates();
            ShowErrorMessage("收款出错！", "错误");
            return false;
        }
        module_.cdsAccount.MergeChangeLog();
        module_.cdsGroupMaxSaleMoney.MergeChangeLog();
        BeginSale(order.OrderCode);
        accountState_ = OptAccountSuccess;
        KeepCollectedOrder(order);
        return true;
    } catch (const std::exception& e) {
        // The server refuses with a reason (already paid, seats released, ...): the seller needs it.
        SetLastSaleCoreErrorMsg(e.what());
        if (module_.cdsGroupMaxSaleMoney.Active()) module_.cdsGroupMaxSaleMoney.CancelUpdates();
        ShowErrorMessage(std::string("收款出错！\r\n") + e.what(), "错误");
        return false;
    }
}

} // namespace kav
