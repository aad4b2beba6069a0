#pragma once
// The windows the order handler's main window opens on an order but does not hold itself: the order
// properties windows that take payment and print tickets ("订单取票", one order or the orders of an exact
// search), the order split ("拆分订单") and the seats of an order ("查看座位"). The package that holds a
// window installs it here; until then the main window keeps the action disabled and says why.
//
// Threading: GUI thread only.

#include "orderhandler/odrhrecords.h"

#include <functional>
#include <string>

class QWidget;

namespace kav::orderhandler {

// What the order handler hands every order window.
struct TOrderWindowSession {
    std::string context;              // the login context text
    std::string memberConnectUmnByDB; // the member system's connection switch
    bool canSaleNB = false;
    bool canSaleHW = false;
    bool canTempInfo = false;
    bool canChangeReceivables = false;
    bool canChangeSeat = false;
};

struct TOrderWindows {
    // The single-order window; it changes the order in place. True when it closed with OK.
    std::function<bool(QWidget* parent, TodrHOrderInfoRecord& order, const TOrderWindowSession& session)> openOrder;
    // The multi-order window on copies of the orders of an exact search, with the selected one and the
    // totals its labels show ("N张", "X.XX元"). True when it closed with OK.
    std::function<bool(QWidget* parent, TodrHOrderInfoRecord& selected, TodrHOrderInfoList& orders, int seatTotal,
                       double receivablesTotal, const TOrderWindowSession& session)>
        openOrders;
    // The split of a booked order of several seats. True when it closed with OK (the order was split).
    std::function<bool(QWidget* parent, const TodrHOrderInfoRecord& order, const std::string& context)> splitOrder;
    // The seats of an order, from the seat rows of its last seat fetch (a data packet).
    std::function<void(QWidget* parent, const std::string& seatRows)> showOrderSeats;
};

const TOrderWindows& OrderWindows();
// Installs the windows (an empty entry leaves its action disabled) and returns those it replaces.
TOrderWindows SetOrderWindows(TOrderWindows windows);

} // namespace kav::orderhandler
