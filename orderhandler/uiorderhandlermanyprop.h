#pragma once
// TUIOrderHandlerManyProp ("订单取票-多订单"): collects the paid orders of an exact search in one go
// with one pay mode. It shows the orders, their totals, the customer of the order chosen in the order
// window and the seats of the order clicked in its list. "收款出票" checks the pay mode once, then
// collects every order that is paid ("已支付"), one after the other: each through the sale core with
// its own status, so an order another seller handled meanwhile is refused by the server instead of
// being collected twice, and the next order goes on. Orders in any other state are left alone. A
// failure after an order was accounted opens the reconcile window for its seats still unprinted.
//
// The window works on copies of the orders; it closes with OK after "收款出票" (the order window then
// clears its list) and cannot close while printing.
//
// Keys: F5 (or Enter) collects and prints, F6 edits the customer, Esc closes.
//
// Threading: GUI thread only.

#include "orderhandler/odrhmember.h"
#include "orderhandler/odrhorderwindows.h"
#include "orderhandler/uiprintingdialog.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QTreeWidget;

namespace kav {
class TKavTicketFace;
}

namespace kav::orderhandler {

class TInfoLabels;
class TPrintProgress;

class TUIOrderHandlerManyProp final : public TPrintingDialog {
    Q_OBJECT

public:
    // `selected` (the order chosen in the order window) and `orders` must outlive the window.
    TUIOrderHandlerManyProp(TodrHOrderInfoRecord& selected, TodrHOrderInfoList& orders, int seatTotal,
                            double receivablesTotal, const TOrderWindowSession& session, QWidget* opener);
    ~TUIOrderHandlerManyProp() override;

    void ChoosePayMode(int index);
    // "收款出票".
    void Print();
    // The seats of the order in that row of the order list.
    void ShowOrderSeats(int row);
    void ModifyCustomerInfo();

    TPrintProgress& Progress() const noexcept { return *progress_; }

private:
    void BuildActions(QWidget* opener);
    void BuildLayout(QWidget* opener, int seatTotal, double receivablesTotal);
    void FillOrders();
    void PayModeChanged();
    std::string ChosenPayModeCode() const;
    std::string ChosenCreditCompany() const;
    void CollectOrder(TodrHOrderInfoRecord& order, const std::optional<TOrderMemberInfoItem>& member);

    TodrHOrderInfoRecord& selected_;
    TodrHOrderInfoList& orders_;
    TOrderWindowSession session_;
    std::unique_ptr<TKavTicketFace> face_;
    std::vector<TPayModeItem> payModes_;

    std::map<std::string, QAction*> actions_;
    QTreeWidget* orderList_ = nullptr;
    QTreeWidget* seatList_ = nullptr;
    TInfoLabels* customerLabels_ = nullptr;
    QComboBox* payMode_ = nullptr;
    QLabel* creditLabel_ = nullptr;
    QComboBox* creditCompany_ = nullptr;
    TPrintProgress* progress_ = nullptr;
};

} // namespace kav::orderhandler
