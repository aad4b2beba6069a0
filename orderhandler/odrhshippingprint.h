#pragma once
// Printing shipping lists: one page per order, laid out here, shown in a preview from which the seller
// prints it on the workstation's shipping-list printer (a CUPS queue, or the print folder when the
// client prints into files, platform/widgets/printerchoice.h). The page size and orientation are the
// shipping-list page set-up of "CONFIGURE.CONF" (odrhsettings.h).
//
// Failures raise EPrinterError naming the printer: a printer that does not exist or does not take
// jobs is reported before anything is printed.
//
// Threading: GUI thread only.

#include "orderhandler/odrhsettings.h"
#include "orderhandler/odrhshippinglist.h"

#include <QByteArray>
#include <string>

class QPainter;
class QPagedPaintDevice;
class QWidget;

namespace kav::orderhandler {

// Paints the list on the device's current page, within its margins (the painter's origin is their
// top left corner, as for printers and PDF writers).
void PaintShippingList(QPainter& painter, QPagedPaintDevice& device, const TShippingList& list);
// The list as a one-page PDF in the page set-up's size.
QByteArray ShippingListPdf(const TShippingList& list, const TShippingListPage& page);

// Sends the list to the printer (or the print folder) as one job named after the order.
void PrintShippingListOn(const TShippingList& list, const std::string& printerName, const TShippingListPage& page);

// The preview ("配送单预览"): "打印" prints as PrintShippingListOn and closes, "关闭" closes. The printer
// is checked before the preview opens. Returns whether the list was printed.
bool PreviewShippingList(const TShippingList& list, const std::string& printerName, const TShippingListPage& page,
                         QWidget* parent);

// "配送单设置": the page set-up dialog; a confirmed choice is saved. Returns whether it was.
bool SetUpShippingListPage(QWidget* parent, const std::filesystem::path& file = ConfigureFilePath());

} // namespace kav::orderhandler
