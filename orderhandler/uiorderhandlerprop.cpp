#include "orderhandler/uiorderhandlerprop.h"

#include "dialogs/kavdialog.h"
#include "orderhandler/odrhdataprovider.h"
#include "orderhandler/odrhgridtext.h"
#include "orderhandler/odrhinfolabels.h"
#include "orderhandler/odrhmemberreceipt.h"
#include "orderhandler/odrhpackage.h"
#include "orderhandler/odrhpaymodecheck.h"
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
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kav::orderhandler {

namespace {

constexpr int kPayRemarkLength = 10;
constexpr int kCustomizeRemarksLength = 20;

} // namespace

TUIOrderHandlerProp::TUIOrderHandlerProp(TodrHOrderInfoRecord& order, const TOrderWindowSession& session,
                                         QWidget* opener)
    : TPrintingDialog(opener), order_(order), session_(session), face_(std::make_unique<TKavTicketFace>()) {
    setObjectName(QStringLiteral("TUIOrderHandlerProp"));
    BuildActions();
    BuildLayout(opener);
    BuildRules(opener);
    InitializeUIElement();
    UpdateActions();
}

TUIOrderHandlerProp::~TUIOrderHandlerProp() = default;

void TUIOrderHandlerProp::BuildActions() {
    const auto make = [this](const char* name, const QString& caption, const QKeySequence& key, auto run) {
        QAction* action = MakeDialogAction(this, name, caption, key);
        connect(action, &QAction::triggered, this, run);
        actions_[name] = action;
        return action;
    };
    make("act_Print", QStringLiteral("收款出票"), Qt::Key_F5, &TUIOrderHandlerProp::Print);
    make("act_Close", QStringLiteral("关闭"), {}, &TUIOrderHandlerProp::reject);
    make("act_ModifiyOrderCustomerInfo", QStringLiteral("修改顾客信息"), Qt::Key_F6,
         &TUIOrderHandlerProp::ModifyCustomerInfo);
    make("act_DelPayModeMoney", QStringLiteral("删除该支付"), {}, &TUIOrderHandlerProp::DeletePayment);
    make("act_AddPayMode", QStringLiteral("..."), {}, &TUIOrderHandlerProp::AddPayment)
        ->setToolTip(QStringLiteral("添加该支付 (Enter)"));
}

void TUIOrderHandlerProp::BuildRules(QWidget* opener) {
    QAction* print = actions_.at("act_Print");
    QAction* close = actions_.at("act_Close");
    QAction* customer = actions_.at("act_ModifiyOrderCustomerInfo");
    QAction* remove = actions_.at("act_DelPayModeMoney");
    QAction* add = actions_.at("act_AddPayMode");
    Updater().AddRule(print, [this] {
        if (Printing()) return PrintingRule();
        return MemberLock(SettlePayModeCode());
    });
    Updater().AddRule(close, [this] { return PrintingRule(); });
    QAction* openerCustomer = OpenerAction(opener, "act_ModifiyOrderCustomerInfo");
    Updater().AddRule(customer, [this, openerCustomer] { return CustomerInfoRule(openerCustomer, Printing()); });
    Updater().AddRule(remove, [this] {
        if (paidBefore_) return QStringLiteral("该订单已支付，支付不能修改");
        return lines_.Empty() ? QStringLiteral("没有支付可删除") : QString();
    });
    Updater().AddRule(add, [this] {
        if (paidBefore_) return QStringLiteral("该订单已支付，支付不能修改");
        return MemberLock(ChosenPayModeCode());
    });
}

void TUIOrderHandlerProp::BuildLayout(QWidget* opener) {
    orderLabels_ = new TInfoLabels(2, this);
    customerLabels_ = new TInfoLabels(2, this);

    totalPay_ = new QLabel(this);
    totalPay_->setObjectName(QStringLiteral("lbTotalPay"));
    payMode_ = new QComboBox(this);
    payMode_->setObjectName(QStringLiteral("cbPayMode"));
    realPrice_ = new QLineEdit(this);
    realPrice_->setObjectName(QStringLiteral("edtRealPrice"));
    realPrice_->installEventFilter(this);
    auto* addButton = new QToolButton(this);
    addButton->setObjectName(QStringLiteral("btnPayOK"));
    // A tool button shows its action's icon text, from which Qt strips a trailing "...", so the caption
    // would be empty.
    actions_.at("act_AddPayMode")->setIconText(QStringLiteral("..."));
    addButton->setDefaultAction(actions_.at("act_AddPayMode"));
    addButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    payRemark_ = new QLineEdit(this);
    payRemark_->setObjectName(QStringLiteral("PayRemark"));
    payRemark_->setMaxLength(kPayRemarkLength);
    customizeRemarks_ = new QLineEdit(this);
    customizeRemarks_->setObjectName(QStringLiteral("edtCustomizeRemarks"));
    customizeRemarks_->setMaxLength(kCustomizeRemarksLength);
    creditLabel_ = new QLabel(QStringLiteral("挂账单位："), this);
    creditCompany_ = new QComboBox(this);
    creditCompany_->setObjectName(QStringLiteral("DBLCB_CreditCompany"));

    payGrid_ = new QTableWidget(0, 3, this);
    payGrid_->setObjectName(QStringLiteral("dbgPayModeMoney"));
    payGrid_->setHorizontalHeaderLabels({QStringLiteral("支付方式"), QStringLiteral("支付金额"), QStringLiteral("备注")});
    payGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    payGrid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    payGrid_->setSelectionMode(QAbstractItemView::SingleSelection);
    payGrid_->verticalHeader()->hide();
    payGrid_->horizontalHeader()->setStretchLastSection(true);
    payGrid_->setContextMenuPolicy(Qt::ActionsContextMenu);
    payGrid_->addAction(actions_.at("act_DelPayModeMoney"));
    actions_.at("act_DelPayModeMoney")->setShortcut(Qt::Key_Delete);
    actions_.at("act_DelPayModeMoney")->setShortcutContext(Qt::WidgetShortcut);
    payGrid_->setMinimumHeight(96);

    auto* payment = new QFormLayout;
    payment->addRow(QStringLiteral("支付金额："), totalPay_);
    payment->addRow(QStringLiteral("支付方式："), payMode_);
    auto* amount = new QHBoxLayout;
    amount->addWidget(realPrice_, 1);
    amount->addWidget(addButton);
    payment->addRow(QStringLiteral("实收金额："), amount);
    payment->addRow(creditLabel_, creditCompany_);
    payment->addRow(QStringLiteral("支付备注："), payRemark_);
    payment->addRow(QStringLiteral("自定义信息："), customizeRemarks_);

    auto* left = new QVBoxLayout;
    auto* orderBox = new QGroupBox(QStringLiteral("订单信息"), this);
    auto* orderLayout = new QVBoxLayout(orderBox);
    orderLayout->addWidget(orderLabels_);
    orderLayout->addWidget(customerLabels_);
    left->addWidget(orderBox);
    auto* payBox = new QGroupBox(QStringLiteral("收款"), this);
    auto* payLayout = new QVBoxLayout(payBox);
    payLayout->addLayout(payment);
    payLayout->addWidget(payGrid_);
    left->addWidget(payBox, 1);

    seatList_ = MakeSeatTree(this, "vstSeatInfo", false);
    progress_ = new TPrintProgress(this);
    QHBoxLayout* buttons = PropertiesButtons(this, opener, actions_.at("act_ModifiyOrderCustomerInfo"),
                                             actions_.at("act_Print"), actions_.at("act_Close"));
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("座位信息"), this));
    right->addWidget(seatList_, 1);
    right->addWidget(progress_);
    right->addLayout(buttons);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 3);
    layout->addLayout(right, 2);

    connect(payMode_, &QComboBox::currentIndexChanged, this, &TUIOrderHandlerProp::PayModeChanged);
    connect(payMode_, &QComboBox::activated, this, &TUIOrderHandlerProp::ChoosePayMode);
    setFixedSize(900, 600);
}

void TUIOrderHandlerProp::InitializeUIElement() {
    std::string caption = "订单取票 " + order_.productName.str();
    if (order_.productHappenTime != 0) caption += " " + FormatMinutes(order_.productHappenTime);
    setWindowTitle(Q(caption));
    orderLabels_->Show(OrderInfoItems(order_));
    customerLabels_->Show(CustomerInfoItems(order_));
    realPrice_->setText(Q(AmountText(ReceivableCents(order_.receivables))));
    FillSeatTree(*seatList_, order_.GetSeats(), false);

    payModes_ = odrHDataProvider().GetPayModes(order_.orderFrom.code);
    payMode_->setEnabled(true);
    FillPayModeCombo(*payMode_, payModes_);
    // A paid order is collected, not paid again: its payment stands as it was made.
    paidBefore_ = order_.orderStatus.code == "R";
    if (!payModes_.empty()) {
        int index = 0;
        if (paidBefore_) index = TodrHDataProvider::GetCurrentPayModes(order_.payModeCode.str(), payModes_);
        else if (order_.isFeeMember == "Y") index = TodrHDataProvider::GetFeeMemberPayModes(payModes_);
        payMode_->setCurrentIndex(index);
    }
    if (paidBefore_) {
        const std::string code = order_.payModeCode.str();
        std::string name = odrHDataProvider().GetPayModeDisplayName(order_.orderFrom.code, code);
        lines_.AddPaid({code, name.empty() ? code : name}, ReceivableCents(order_.receivables));
        payMode_->setEnabled(false);
        realPrice_->setEnabled(false);
        payRemark_->setEnabled(false);
        realPrice_->clear();
    }
    PayModeChanged();
    ShowPayments();
    FocusNextStep();
}

// The keyboard goes where the seller's next key belongs: the amount while something is left to pay
// (Enter adds the line), else the print button (Enter settles and prints).
void TUIOrderHandlerProp::FocusNextStep() {
    if (!paidBefore_ && RemainingCents(order_.receivables, lines_) != 0) {
        realPrice_->setFocus();
        realPrice_->selectAll();
    } else if (auto* print = findChild<QPushButton*>(QStringLiteral("btn_act_Print"))) {
        print->setFocus();
    }
}

std::string TUIOrderHandlerProp::ChosenPayModeCode() const {
    return ChosenCode(*payMode_);
}

std::string TUIOrderHandlerProp::ChosenCreditCompany() const {
    return ChosenPayModeCode() == kCreditPayMode ? ChosenCode(*creditCompany_) : std::string();
}

std::string TUIOrderHandlerProp::SettlePayModeCode() const {
    return lines_.Empty() ? ChosenPayModeCode() : lines_.PayModeCode();
}

std::string TUIOrderHandlerProp::SettlePayModeName() const {
    return lines_.Empty() ? payMode_->currentText().toStdString() : lines_.PayModeName();
}

QString TUIOrderHandlerProp::MemberLock(const std::string& payModeCode) const {
    if (payModeCode == kMemberCardPayMode && !IsMemberOrder(order_))
        return QStringLiteral("该订单没有会员，不能使用会员卡支付");
    return {};
}

void TUIOrderHandlerProp::PayModeChanged() {
    ShowCreditCompanies(*creditCompany_, *creditLabel_, ChosenPayModeCode());
    UpdateActions();
}

void TUIOrderHandlerProp::ChoosePayMode(int index) {
    if (index != payMode_->currentIndex()) payMode_->setCurrentIndex(index);
    ProposeAmount();
    payRemark_->clear();
}

void TUIOrderHandlerProp::ProposeAmount() {
    if (!paidBefore_) realPrice_->setText(Q(AmountText(RemainingCents(order_.receivables, lines_))));
}

void TUIOrderHandlerProp::AddPayment() {
    if (paidBefore_ || payMode_->currentIndex() < 0) return;
    if (const QString lock = MemberLock(ChosenPayModeCode()); !lock.isEmpty()) return;
    const TPayModeItem& payMode = payModes_.at(static_cast<std::size_t>(payMode_->currentIndex()));
    const TCreditCompanyItem company{ChosenCreditCompany(), creditCompany_->currentText().toStdString()};
    switch (lines_.Add(payMode, realPrice_->text().toStdString(), payRemark_->text().toStdString(), company)) {
    case TPaymentLines::TAddResult::Added:
        ShowPayments();
        ProposeAmount();
        payRemark_->clear();
        FocusNextStep();
        break;
    case TPaymentLines::TAddResult::Duplicate:
        ShowWarningMessage(payMode.name + " 支付重复，若要修改该支付金额请先删除！", "警告");
        break;
    case TPaymentLines::TAddResult::BadAmount:
        ShowWarningMessage("请输入正确金额！", "警告");
        break;
    case TPaymentLines::TAddResult::NoCompany:
        ShowPromptMessage("支付方式选择挂账，请选择挂账公司！", "操作提示");
        break;
    }
    UpdateActions();
}

void TUIOrderHandlerProp::DeletePayment() {
    if (paidBefore_) return;
    const int row = payGrid_->currentRow() >= 0 ? payGrid_->currentRow() : lines_.Count() - 1;
    lines_.Delete(row);
    ShowPayments();
    ProposeAmount();
    UpdateActions();
}

void TUIOrderHandlerProp::ShowPayments() {
    payGrid_->setRowCount(lines_.Count());
    for (int row = 0; row < lines_.Count(); ++row) {
        const TPaymentLine& line = lines_.Lines()[static_cast<std::size_t>(row)];
        std::string name = line.payModeName;
        if (!line.creditCompany.empty()) name += "(" + line.creditCompanyName + ")";
        auto* money = new QTableWidgetItem(Q(AmountText(line.cents)));
        money->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        payGrid_->setItem(row, 0, new QTableWidgetItem(Q(name)));
        payGrid_->setItem(row, 1, money);
        payGrid_->setItem(row, 2, new QTableWidgetItem(Q(paidBefore_ ? std::string("已支付") : line.remark)));
    }
    if (lines_.Count() > 0) payGrid_->selectRow(lines_.Count() - 1);
    totalPay_->setText(Q(AmountText(lines_.TotalCents()) + "元"));
}

TSaleAccountCondition TUIOrderHandlerProp::AccountCondition() const {
    TSaleAccountCondition c;
    c.OrderCode = order_.orderCode.str();
    c.PayModeCode = SettlePayModeCode();
    c.CreditCardCode = lines_.Empty() ? ChosenCreditCompany() : lines_.CreditCompany();
    c.CreateGroup = order_.productOwnerGroup.str();
    c.ProductCode = order_.productCode.str();
    c.UserRegType = order_.userRegType.str();
    c.MemberID = order_.memberId.str();
    // A paid order is only collected: its card is not charged again.
    c.MemberPay = paidBefore_ ? "N" : order_.isFeeMember.str();
    c.MemberBalance = GetMemberBalance(order_, member_ ? &*member_ : nullptr);
    c.MemberPassword = member_ ? member_->cardPassword : std::string();
    c.MemberCard = order_.memberCardNo.str();
    c.OrderStatus = order_.orderStatus.code;
    c.Amount = order_.receivables;
    return c;
}

void TUIOrderHandlerProp::Print() {
    if (Printing() || !MemberLock(SettlePayModeCode()).isEmpty()) return;
    THourglass hourglass;
    if (lines_.TotalCents() != ReceivableCents(order_.receivables)) {
        ShowPromptMessage("支付金额与应收金额不符，请检查！", "操作提示");
        return;
    }
    const std::string payModeCode = SettlePayModeCode();
    TCAMemberSys memberSys;
    if (!paidBefore_) {
        TPayModeCheckRequest request{&order_, payModeCode,
                                     lines_.Empty() ? ChosenCreditCompany() : lines_.CreditCompany(),
                                     session_.memberConnectUmnByDB, TOrderWindowKind::SingleOrder};
        TPayModeCheck check = CheckPayModeSet(this, memberSys, odrHContext(), request);
        if (!check.passed) return;
        member_ = std::move(check.member);
        swipeFlag_ = member_ ? member_->swipeFlag : std::string();
    }
    if (lines_.Count() >= 2 && lines_.Has(kMemberCardPayMode)) {
        ShowPromptMessage("若使用会员卡支付，不能选择多支付方式！", "操作提示");
        return;
    }

    TTicketSale sale;
    sale.order = &order_;
    sale.condition = AccountCondition();
    sale.clientInfo = ClientInfoLines(order_);
    sale.payModeData = lines_.Packet();
    sale.customText = customizeRemarks_->text().toStdString();
    SetPrinting(true);
    TTicketSaleResult result = TTicketSaleResult::NotAccounted;
    try {
        result = SellOrderTickets(odrHSaleCore(), odrHContext(), sale, *progress_, *face_, this);
    } catch (const std::exception& e) {
        // Before anything was charged (the order's seats could not be read): the seller may try again.
        SetPrinting(false);
        ShowErrorMessage(e.what(), "错误");
        return;
    }
    SetPrinting(false);
    if (result == TTicketSaleResult::NotAccounted) {
        done(QDialog::Rejected);
        return;
    }
    if (!paidBefore_ && payModeCode == kMemberCardPayMode && order_.isFeeMember == "Y" && member_)
        PrintOrderMemberReceipt(order_, *member_, OrderReceiptLayout(odrHContext().Owner().GetOwnerCode()),
                                ReceivableCents(order_.receivables), kReceiptPrinter, {});
    if (result == TTicketSaleResult::Printed)
        PostOrderPurchase(order_, payModeCode, SettlePayModeName(), session_.memberConnectUmnByDB);
    done(QDialog::Accepted);
}

void TUIOrderHandlerProp::ModifyCustomerInfo() {
    if (ShowModifyCustomerInfoDialog(order_, odrHDataProvider(), this)) customerLabels_->Show(CustomerInfoItems(order_));
}

bool TUIOrderHandlerProp::eventFilter(QObject* watched, QEvent* event) {
    // Enter after the amount adds the line; it must not reach the default button, which settles.
    if (watched == realPrice_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            actions_.at("act_AddPayMode")->trigger();
            return true;
        }
    }
    return TPrintingDialog::eventFilter(watched, event);
}

} // namespace kav::orderhandler
