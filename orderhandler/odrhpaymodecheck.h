#pragma once
// The pay mode check before an order is settled: a credit charge (G) names its company; a member card
// (M) pays only an order of a stored-value member, after the card and its password passed the server's
// check. On the way it fetches the order's member, which the accounting, the receipt and the purchase
// post use.
//
// The multi-order window checks a little differently: it skips the member on node "21" only (not
// "11"), says nothing when the member system knows no such member, and asks the member system in every
// mode, mode H included.
//
// Threading: GUI thread only.

#include "host/kavcontext.h"
#include "orderhandler/odrhmember.h"

#include <optional>
#include <string>

class QWidget;

namespace kav::orderhandler {

enum class TOrderWindowKind { SingleOrder, ManyOrders };

struct TPayModeCheckRequest {
    const TodrHOrderInfoRecord* order = nullptr;
    std::string payModeCode;
    std::string creditCompany; // the G line's company
    std::string memberMode;    // Y, N or H
    TOrderWindowKind kind = TOrderWindowKind::SingleOrder;
};

struct TPayModeCheck {
    bool passed = false;
    // The member of a member's order, once fetched; its cardPassword is the password the server accepted.
    std::optional<TOrderMemberInfoItem> member;
};

TPayModeCheck CheckPayModeSet(QWidget* parent, TCAMemberSys& memberSys, const TKavContext& session,
                              const TPayModeCheckRequest& request);

} // namespace kav::orderhandler
