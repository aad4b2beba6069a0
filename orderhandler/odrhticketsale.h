#pragma once
// Taking an order's money and printing its tickets through the sale core, as both order properties
// windows do it: the seat list made from the order's seats, the accounting (with the payment lines,
// or the order's one pay mode), then the tickets with the print progress shown.
//
// Once the order is accounted nothing is left half done without the seller knowing: any failure of
// the printing (the back end, the printer, the connection) opens the reconcile window on the seats
// still unprinted, with the failure's message. The order record follows the server: paid (R) once
// accounted, collected (A, printed) once every ticket is out, so the order list shows the truth and
// does not offer the order for payment again.
//
// Threading: GUI thread only.

#include "orderhandler/odrhmemberreceipt.h"
#include "orderhandler/odrhrecords.h"
#include "salecore/usaleticketcoreintf.h"

#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace kav {
class TKavContext;
class TKavTicketFace;
} // namespace kav

namespace kav::orderhandler {

class TPrintProgress;

struct TTicketSale {
    TodrHOrderInfoRecord* order = nullptr;
    TSaleAccountCondition condition;
    std::vector<std::string> clientInfo; // name=value lines of the customer
    std::optional<Variant> payModeData;  // the payment lines; without them the order's one pay mode
    std::string customText;
    bool promptWhenDone = true; // "打印完毕!" in a message box as well as in the label
};

enum class TTicketSaleResult {
    NotAccounted, // refused before anything was charged; the refusal was shown
    Printed,      // every ticket is out
    Unfinished,   // paid, some tickets not out; the seller was told and may print them later
};

// `progress` shows the run; `face` prints the tickets; `window` parents the message boxes and the
// reconcile window. Raises what reading the order's seats raises (before anything is charged).
TTicketSaleResult SellOrderTickets(ISaleTicketCoreIntf& core, const TKavContext& session, TTicketSale& sale,
                                   TPrintProgress& progress, TKavTicketFace& face, QWidget* window);

// After the tickets: the purchase posted to the member system when the site wants it (the pay mode's
// note flag from its action module), in the way of `memberMode`. A refusal or failure is told with
// "会员购票信息保存失败！"; the tickets stay printed.
void PostOrderPurchase(const TodrHOrderInfoRecord& order, const std::string& payModeCode,
                       const std::string& payModeName, const std::string& memberMode);

// The member's receipt on `printerName` (kept for "重打小票" first). A failure is told with
// `failureText`, or the printer's own message when it is empty.
void PrintOrderMemberReceipt(const TodrHOrderInfoRecord& order, const TOrderMemberInfoItem& member,
                             TMemberReceiptLayout layout, std::int64_t chargedCents, const std::string& printerName,
                             const std::string& failureText);

// The order record after the server accounted it, and after its last ticket.
void MarkOrderPaid(TodrHOrderInfoRecord& order, const std::string& payModeCode);
void MarkOrderCollected(TodrHOrderInfoRecord& order, const TKavContext& session, TDateTime handlerTime);

// The customer lines the accounting registers the order's customer with.
std::vector<std::string> ClientInfoLines(const TodrHOrderInfoRecord& order);

} // namespace kav::orderhandler
