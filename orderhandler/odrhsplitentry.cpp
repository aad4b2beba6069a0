#include "orderhandler/odrhsplitentry.h"

#include "dialogs/kavdialog.h"
#include "host/cadbpipe.h"
#include "host/kavcontext.h"
#include "host/orb.h"
#include "host/snapin/kavcsnapin.h"
#include "orderhandler/odrhpackage.h"
#include "orderhandler/uiorderhandlerchangeseat.h"
#include "orderhandler/uiorderhandlerorderseats.h"
#include "platform/widgets/modaldialog.h"

namespace kav::orderhandler {

bool ExecuteOrderSplit(QWidget* parent, const TodrHOrderInfoRecord& order, const std::string& context) {
    return ExecuteOrderSplit(parent, order, context, ORB());
}

bool ExecuteOrderSplit(QWidget* parent, const TodrHOrderInfoRecord& order, const std::string& context,
                       pelio::TPelioClient& client) {
    TKavContext session;
    session.SetAsString(context);
    TClientDataSet orderRow;
    orderRow.SetData(TCADBPipe(client)
                         .GetData(context, SplitReloadOrderSQL(session.NodeCode(), order.orderCode.str(),
                                                               order.productCode.str()))
                         .ByteArrayView());
    if (orderRow.RecordCount() != 1) {
        ShowWarningMessage("该订单为非预订状态，不可拆分！", "警告");
        return false;
    }
    if (orderRow.FieldByName("SEATCOUNT").AsInteger() == 1) {
        ShowWarningMessage("该订单只剩一个座位，不可拆分！", "警告");
        return false;
    }
    TUIOrderHandlerChangeSeat window(client, parent);
    window.SnapIn().SetContext(context);
    window.InitializationChangeSeat(orderRow);
    return ExecModal(window) == QDialog::Accepted;
}

void ShowOrderSeats(QWidget* parent, TodrHOrderInfoRecord& order) {
    // Read afresh, so that the provider's last seat rows are this order's; the record keeps them too.
    order.RefreshSeats();
    TUIOrderHandlerOrderSeats window(parent);
    window.SetSeatData(odrHOrderInfoDataProvider().GetOrderSeatsInfo());
    ExecModal(window);
}

} // namespace kav::orderhandler
