#pragma once
// How the order window opens the order split and an order's seat list.
//
//   ExecuteOrderSplit(parent, order, context)
//     the action "拆分订单" for the selected order: reloads the order's row as a booked order of the
//     context's node; warns "该订单为非预订状态，不可拆分！" when that is not exactly one row, and
//     "该订单只剩一个座位，不可拆分！" when the order holds one seat; otherwise shows the split window
//     modally. True when the split made a new order: the order window then runs its search again.
//   ShowOrderSeats(parent, order)
//     the action "查看座位": reads the order's seats again (the record keeps them, as after its
//     get-seats) and shows them in the read-only seat list.
//
// Both windows are shown through the modal-dialog seam (platform/widgets/modaldialog.h).
//
// Both raise what the remote calls raise (EosException and its kin), for the window to show; run them
// through RunGuarded. Remote calls go through the shared connection, or through `client` when given,
// which must outlive the call. GUI thread only.

#include "orderhandler/odrhrecords.h"
#include "rpc/pelioclient.h"

#include <string>

class QWidget;

namespace kav::orderhandler {

bool ExecuteOrderSplit(QWidget* parent, const TodrHOrderInfoRecord& order, const std::string& context);
bool ExecuteOrderSplit(QWidget* parent, const TodrHOrderInfoRecord& order, const std::string& context,
                       pelio::TPelioClient& client);

void ShowOrderSeats(QWidget* parent, TodrHOrderInfoRecord& order);

} // namespace kav::orderhandler
