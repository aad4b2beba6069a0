#include "platform/widgets/reportoutput.h"

#include "platform/core/atomicfile.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextLayout>
#include <map>
#include <utility>
#include <vector>

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
    const QPageSize size(QSizeF(shortSide, longSide), QPageSize::Millimeter, QString(),
                         QPageSize::FuzzyMatch);
    return QPageLayout(size, document.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

// Paints pages on one device, keeping each font and its metrics for every text that uses it.
class TPagePainter {
public:
    TPagePainter(QPainter& painter, double dotsPerMillimetre) : painter_(painter), dots_(dotsPerMillimetre) {}

    void Paint(const TReportPage& page) {
        painter_.save();
        painter_.setBrush(Qt::NoBrush);
        double penWidth = -1;
        for (const TDrawCommand& command : page.commands) {
            if (command.lineWidth != penWidth) {
                QPen pen(Qt::black);
                pen.setWidthF(std::max(command.lineWidth * dots_, 1.0));
                painter_.setPen(pen);
                penWidth = command.lineWidth;
            }
            const QRectF rect = Dots(command.rect);
            switch (command.kind) {
            case TDrawCommand::Kind::Line:
                painter_.drawLine(rect.topLeft(), rect.bottomRight());
                break;
            case TDrawCommand::Kind::Box:
                painter_.drawRect(rect);
                break;
            case TDrawCommand::Kind::Text:
                PaintText(command, rect);
                break;
            }
        }
        painter_.restore();
    }

private:
    struct TFontEntry {
        TReportFont key;
        QFont font;
        QFontMetricsF metrics;
    };
    // A text shaped once in one font: reports repeat their labels and numbers on every page.
    struct TShaped {
        QList<QGlyphRun> runs;
        double width = 0, ascent = 0, descent = 0;
    };

    QRectF Dots(const QRectF& r) const {
        return QRectF(r.x() * dots_, r.y() * dots_, r.width() * dots_, r.height() * dots_);
    }

    std::size_t FontOf(const TReportFont& wanted) {
        for (std::size_t i = 0; i < fonts_.size(); ++i)
            if (fonts_[i].key == wanted) return i;
        QFont font(QString::fromStdString(wanted.family));
        font.setPointSizeF(wanted.size);
        font.setBold(wanted.bold);
        fonts_.push_back({wanted, font, QFontMetricsF(font, painter_.device())});
        return fonts_.size() - 1;
    }

    TShaped Shape(const QString& text, const QFont& font) const {
        QTextLayout layout(text, font, painter_.device());
        layout.beginLayout();
        QTextLine line = layout.createLine();
        layout.endLayout();
        TShaped shaped;
        if (!line.isValid()) return shaped;
        shaped.width = line.naturalTextWidth();
        shaped.ascent = line.ascent();
        shaped.descent = line.descent();
        shaped.runs = layout.glyphRuns();
        return shaped;
    }

    void PaintText(const TDrawCommand& command, const QRectF& rect) {
        const std::size_t font = FontOf(command.font);
        const QString text = QString::fromStdString(command.text);
        auto cached = shaped_.find({font, text});
        if (cached == shaped_.end())
            cached = shaped_.emplace(std::make_pair(font, text), Shape(text, fonts_[font].font)).first;
        const double padding = dots_ * 0.3;
        const double room = rect.width() - 2 * padding;
        // A text wider than its cell is painted smaller rather than cut.
        TShaped smaller;
        const TShaped* shaped = &cached->second;
        if (shaped->width > room && room > 0) {
            QFont reduced = fonts_[font].font;
            reduced.setPointSizeF(std::max(kSmallestFontPoints, command.font.size * room / shaped->width));
            smaller = Shape(text, reduced);
            shaped = &smaller;
        }
        double x = rect.left() + padding;
        if (command.align == TReportAlign::Center) x = rect.left() + (rect.width() - shaped->width) / 2;
        if (command.align == TReportAlign::Right) x = rect.right() - padding - shaped->width;
        // The runs are placed with their line's top at the origin; the line sits centred in the cell.
        const double top = rect.top() + (rect.height() - shaped->ascent - shaped->descent) / 2;
        for (const QGlyphRun& run : shaped->runs)
            painter_.drawGlyphRun(QPointF(x, top), run);
    }

    QPainter& painter_;
    double dots_;
    std::vector<TFontEntry> fonts_; // a report uses a few fonts: a list is enough
    std::map<std::pair<std::size_t, QString>, TShaped> shaped_;
};

void PaintPages(QPainter& painter, const TReportDocument& document, double dotsPerMillimetre,
                const std::function<bool()>& newPage) {
    TPagePainter pages(painter, dotsPerMillimetre);
    for (std::size_t page = 0; page < document.pages.size(); ++page) {
        if (page > 0 && !newPage()) throw EReportOutput("无法开始第 " + std::to_string(page + 1) + " 页");
        pages.Paint(document.pages[page]);
    }
}

} // namespace

void PaintReportPage(QPainter& painter, const TReportDocument& document, std::size_t page,
                     double dotsPerMillimetre) {
    TPagePainter(painter, dotsPerMillimetre).Paint(document.pages.at(page));
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
        WriteFileAtomically(file,
                            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
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
    PaintPages(painter, document, printer.resolution() / kMillimetresPerInch,
               [&] { return printer.newPage(); });
    painter.end();
}

void PrintReport(const TReportDocument& document, const std::string& printerName) {
    const QPrinterInfo info = printerName.empty()
                                  ? QPrinterInfo::defaultPrinter()
                                  : QPrinterInfo::printerInfo(QString::fromStdString(printerName));
    if (info.isNull())
        throw EReportOutput(printerName.empty() ? std::string("没有默认打印机")
                                                : "没有名为 " + printerName + " 的打印机");
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
        PaintPages(painter, document, target->resolution() / kMillimetresPerInch,
                   [target] { return target->newPage(); });
    });
    preview.exec();
}

TReportPreviewHook SetReportPreviewHook(TReportPreviewHook hook) {
    return std::exchange(PreviewHook(), std::move(hook));
}

} // namespace kav
