#pragma once
// The windows "订单取票" opens on an order: the order properties windows that take payment and print
// tickets, for one order or for the orders of an exact search. The work that holds them installs them
// here; until then the main window keeps the action disabled and says why.
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
};

const TOrderWindows& OrderWindows();
// Installs the windows (an empty entry leaves its action disabled) and returns those it replaces.
TOrderWindows SetOrderWindows(TOrderWindows windows);

} // namespace kav::orderhandler
