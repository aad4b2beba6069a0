#include "platform/widgets/reportoutput.h"

#include "platform/core/atomicfile.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <utility>

namespace kav {

namespace {

constexpr double kMillimetresPerInch = 25.4;
constexpr double kSmallestFontPoints = 4;
constexpr int kPdfResolution = 600;

TReportPreviewHook& PreviewHook() {
    static TReportPreviewHook hook;
    return hook;
}

QPageLayout PageLayoutOf(const TReportDocument& document) {
    const double shortSide = std::min(document.pageWidth, document.pageHeight);
    const double longSide = std::max(document.pageWidth, document.pageHeight);
    const QPageSize size(QSizeF(shortSide, longSide), QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
    return QPageLayout(size, document.landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter);
}

Qt::Alignment AlignmentOf(TReportAlign align) {
    switch (align) {
    case TReportAlign::Center:
        return Qt::AlignHCenter;
    case TReportAlign::Right:
        return Qt::AlignRight;
    default:
        return Qt::AlignLeft;
    }
}

void PaintPages(QPainter& painter, const TReportDocument& document, double dotsPerMillimetre,
                const std::function<bool()>& newPage) {
    for (std::size_t page = 0; page < document.pages.size(); ++page) {
        if (page > 0 && !newPage()) throw EReportOutput("无法开始第 " + std::to_string(page + 1) + " 页");
        PaintReportPage(painter, document, page, dotsPerMillimetre);
    }
}

} // namespace

void PaintReportPage(QPainter& painter, const TReportDocument& document, std::size_t page, double dotsPerMillimetre) {
    const auto dots = [dotsPerMillimetre](const QRectF& r) {
        return QRectF(r.x() * dotsPerMillimetre, r.y() * dotsPerMillimetre, r.width() * dotsPerMillimetre,
                      r.height() * dotsPerMillimetre);
    };
    painter.save();
    for (const TDrawCommand& command : document.pages.at(page).commands) {
        QPen pen(Qt::black);
        pen.setWidthF(std::max(command.lineWidth * dotsPerMillimetre, 1.0));
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        const QRectF rect = dots(command.rect);
        switch (command.kind) {
        case TDrawCommand::Kind::Line:
            painter.drawLine(rect.topLeft(), rect.bottomRight());
            break;
        case TDrawCommand::Kind::Box:
            painter.drawRect(rect);
            break;
        case TDrawCommand::Kind::Text: {
            QFont font(QString::fromStdString(command.font.family));
            font.setPointSizeF(command.font.size);
            font.setBold(command.font.bold);
            const QString text = QString::fromStdString(command.text);
            // A text wider than its cell is painted smaller rather than cut.
            const double width = QFontMetricsF(font, painter.device()).horizontalAdvance(text);
            const double room = rect.width() - dotsPerMillimetre * 0.6;
            if (width > room && room > 0)
                font.setPointSizeF(std::max(kSmallestFontPoints, command.font.size * room / width));
            painter.setFont(font);
            const QRectF inner = rect.adjusted(dotsPerMillimetre * 0.3, 0, -dotsPerMillimetre * 0.3, 0);
            painter.drawText(inner, static_cast<int>(AlignmentOf(command.align) | Qt::AlignVCenter | Qt::TextSingleLine),
                             text);
            break;
        }
        }
    }
    painter.restore();
}

void WriteReportPdf(const TReportDocument& document, const std::filesystem::path& file) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfResolution);
        writer.setTitle(QString::fromStdString(document.title));
        writer.setCreator(QStringLiteral("kav"));
        writer.setPageLayout(PageLayoutOf(document));
        QPainter painter;
        if (!painter.begin(&writer)) throw EReportOutput("无法生成 PDF 文件 " + file.string());
        PaintPages(painter, document, kPdfResolution / kMillimetresPerInch, [&] { return writer.newPage(); });
        painter.end();
    }
    const QByteArray bytes = buffer.data();
    try {
        WriteFileAtomically(file, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    } catch (const std::runtime_error& e) {
        throw EReportOutput("无法写入 PDF 文件 " + file.string() + ": " + e.what());
    }
}

void PrintReport(const TReportDocument& document, QPrinter& printer) {
    printer.setFullPage(true);
    printer.setPageLayout(PageLayoutOf(document));
    if (!document.title.empty()) printer.setDocName(QString::fromStdString(document.title));
    QPainter painter;
    if (!painter.begin(&printer))
        throw EReportOutput("无法使用打印机 " + printer.printerName().toStdString());
    PaintPages(painter, document, printer.resolution() / kMillimetresPerInch, [&] { return printer.newPage(); });
    painter.end();
}

void PrintReport(const TReportDocument& document, const std::string& printerName) {
    const QPrinterInfo info = printerName.empty() ? QPrinterInfo::defaultPrinter()
                                                  : QPrinterInfo::printerInfo(QString::fromStdString(printerName));
    if (info.isNull())
        throw EReportOutput(printerName.empty() ? std::string("没有默认打印机") : "没有名为 " + printerName + " 的打印机");
    QPrinter printer(info, QPrinter::HighResolution);
    PrintReport(document, printer);
}

void PreviewReport(const TReportDocument& document, QWidget* parent) {
    if (PreviewHook()) {
        PreviewHook()(document);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setPageLayout(PageLayoutOf(document));
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(QString::fromStdString(document.title));
    preview.resize(1100, 800);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&document](QPrinter* target) {
        QPainter painter(target);
        PaintPages(painter, document, target->resolution() / kMillimetresPerInch, [target] { return target->newPage(); });
    });
    preview.exec();
}

TReportPreviewHook SetReportPreviewHook(TReportPreviewHook hook) {
    return std::exchange(PreviewHook(), std::move(hook));
}

} // namespace kav
