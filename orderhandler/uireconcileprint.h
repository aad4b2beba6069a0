#pragma once
// TUIReconcilePrint ("纠错-打印出票"): after an order was paid, the seats whose tickets did not come out.
// "继续打印" prints them again through the sale core's reprint (a seat whose ticket the server already
// made gets that ticket, not a second one); the window closes with OK once every seat is printed. Any
// failure (the back end, the printer, the connection) is shown, the list is made again from the seats
// still unprinted and the window stays open, so the seller can mend the printer and go on. "取消"
// gives up for now; the order stays paid and can be printed again later from the order window.
//
// Neither "取消" nor closing works while printing.
//
// Threading: GUI thread only.

#include "orderhandler/odrhrecords.h"
#include "orderhandler/uiprintingdialog.h"
#include "salecore/usaleticketcoreintf.h"

#include <memory>
#include <string>

class QAction;
class QLabel;
class QTreeWidget;

namespace kav {
class TKavTicketFace;
}

namespace kav::orderhandler {

class TPrintProgress;

class TUIReconcilePrint final : public TPrintingDialog {
    Q_OBJECT

public:
    // `order`, `seats` (the sale core's shared list with the printed flags) and `core` must outlive the window.
    TUIReconcilePrint(ISaleTicketCoreIntf& core, const std::string& context, TodrHOrderInfoRecord& order,
                      Tpt_SeatInfoList& seats, const std::string& message, QWidget* parent = nullptr);
    ~TUIReconcilePrint() override;

    // "继续打印".
    void PrintSucceed();
    // The seat codes listed, in list order.
    std::vector<std::string> ListedSeats() const;
    QString Message() const;

private:
    void ShowUnprintedSeats();

    ISaleTicketCoreIntf& core_;
    std::string context_;
    TodrHOrderInfoRecord& order_;
    Tpt_SeatInfoList& seats_;
    std::unique_ptr<TKavTicketFace> face_;
    QLabel* message_ = nullptr;
    QTreeWidget* seatList_ = nullptr;
    TPrintProgress* progress_ = nullptr;
};

// Shows the window modally; true when every seat got printed.
bool ShowReconcilePrint(QWidget* parent, ISaleTicketCoreIntf& core, const std::string& context,
                        TodrHOrderInfoRecord& order, Tpt_SeatInfoList& seats, const std::string& message);

} // namespace kav::orderhandler
