#pragma once
// TUIOrderHandlerProp ("订单取票"): where the seller takes the money for one order and prints its
// tickets. It shows the order, its customer and seats; the seller splits the payment over one or more
// pay modes (one line each: pay mode, amount, remark; a credit charge G names its company), and
// "收款出票" checks the pay mode (a member card is checked with its password by the server), has the
// sale core account the order with those lines and print its tickets with the progress shown, prints
// the member's receipt after a member card paid, and posts the purchase to the member system when the
// site wants it.
//
// The payment must add up to the order's receivable to the cent. An order paid before (status R: paid
// on line, or paid here before its tickets came out) is collected without a second payment: its paid
// line is shown and cannot be changed, and nothing is charged. An order without member (member id
// empty or "-1") cannot pay by member card.
//
// The window closes with OK once the order was accounted (the main window then redraws the order,
// which this window changed in place: paid, or collected once every ticket is out); with Cancel when
// the seller closed it or the accounting was refused. It cannot close while printing.
//
// Keys: Enter in the amount field adds the line, Delete on a line removes it, F5 (or Enter elsewhere)
// settles and prints, F6 edits the customer, Esc closes.
//
// Threading: GUI thread only.

#include "orderhandler/odrhmember.h"
#include "orderhandler/odrhorderwindows.h"
#include "orderhandler/odrhpayment.h"
#include "orderhandler/uiprintingdialog.h"
#include "salecore/usaleticketcoreintf.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;
class QTreeWidget;

namespace kav {
class TKavTicketFace;
}

namespace kav::orderhandler {

class TInfoLabels;
class TPrintProgress;

class TUIOrderHandlerProp final : public TPrintingDialog {
    Q_OBJECT

public:
    // `order` must outlive the window. `opener` is the order window whose customer and shipping-list
    // actions this window offers too (null: not offered).
    TUIOrderHandlerProp(TodrHOrderInfoRecord& order, const TOrderWindowSession& session, QWidget* opener);
    ~TUIOrderHandlerProp() override;

    // The seller chose a pay mode (by index of the combo): the amount still to pay is proposed.
    void ChoosePayMode(int index);
    // "...": adds a line of the chosen pay mode with the typed amount and remark.
    void FocusNextStep();
    void AddPayment();
    // "删除该支付": removes the current line.
    void DeletePayment();
    // "收款出票".
    void Print();
    void ModifyCustomerInfo();

    const TPaymentLines& Payments() const noexcept { return lines_; }
    bool OrderWasPaid() const noexcept { return paidBefore_; }
    TPrintProgress& Progress() const noexcept { return *progress_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout(QWidget* opener);
    void BuildActions();
    void BuildRules(QWidget* opener);
    void InitializeUIElement();
    void PayModeChanged();
    void ShowPayments();
    void ProposeAmount();
    std::string ChosenPayModeCode() const;
    std::string ChosenCreditCompany() const;
    // The pay mode the order is settled with: the lines', or with no line (nothing to pay) the chosen one.
    std::string SettlePayModeCode() const;
    std::string SettlePayModeName() const;
    QString MemberLock(const std::string& payModeCode) const;
    TSaleAccountCondition AccountCondition() const;

    TodrHOrderInfoRecord& order_;
    TOrderWindowSession session_;
    std::unique_ptr<TKavTicketFace> face_;
    TPaymentLines lines_;
    std::vector<TPayModeItem> payModes_;
    std::optional<TOrderMemberInfoItem> member_;
    std::string swipeFlag_;
    bool paidBefore_ = false;

    std::map<std::string, QAction*> actions_;
    TInfoLabels* orderLabels_ = nullptr;
    TInfoLabels* customerLabels_ = nullptr;
    QLabel* totalPay_ = nullptr;
    QComboBox* payMode_ = nullptr;
    QLineEdit* realPrice_ = nullptr;
    QLineEdit* payRemark_ = nullptr;
    QLineEdit* customizeRemarks_ = nullptr;
    QTableWidget* payGrid_ = nullptr;
    QLabel* creditLabel_ = nullptr;
    QComboBox* creditCompany_ = nullptr;
    QTreeWidget* seatList_ = nullptr;
    TPrintProgress* progress_ = nullptr;
};

} // namespace kav::orderhandler
