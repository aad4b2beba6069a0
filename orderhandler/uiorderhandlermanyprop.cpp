#include "orderhandler/uiorderhandlermanyprop.h"

#include "dialogs/kavdialog.h"
#include "orderhandler/odrhdataprovider.h"
#include "orderhandler/odrhgridtext.h"
#include "orderhandler/odrhinfolabels.h"
#include "orderhandler/odrhmemberreceipt.h"
#include "orderhandler/odrhpackage.h"
#include "orderhandler/odrhpaymodecheck.h"
#include "orderhandler/odrhpayment.h"
#include "orderhandler/odrhprintprogress.h"
#include "orderhandler/odrhseattree.h"
#include "orderhandler/odrhticketsale.h"
#include "orderhandler/uiactionbutton.h"
#include "orderhandler/uimodifycustomerinfo.h"
#include "orderhandler/uiorderpropparts.h"
#include "platform/core/money.h"
#include "platform/widgets/actionupdater.h"
#include "platform/widgets/hourglass.h"
#include "platform/widgets/qtext.h"
#include "platform/widgets/ticketface.h"

#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kav::orderhandler {

namespace {

constexpr const char* kPaidStatus = "R";

QGroupBox* Section(const QString& title, QWidget* content, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(content);
    return box;
}

} // namespace

TUIOrderHandlerManyProp::TUIOrderHandlerManyProp(TodrHOrderInfoRecord& selected, TodrHOrderInfoList& orders,
                                                 int seatTotal, double receivablesTotal,
                                                 const TOrderWindowSession& session, QWidget* opener)
    : TPrintingDialog(opener), selected_(selected), orders_(orders), session_(session),
      face_(std::make_unique<TKavTicketFace>()) {
    setObjectName(QStringLiteral("TUIOrderHandlerManyProp"));
    BuildActions(opener);
    BuildLayout(opener, seatTotal, receivablesTotal);

    std::string caption = "订单取票-多订单 " + selected_.productName.str();
    if (selected_.productHappenTime != 0) caption += " " + FormatMinutes(selected_.productHappenTime);
    setWindowTitle(Q(caption));
    customerLabels_->Show(CustomerInfoItems(selected_));
    FillSeatTree(*seatList_, selected_.GetSeats(), true);
    FillOrders();
    payModes_ = odrHDataProvider().GetPayModes(selected_.orderFrom.code);
    FillPayModeCombo(*payMode_, payModes_);
    if (!payModes_.empty())
        payMode_->setCurrentIndex(selected_.isFeeMember == "Y" ? TodrHDataProvider::GetFeeMemberPayModes(payModes_) : 0);
    PayModeChanged();
    UpdateActions();
}

TUIOrderHandlerManyProp::~TUIOrderHandlerManyProp() = default;

void TUIOrderHandlerManyProp::BuildActions(QWidget* opener) {
    QAction* print = MakeDialogAction(this, "act_Print", QStringLiteral("收款出票"), Qt::Key_F5);
    connect(print, &QAction::triggered, this, &TUIOrderHandlerManyProp::Print);
    QAction* close = MakeDialogAction(this, "act_close", QStringLiteral("关闭"));
    connect(close, &QAction::triggered, this, &TUIOrderHandlerManyProp::reject);
    QAction* customer =
        MakeDialogAction(this, "act_ModifiyOrderCustomerInfo", QStringLiteral("修改顾客信息"), Qt::Key_F6);
    connect(customer, &QAction::triggered, this, &TUIOrderHandlerManyProp::ModifyCustomerInfo);
    actions_ = {{"act_Print", print}, {"act_close", close}, {"act_ModifiyOrderCustomerInfo", customer}};

    Updater().AddRule(print, [this] { return PrintingRule(); });
    Updater().AddRule(close, [this] { return PrintingRule(); });
    QAction* openerCustomer = OpenerAction(opener, "act_ModifiyOrderCustomerInfo");
    Updater().AddRule(customer, [this, openerCustomer] { return CustomerInfoRule(openerCustomer, Printing()); });
}

void TUIOrderHandlerManyProp::BuildLayout(QWidget* opener, int seatTotal, double receivablesTotal) {
    auto* header = new QLabel(QStringLiteral("请操作员仔细确认以下信息，再出票！"), this);
    header->setObjectName(QStringLiteral("lbHeader"));
    QFont bold = header->font();
    bold.setBold(true);
    header->setFont(bold);

    orderList_ = new QTreeWidget(this);
    orderList_->setObjectName(QStringLiteral("vstOrder"));
    orderList_->setHeaderLabels({QStringLiteral("订单编号"), QStringLiteral("订单状态"), QStringLiteral("订单来源"),
                                 QStringLiteral("金额"), QStringLiteral("张数"), QStringLiteral("销售政策"),
                                 QStringLiteral("演出名称"), QStringLiteral("预定时间")});
    orderList_->setRootIsDecorated(false);
    orderList_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(orderList_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { ShowOrderSeats(item ? orderList_->indexOfTopLevelItem(item) : -1); });

    auto* sales = new QWidget(this);
    auto* salesLayout = new QFormLayout(sales);
    auto* seats = new QLabel(QStringLiteral("总张数：%1张").arg(seatTotal), sales);
    seats->setObjectName(QStringLiteral("lbSeatTotal"));
    auto* amount = new QLabel(QStringLiteral("总金额：") + Q(MoneyText(Cents(receivablesTotal)) + "元"), sales);
    amount->setObjectName(QStringLiteral("lbReceivablesTotal"));
    payMode_ = new QComboBox(sales);
    payMode_->setObjectName(QStringLiteral("cbPayMode"));
    creditLabel_ = new QLabel(QStringLiteral("挂账单位："), sales);
    creditCompany_ = new QComboBox(sales);
    creditCompany_->setObjectName(QStringLiteral("DBLCB_CreditCompany"));
    salesLayout->addRow(seats, amount);
    salesLayout->addRow(QStringLiteral("支付方式："), payMode_);
    salesLayout->addRow(creditLabel_, creditCompany_);
    connect(payMode_, &QComboBox::currentIndexChanged, this, &TUIOrderHandlerManyProp::PayModeChanged);

    customerLabels_ = new TInfoLabels(2, this);
    seatList_ = MakeSeatTree(this, "vstSeatInfo", true);
    progress_ = new TPrintProgress(this);

    QHBoxLayout* buttons = PropertiesButtons(this, opener, actions_.at("act_ModifiyOrderCustomerInfo"),
                                             actions_.at("act_Print"), actions_.at("act_close"));

    auto* left = new QVBoxLayout;
    left->addWidget(Section(QStringLiteral("订单信息"), orderList_, this), 1);
    left->addWidget(Section(QStringLiteral("销售信息"), sales, this));
    left->addWidget(Section(QStringLiteral("顾客信息"), customerLabels_, this));
    auto* right = new QVBoxLayout;
    right->addWidget(Section(QStringLiteral("座位信息"), seatList_, this), 1);
    right->addWidget(progress_);
    right->addLayout(buttons);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 3);
    columns->addLayout(right, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(header);
    layout->addLayout(columns, 1);
    resize(1000, 640);
}

void TUIOrderHandlerManyProp::FillOrders() {
    const QSignalBlocker quiet(orderList_);
    orderList_->clear();
    for (const auto& order : orders_) {
        auto* row = new QTreeWidgetItem(
            {Q(order->orderCode.str()), Q(order->orderStatus.name), Q(order->orderFrom.name),
             Q(MoneyText(Cents(order->receivables)) + "元"), Q(std::to_string(order->seatCount) + "张"),
             Q(order->saleClassName.str()), Q(order->productName.str()), Q(FormatDateIso(order->orderTime))});
        orderList_->addTopLevelItem(row);
        // The list starts on the order chosen in the order window, whose seats are shown.
        if (order->orderCode == selected_.orderCode) orderList_->setCurrentItem(row);
    }
}

void TUIOrderHandlerManyProp::ShowOrderSeats(int row) {
    if (row < 0 || row >= orders_.Count()) return;
    try {
        FillSeatTree(*seatList_, orders_.Items(row).GetSeats(), true);
    } catch (const std::exception&) {
        // the seats of another order are only a look: the list stays as it was
    }
}

std::string TUIOrderHandlerManyProp::ChosenPayModeCode() const {
    return ChosenCode(*payMode_);
}

std::string TUIOrderHandlerManyProp::ChosenCreditCompany() const {
    return ChosenPayModeCode() == kCreditPayMode ? ChosenCode(*creditCompany_) : std::string();
}

void TUIOrderHandlerManyProp::PayModeChanged() {
    ShowCreditCompanies(*creditCompany_, *creditLabel_, ChosenPayModeCode());
}

void TUIOrderHandlerManyProp::ChoosePayMode(int index) {
    payMode_->setCurrentIndex(index);
}

void TUIOrderHandlerManyProp::Print() {
    if (Printing()) return;
    THourglass hourglass;
    TCAMemberSys memberSys;
    const TPayModeCheckRequest request{&selected_, ChosenPayModeCode(), ChosenCreditCompany(),
                                       session_.memberConnectUmnByDB, TOrderWindowKind::ManyOrders};
    const TPayModeCheck check = CheckPayModeSet(this, memberSys, odrHContext(), request);
    if (!check.passed) return;
    for (const auto& order : orders_)
        if (order->orderStatus.code == kPaidStatus) CollectOrder(*order, check.member);
    ShowPromptMessage(progress_->Prompt().toStdString(), "操作提示");
    done(QDialog::Accepted);
}

void TUIOrderHandlerManyProp::CollectOrder(TodrHOrderInfoRecord& order, const std::optional<TOrderMemberInfoItem>& member) {
    const std::string payModeCode = ChosenPayModeCode();
    TTicketSale sale;
    sale.order = &order;
    sale.condition.OrderCode = order.orderCode.str();
    sale.condition.PayModeCode = payModeCode;
    sale.condition.CreditCardCode = ChosenCreditCompany();
    sale.condition.CreateGroup = order.productOwnerGroup.str();
    sale.condition.ProductCode = order.productCode.str();
    sale.condition.UserRegType = order.userRegType.str();
    sale.condition.MemberID = order.memberId.str();
    // Paid orders are only collected here: no card is charged.
    sale.condition.MemberPay = "N";
    sale.condition.MemberBalance = GetMemberBalance(order, member ? &*member : nullptr);
    // The server refuses the order when its state changed since it was listed (another seller).
    sale.condition.OrderStatus = order.orderStatus.code;
    sale.condition.Amount = order.receivables;
    sale.clientInfo = ClientInfoLines(order);
    sale.promptWhenDone = false;

    SetPrinting(true);
    TTicketSaleResult result = TTicketSaleResult::NotAccounted;
    try {
        FillSeatTree(*seatList_, order.GetSeats(), true);
        result = SellOrderTickets(odrHSaleCore(), odrHContext(), sale, *progress_, *face_, this);
    } catch (const std::exception& e) {
        ShowErrorMessage("订单 " + order.orderCode.str() + "：" + e.what(), "错误");
    }
    SetPrinting(false);
    if (result == TTicketSaleResult::NotAccounted) return;
    if (payModeCode == kMemberCardPayMode && member && member->swipeFlag == "true")
        PrintOrderMemberReceipt(order, *member, ManyOrdersReceiptLayout(odrHContext().Owner().GetOwnerCode()), 0,
                                kManyOrdersReceiptPrinter,
                                std::string("打开打印机") + kManyOrdersReceiptPrinter + "失败！");
    if (result == TTicketSaleResult::Printed) {
        const std::string payModeName = payMode_->currentText().toStdString();
        PostOrderPurchase(order, payModeCode, payModeName,
                          session_.memberConnectUmnByDB == kMemberModeByServer ? kMemberModeByServer : kMemberModeBySoap);
    }
}

void TUIOrderHandlerManyProp::ModifyCustomerInfo() {
    if (ShowModifyCustomerInfoDialog(selected_, odrHDataProvider(), this)) customerLabels_->Show(CustomerInfoItems(selected_));
}

} // namespace kav::orderhandler
