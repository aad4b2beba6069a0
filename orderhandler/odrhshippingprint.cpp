#include "orderhandler/odrhshippingprint.h"

#include "orderhandler/odrhgridtext.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/printsink.h"
#include "platform/widgets/qtext.h"

#include <QBuffer>
#include <QDialog>
#include <QHBoxLayout>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>

namespace kav::orderhandler {

namespace {

QPageSize PageSizeOf(const TShippingListPage& page) {
    for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
        const auto sizeId = static_cast<QPageSize::PageSizeId>(id);
        if (QPageSize::key(sizeId).compare(Q(page.pageSize), Qt::CaseInsensitive) == 0) return QPageSize(sizeId);
    }
    return QPageSize(QPageSize::A5);
}

QPageLayout LayoutOf(const TShippingListPage& page) {
    return QPageLayout(PageSizeOf(page), page.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(12, 10, 12, 10), QPageLayout::Millimeter);
}

// The shipping-list printer as the printing seam reaches it: the print folder when the client prints
// into files, else the named queue.
TPrinterTarget TargetOf(const std::string& printerName) {
    TPrinterTarget target;
    const TPrinterSettings settings = CurrentPrinterSettings();
    if (!settings.folder.empty()) target.folder = settings.folder;
    else target.queue = printerName;
    return target;
}

std::string TitleOf(const TShippingList& list) {
    return "配送单 " + list.orderCode;
}

std::string Money(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%0.2f元", value);
    return text;
}

} // namespace

void PaintShippingList(QPainter& painter, QPagedPaintDevice& device, const TShippingList& list) {
    // The painter's origin is the top left corner of the page's printable area.
    const int dpi = device.logicalDpiX();
    const double mm = dpi / 25.4;
    painter.save();
    const double width = device.pageLayout().paintRectPixels(dpi).width();

    QFont title(QStringLiteral("Noto Sans CJK SC"));
    title.setPointSizeF(16);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRectF(0, 0, width, 10 * mm), Qt::AlignCenter, QStringLiteral("配送单"));

    QFont text(QStringLiteral("Noto Sans CJK SC"));
    text.setPointSizeF(9.5);
    painter.setFont(text);
    const double row = 7 * mm;
    const double label = 20 * mm;
    double y = 13 * mm;
    const auto cell = [&](double x, double w, const QString& caption, const QString& value, double height) {
        painter.drawRect(QRectF(x, y, w, height));
        painter.drawText(QRectF(x + 1 * mm, y, label - 1 * mm, height), Qt::AlignLeft | Qt::AlignVCenter, caption);
        painter.drawText(QRectF(x + label, y + 0.5 * mm, w - label - 1 * mm, height - 1 * mm),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, value);
    };
    const auto pair = [&](const char* a, const std::string& va, const char* b, const std::string& vb) {
        cell(0, width / 2, QString::fromUtf8(a), Q(va), row);
        cell(width / 2, width / 2, QString::fromUtf8(b), Q(vb), row);
        y += row;
    };
    const auto whole = [&](const char* caption, const std::string& value, int lines) {
        cell(0, width, QString::fromUtf8(caption), Q(value).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
             row * lines);
        y += row * lines;
    };
    pair("订单编号：", list.orderCode, "下单时间：", list.orderDate);
    pair("顾客姓名：", list.customerName, "联系电话：", list.customerPhone);
    pair("订单来源：", list.orderFrom, "配送时间：", FormatMinutes(list.shippingTime));
    whole("演出名称：", list.productName, 1);
    pair("演出时间：", list.productHappenTime, "演出场所：", list.placeName);
    whole("配送地址：", list.shippingAddress, 2);
    whole("发票抬头：", list.invoiceHeader, 1);
    whole("票品信息：", list.itemsInfo, 3);
    pair("票款合计：", Money(list.totalPrice), "配送员：", list.shippingUser);
    whole("备注：", list.comment, 2);
    y += 4 * mm;
    painter.drawText(QRectF(0, y, width, row), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("顾客签收：____________    签收日期：____________"));
    painter.restore();
}

QByteArray ShippingListPdf(const TShippingList& list, const TShippingListPage& page) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(300);
        pdf.setPageLayout(LayoutOf(page));
        pdf.setTitle(Q(TitleOf(list)));
        pdf.setCreator(QStringLiteral("售票系统"));
        QPainter painter(&pdf);
        PaintShippingList(painter, pdf, list);
    }
    return bytes;
}

void PrintShippingListOn(const TShippingList& list, const std::string& printerName, const TShippingListPage& page) {
    TPrintSink sink(TargetOf(printerName));
    const QByteArray pdf = ShippingListPdf(list, page);
    sink.Send(TitleOf(list), TPrintFormat::Pdf, std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())),
              page.pageSize);
}

bool PreviewShippingList(const TShippingList& list, const std::string& printerName, const TShippingListPage& page,
                         QWidget* parent) {
    TPrintSink(TargetOf(printerName)); // a dead printer is reported before the preview opens

    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("ShippingListPreview"));
    dialog.setWindowTitle(QStringLiteral("配送单预览"));
    dialog.resize(900, 680);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageLayout(LayoutOf(page));
    auto* preview = new QPrintPreviewWidget(&printer, &dialog);
    preview->setObjectName(QStringLiteral("pvShippingList"));
    QObject::connect(preview, &QPrintPreviewWidget::paintRequested, &dialog, [&list](QPrinter* target) {
        QPainter painter(target);
        PaintShippingList(painter, *target, list);
    });
    auto* print = new QPushButton(QStringLiteral("打印(&P)"), &dialog);
    print->setObjectName(QStringLiteral("btnPrint"));
    print->setDefault(true);
    auto* close = new QPushButton(QStringLiteral("关闭"), &dialog);
    close->setObjectName(QStringLiteral("btnClose"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(print);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(preview, 1);
    layout->addLayout(buttons);
    QObject::connect(print, &QPushButton::clicked, &dialog, [&] {
        PrintShippingListOn(list, printerName, page);
        dialog.accept();
    });
    QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::reject);
    return ExecModal(dialog) == QDialog::Accepted;
}

bool SetUpShippingListPage(QWidget* parent, const std::filesystem::path& file) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageLayout(LayoutOf(LoadShippingListPage(file)));
    QPageSetupDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("ShippingListPageSetup"));
    dialog.setWindowTitle(QStringLiteral("配送单设置"));
    if (ExecModal(dialog) != QDialog::Accepted) return false;
    TShippingListPage page;
    page.pageSize = QPageSize::key(printer.pageLayout().pageSize().id()).toStdString();
    page.landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
    SaveShippingListPage(page, file);
    return true;
}

} // namespace kav::orderhandler
