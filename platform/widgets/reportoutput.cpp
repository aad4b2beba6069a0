#include "platform/widgets/reportoutput.h"

#include "platform/core/atomicfile.h"

#include <QBuffer>
#include <QGlyphRun>
#include <QLineF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextLayout>
#include <cmath>
#include <map>
#include <tuple>
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

// Paints pages on one device, keeping each font and each text shaped in it for every text that uses
// it. A page is painted in few operations: its frames and lines by pen width, then its texts by font as
// one glyph run each, at whole device dots. A PDF writer then writes and compresses a fraction of what a
// call per cell costs (each call carries its own state and text object), and at printing resolutions
// a dot is far below what the eye sees.
class TPagePainter {
public:
    TPagePainter(QPainter& painter, double dotsPerMillimetre) : painter_(painter), dots_(dotsPerMillimetre) {}

    void Paint(const TReportPage& page) {
        strokes_.clear();
        glyphs_.clear();
        for (const TDrawCommand& command : page.commands) {
            switch (command.kind) {
            case TDrawCommand::Kind::Line:
                StrokesOf(command.lineWidth)
                    .lines.emplace_back(Dots(command.rect.topLeft()), Dots(command.rect.bottomRight()));
                break;
            case TDrawCommand::Kind::Box:
                StrokesOf(command.lineWidth).boxes.push_back(Dots(command.rect));
                break;
            case TDrawCommand::Kind::Text:
                AddText(command);
                break;
            }
        }
        painter_.save();
        painter_.setBrush(Qt::NoBrush);
        for (const TStrokes& strokes : strokes_) {
            QPen pen(Qt::black);
            pen.setWidthF(std::max(strokes.width * dots_, 1.0));
            painter_.setPen(pen);
            painter_.drawRects(strokes.boxes.data(), static_cast<int>(strokes.boxes.size()));
            painter_.drawLines(strokes.lines.data(), static_cast<int>(strokes.lines.size()));
        }
        painter_.setPen(Qt::black);
        for (const TGlyphs& glyphs : glyphs_) {
            QGlyphRun run;
            run.setRawFont(glyphs.font);
            run.setFlags(glyphs.flags);
            run.setGlyphIndexes(glyphs.indexes);
            run.setPositions(glyphs.positions);
            painter_.drawGlyphRun(QPointF(0, 0), run);
        }
        painter_.restore();
    }

private:
    // A text shaped once in one font: reports repeat their labels and numbers on every page.
    struct TShaped {
        QList<QGlyphRun> runs;
        double width = 0, ascent = 0, descent = 0;
    };
    struct TStrokes {
        double width = 0; // millimetres
        std::vector<QRectF> boxes;
        std::vector<QLineF> lines;
    };
    // A page's glyphs in one font, at their places on the page.
    struct TGlyphs {
        QRawFont font;
        QGlyphRun::GlyphRunFlags flags;
        QList<quint32> indexes;
        QList<QPointF> positions;
    };

    static double Snapped(double dots) { return std::round(dots); }
    QPointF Dots(const QPointF& p) const { return {Snapped(p.x() * dots_), Snapped(p.y() * dots_)}; }
    // Edges are snapped, not sizes, so that cells sharing an edge keep sharing it.
    QRectF Dots(const QRectF& r) const {
        const QPointF topLeft = Dots(r.topLeft());
        return {topLeft, Dots(r.bottomRight())};
    }

    TStrokes& StrokesOf(double width) {
        for (TStrokes& strokes : strokes_)
            if (strokes.width == width) return strokes;
        strokes_.push_back({width, {}, {}});
        return strokes_.back();
    }

    const TShaped& ShapedIn(const TReportFont& wanted, const QString& text) {
        auto font = fonts_.find(wanted);
        if (font == fonts_.end()) {
            QFont qfont(QString::fromStdString(wanted.family));
            qfont.setPointSizeF(wanted.size);
            qfont.setBold(wanted.bold);
            font = fonts_.emplace(wanted, TFontEntry{qfont, {}}).first;
        }
        auto shaped = font->second.texts.find(text);
        if (shaped == font->second.texts.end())
            shaped = font->second.texts.emplace(text, Shape(text, font->second.font)).first;
        return shaped->second;
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

    void AddText(const TDrawCommand& command) {
        const QRectF rect(command.rect.x() * dots_, command.rect.y() * dots_, command.rect.width() * dots_,
                          command.rect.height() * dots_);
        const QString text = QString::fromStdString(command.text);
        const TShaped* shaped = &ShapedIn(command.font, text);
        const double padding = dots_ * 0.3;
        const double room = rect.width() - 2 * padding;
        // A text wider than its cell is painted smaller rather than cut; sizes go down in tenths of a
        // point, so that a text that recurs in cells of one width is shaped once.
        if (shaped->width > room && room > 0) {
            TReportFont reduced = command.font;
            reduced.size =
                std::max(kSmallestFontPoints, std::floor(command.font.size * room / shaped->width * 10) / 10);
            shaped = &ShapedIn(reduced, text);
        }
        double x = rect.left() + padding;
        if (command.align == TReportAlign::Center) x = rect.left() + (rect.width() - shaped->width) / 2;
        if (command.align == TReportAlign::Right) x = rect.right() - padding - shaped->width;
        // The runs are placed with their line's top at the origin; the line sits centred in the cell.
        const double top = rect.top() + (rect.height() - shaped->ascent - shaped->descent) / 2;
        for (const QGlyphRun& run : shaped->runs) {
            TGlyphs& glyphs = GlyphsIn(run);
            glyphs.indexes.append(run.glyphIndexes());
            for (const QPointF& position : run.positions())
                glyphs.positions.append({Snapped(x + position.x()), Snapped(top + position.y())});
        }
    }

    TGlyphs& GlyphsIn(const QGlyphRun& run) {
        for (TGlyphs& glyphs : glyphs_)
            if (glyphs.font == run.rawFont() && glyphs.flags == run.flags()) return glyphs;
        glyphs_.push_back({run.rawFont(), run.flags(), {}, {}});
        return glyphs_.back();
    }

    struct TFontEntry {
        QFont font;
        std::map<QString, TShaped> texts;
    };
    struct TFontOrder {
        bool operator()(const TReportFont& a, const TReportFont& b) const {
            return std::tie(a.family, a.size, a.bold) < std::tie(b.family, b.size, b.bold);
        }
    };

    QPainter& painter_;
    double dots_;
    std::map<TReportFont, TFontEntry, TFontOrder> fonts_;
    // The page being painted.
    std::vector<TStrokes> strokes_;
    std::vector<TGlyphs> glyphs_;
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
