// The order handler in the screenshot run: the window with the orders of the demo data, then each
// dialog the window opens on a selected order, the payment windows among them.

#include "host/snapin/screenshottour.h"
#include "orderhandler/odrhfiles.h"
#include "orderhandler/odrhordermodel.h"
#include "orderhandler/odrhsettings.h"
#include "orderhandler/odrhpackage.h"
#include "orderhandler/odrhpropwindows.h"
#include "orderhandler/uimembercardcheck.h"
#include "orderhandler/uiorderhandler.h"
#include "orderhandler/uiorderhandlerprop.h"
#include "orderhandler/uireconcileprint.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/printerchoice.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>

namespace kav::orderhandler {

namespace {

void Settle() {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

void Trigger(TUIOrderHandler& window, const char* actionName) {
    window.UpdateActions();
    if (auto* action = window.findChild<QAction*>(QLatin1String(actionName)); action && action->isEnabled()) {
        action->trigger();
        Settle();
    }
}

// The payment windows on the selected order: "订单取票" with two payment lines, the multi-order window on
// the first orders of the list, the reconcile window on the order's seats and the member card check.
void TourOfOrderWindows(TUIOrderHandler& window) {
    TodrHOrderInfoRecord* order = window.SelectedOrder();
    if (!order) return;
    TModalDialogHook photograph = SetModalDialogHook({});
    SetModalDialogHook([&photograph, order](QDialog& dialog) {
        if (auto* prop = qobject_cast<TUIOrderHandlerProp*>(&dialog)) {
            // Half in the first pay mode, the rest (which the window then proposes) in the second.
            prop->findChild<QLineEdit*>(QStringLiteral("edtRealPrice"))
                ->setText(QString::fromStdString(AmountText(ReceivableCents(order->receivables) / 2)));
            prop->AddPayment();
            const int card = prop->findChild<QComboBox*>(QStringLiteral("cbPayMode"))->findData(QStringLiteral("H"));
            if (card >= 0) prop->ChoosePayMode(card);
            prop->AddPayment();
        }
        return photograph(dialog);
    });
    Trigger(window, "act_OrderHandler");
    SetModalDialogHook(photograph);

    const TOrderWindowSession session{odrHContext().GetAsString(), "N"};
    // The chosen order and the two first others, as an exact search by a shared password would give them.
    TodrHOrderInfoList orders;
    int seats = 0;
    double receivables = 0;
    for (int row = -1; row < window.Grid().OrderCount() && orders.Count() < 3; ++row) {
        const TodrHOrderInfoRecord* each = row < 0 ? order : window.Grid().Order(row);
        if (row >= 0 && each == order) continue;
        orders.Add(std::make_unique<TodrHOrderInfoRecord>(*each));
        seats += orders.Last().seatCount;
        receivables += orders.Last().receivables;
    }
    OrderPropertiesWindows().openOrders(&window, *order, orders, seats, receivables, session);

    Tpt_SeatInfoList unprinted;
    for (const auto& seat : order->GetSeats())
        unprinted.Add(std::make_unique<Tpt_SeatInfo>(Tpt_SeatInfo{seat->seatCode, false, false}));
    ShowReconcilePrint(&window, odrHSaleCore(), session.context, *order, unprinted,
                       _ResultSaleTicketCoreMsg(R_PT_OUTPUTTICKETFAILED));
    TUIMemberCardCheck card(false, &window);
    ExecModal(card);
}

void TourOfOrderHandler(QWidget* form, const TScreenshotSink& sink) {
    auto* window = qobject_cast<TUIOrderHandler*>(form);
    if (!window) return;
    // Every order of any status and time, so the grid shows the demo data.
    window->findChild<QComboBox*>(QStringLiteral("cbSeachTimeDefine"))->setCurrentIndex(1);
    auto* status = window->findChild<QComboBox*>(QStringLiteral("cbOrderStatus"));
    status->setCurrentIndex(status->findData(QString::fromLatin1(kStatusAll)));
    window->SearchOrderByDetail();
    if (window->Grid().OrderCount() > 0) window->SelectRow(0);
    Settle();
    window->UpdateActions();
    sink(form->objectName().toStdString(), form->window());

    // Printing goes into a folder of its own and the shipping list has a printer, so that the preview opens.
    QTemporaryDir scratch;
    const std::filesystem::path folder = scratch.path().toStdString();
    const std::filesystem::path previousFolder = OrderHandlerFolder();
    SetOrderHandlerFolder(folder);
    SavePrinterNameToConfigFile("配送单打印机");
    TPrinterSettings printing = CurrentPrinterSettings();
    printing.folder = folder / "printouts";
    const auto previousPrinting = OverridePrinterSettings(printing);

    // A booked order whose customer the user may edit shows the most dialogs.
    for (int row = 0; row < window->Grid().OrderCount(); ++row) {
        window->SelectRow(row);
        window->UpdateActions();
        const bool editable = window->findChild<QAction*>(QStringLiteral("act_ModifiyOrderCustomerInfo"))->isEnabled();
        if (editable && window->Grid().Order(row)->orderStatus.code == "B") break;
    }
    window->findChild<QComboBox*>(QStringLiteral("cbSearchProductName"))->setCurrentIndex(0);
    // The seat list first: the shipping list loads the seats, after which the list is not offered.
    for (const char* action : {"actSearchSeats", "act_SearchProduct", "act_Setting", "act_SetTitle",
                               "act_ModifiyOrderCustomerInfo", "act_ReadCard", "act_PrintShippingList",
                               "act_PrintShippingListSet"})
        Trigger(*window, action);
    TourOfOrderWindows(*window);

    // The split needs a booking of the user's own with more than one seat.
    for (int row = 0; row < window->Grid().OrderCount(); ++row) {
        window->SelectRow(row);
        window->UpdateActions();
        if (window->findChild<QAction*>(QStringLiteral("act_ChangeSeat"))->isEnabled()) {
            Trigger(*window, "act_ChangeSeat");
            break;
        }
    }

    OverridePrinterSettings(previousPrinting);
    SetOrderHandlerFolder(previousFolder);
}

const TScreenshotTourRegistration tour{"CIOrderHandler", &TourOfOrderHandler};

} // namespace

} // namespace kav::orderhandler
