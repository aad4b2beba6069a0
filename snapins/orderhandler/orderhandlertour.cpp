// The order handler in the screenshot run: the window with the orders of the demo data, then each
// dialog the window opens on a selected order.

#include "host/snapin/screenshottour.h"
#include "orderhandler/odrhfiles.h"
#include "orderhandler/odrhordermodel.h"
#include "orderhandler/odrhsettings.h"
#include "orderhandler/uiorderhandler.h"
#include "platform/widgets/printerchoice.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
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
                               "act_PrintShippingListSet", "act_OrderHandler"})
        Trigger(*window, action);

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
