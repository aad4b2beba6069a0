#include "orderhandler/odrhpropwindows.h"

#include "orderhandler/uiorderhandlermanyprop.h"
#include "orderhandler/uiorderhandlerprop.h"
#include "platform/widgets/modaldialog.h"

namespace kav::orderhandler {

TOrderWindows OrderPropertiesWindows() {
    TOrderWindows windows;
    windows.openOrder = [](QWidget* parent, TodrHOrderInfoRecord& order, const TOrderWindowSession& session) {
        TUIOrderHandlerProp window(order, session, parent);
        return ExecModal(window) == QDialog::Accepted;
    };
    windows.openOrders = [](QWidget* parent, TodrHOrderInfoRecord& selected, TodrHOrderInfoList& orders, int seatTotal,
                            double receivablesTotal, const TOrderWindowSession& session) {
        TUIOrderHandlerManyProp window(selected, orders, seatTotal, receivablesTotal, session, parent);
        return ExecModal(window) == QDialog::Accepted;
    };
    return windows;
}

} // namespace kav::orderhandler
