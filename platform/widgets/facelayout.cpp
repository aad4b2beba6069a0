#include "platform/widgets/facelayout.h"

#include "platform/core/textcodec.h"
#include "platform/dataset/clientdataset.h"
#include "platform/widgets/barcodes.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace kav {

namespace {

constexpr int kLargestFace = 4000; // face units: a little over a metre; anything larger is a typo

std::string Text(TClientDataSet& dataSet, std::string_view name) {
    TField* field = dataSet.FindField(name);
    return field ? field->AsString() : std::string();
}

int Integer(TClientDataSet& dataSet, std::string_view name) {
    TField* field = dataSet.FindField(name);
    return field && !field->IsNull() ? field->AsInteger() : 0;
}

bool Flag(TClientDataSet& dataSet, std::string_view name) {
    return Text(dataSet, name) == "Y";
}

QString ToQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The text on one line, left aligned and centred vertically; shrunk to fit the element's width,
// because a ticket must never lose part of a seat name.
void PaintText(QPainter& painter, const QRectF& box, const TFaceElement& element, const std::string& text,
               double dpi) {
    if (text.empty()) return;
    const QString shown = ToQString(text);
    QFont font = element.font.At(dpi);
    const double advance = QFontMetricsF(font).horizontalAdvance(shown);
    if (advance > box.width() && advance > 0)
        font.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * box.width() / advance)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}

void PaintPicture(QPainter& painter, const QRectF& box, const QImage& picture, bool stretch) {
    if (stretch || picture.isNull()) {
        painter.drawImage(box, picture);
        return;
    }
    QSizeF size = QSizeF(picture.size()).scaled(box.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRectF(box.center() - QPointF(size.width() / 2, size.height() / 2), size), picture);
}

// Whole device dots per module, so that every bar of a code is equally wide on the printer.
void PaintSymbol(QPainter& painter, const QRectF& box, const TBarcodeSymbol& symbol) {
    const int across = symbol.columns + 2 * symbol.quietZone;
    const double room = symbol.linear ? box.width() : std::min(box.width(), box.height());
    const int module = std::max(1, static_cast<int>(room / across));
    const int left = static_cast<int>(std::lround(box.left() + (box.width() - module * symbol.columns) / 2));
    const int top =
        symbol.linear ? static_cast<int>(std::lround(box.top()))
                      : static_cast<int>(std::lround(box.top() + (box.height() - module * symbol.rows) / 2));
    const int barHeight = static_cast<int>(std::lround(box.height()));
    for (const TModuleRect& dark : symbol.dark)
        painter.fillRect(left + dark.x * module, symbol.linear ? top : top + dark.y * module,
                         dark.width * module, symbol.linear ? barHeight : dark.height * module, Qt::black);
}

void PaintStubSeparators(QPainter& painter, const TFaceLayout& layout, double scale) {
    QPen pen(Qt::black, std::max(1.0, std::round(scale)), Qt::DashLine);
    painter.setPen(pen);
    for (int k = 1; k <= layout.stubCount; ++k) {
        const int x = layout.stubsAtLeft ? k * layout.stubWidth : layout.width - k * layout.stubWidth;
        if (x <= 0 || x >= layout.width) continue;
        painter.drawLine(QPointF(x * scale, 0), QPointF(x * scale, layout.height * scale));
    }
}

} // namespace

std::string TFaceElement::FieldName() const {
    switch (type) {
    case TFaceElementType::Field:
        return caption;
    case TFaceElementType::Barcode:
        return caption.empty() ? "BARCODE" : caption;
    case TFaceElementType::QrCode:
        return caption.empty() ? "QRCODE" : caption;
    default:
        return {};
    }
}

TFaceElementType FaceElementTypeOf(const std::string& typeName) {
    static const std::pair<const char*, TFaceElementType> kTypes[] = {
        {"TSText", TFaceElementType::Text},     {"TSField", TFaceElementType::Field},
        {"TSImage", TFaceElementType::Image},   {"TSBarcode", TFaceElementType::Barcode},
        {"TSQRCode", TFaceElementType::QrCode},
    };
    for (const auto& [name, type] : kTypes)
        if (EqualsIgnoringCase(typeName, name)) return type;
    return TFaceElementType::Unknown;
}

TFaceLayout ReadFaceLayout(TClientDataSet& faces) {
    TFaceLayout layout;
    if (!faces.Active() || faces.IsEmpty()) return layout;
    layout.style = Text(faces, "TICKETSTYLE");
    layout.width = Integer(faces, "TICKETWIDTH");
    layout.height = Integer(faces, "TICKETHEIGHT");
    layout.stubCount = Integer(faces, "SUBQUANTITY");
    layout.stubWidth = Integer(faces, "SUBWIDTH");
    layout.stubsAtLeft = Flag(faces, "SUBATLEFT");
    layout.printerName = Text(faces, "PRINTNAME");
    layout.backPicture = Text(faces, "BACKPIC");
    return layout;
}

std::vector<TFaceElement> ReadFaceElements(TClientDataSet& elements) {
    std::vector<TFaceElement> result;
    if (!elements.Active()) return result;
    const TBookmark mark = elements.GetBookmark();
    for (elements.First(); !elements.Eof(); elements.Next()) {
        TFaceElement e;
        e.number = Integer(elements, "ELEMENTNO");
        e.typeName = Text(elements, "ELEMENTTYPE");
        e.type = FaceElementTypeOf(e.typeName);
        e.caption = Text(elements, "CAPTION");
        e.font.name = Text(elements, "FONTNAME");
        e.font.points = Integer(elements, "FONTHEIGHT");
        e.font.bold = Flag(elements, "FONTBOLD");
        e.font.italic = Flag(elements, "FONTITALIC");
        e.font.underline = Flag(elements, "FONTUNDERLINE");
        e.border = Integer(elements, "BORDER");
        e.rect = QRect(Integer(elements, "ELM_LEFT"), Integer(elements, "ELM_TOP"),
                       Integer(elements, "ELM_WIDTH"), Integer(elements, "ELM_HEIGHT"));
        e.extra = Text(elements, "EXTRASTRING");
        result.push_back(std::move(e));
    }
    if (mark && elements.BookmarkValid(mark)) elements.GotoBookmark(mark);
    return result;
}

void CheckFaceUsable(const TFaceLayout& layout, const std::vector<TFaceElement>& elements) {
    if (layout.width <= 0 || layout.height <= 0 || layout.width > kLargestFace ||
        layout.height > kLargestFace)
        throw ETicketFace("票面 " + layout.style + " 的尺寸 " + std::to_string(layout.width) + "×" +
                          std::to_string(layout.height) + " 无效");
    bool printsTicketData = false;
    for (const TFaceElement& e : elements) {
        const std::string name = "票面 " + layout.style + " 的元素 " + std::to_string(e.number);
        if (e.type == TFaceElementType::Unknown)
            throw ETicketFace(name + " 的类型 " + e.typeName + " 无法打印");
        if (e.rect.width() <= 0 || e.rect.height() <= 0) throw ETicketFace(name + " 没有大小");
        if (!e.FieldName().empty()) printsTicketData = true;
    }
    if (!printsTicketData)
        throw ETicketFace("票面 " + layout.style + " 没有打印票张数据的元素，每张票都会一样");
}

void TPictureCache::SetFolder(std::filesystem::path folder) {
    if (folder == folder_) return;
    folder_ = std::move(folder);
    loaded_.clear();
}

const QImage* TPictureCache::Find(const std::string& file) {
    if (file.empty()) return nullptr;
    auto found = loaded_.find(file);
    if (found == loaded_.end()) {
        const std::filesystem::path path =
            std::filesystem::path(file).is_absolute() ? std::filesystem::path(file) : folder_ / file;
        QImage picture(QString::fromStdString(path.string()));
        found = loaded_.emplace(file, picture.isNull() ? std::nullopt : std::optional<QImage>(picture)).first;
    }
    return found->second ? &*found->second : nullptr;
}

void PaintFace(QPainter& painter, double dpi, const TFaceLayout& layout,
               const std::vector<TFaceElement>& elements, const TFieldText& fieldText,
               TPictureCache& pictures) {
    const double scale = dpi / 96.0;
    painter.save();
    if (const QImage* back = pictures.Find(layout.backPicture))
        painter.drawImage(QRectF(0, 0, layout.width * scale, layout.height * scale), *back);
    PaintStubSeparators(painter, layout, scale);
    for (const TFaceElement& e : elements) {
        const QRectF box(e.rect.left() * scale, e.rect.top() * scale, e.rect.width() * scale,
                         e.rect.height() * scale);
        switch (e.type) {
        case TFaceElementType::Text:
            PaintText(painter, box, e, e.caption, dpi);
            break;
        case TFaceElementType::Field:
            PaintText(painter, box, e, fieldText(e.caption), dpi);
            break;
        case TFaceElementType::Image: {
            // "mode|...|file": the picture after the last bar (FitPIC replaces it), the mode first.
            const std::size_t last = e.extra.rfind('|');
            const std::string mode =
                last == std::string::npos ? std::string() : e.extra.substr(0, e.extra.find('|'));
            const std::string file = last == std::string::npos ? e.extra : e.extra.substr(last + 1);
            if (const QImage* picture = pictures.Find(file))
                PaintPicture(painter, box, *picture, EqualsIgnoringCase(mode, "stretch"));
            break;
        }
        case TFaceElementType::Barcode:
            PaintSymbol(painter, box, Code128Symbol(fieldText(e.FieldName())));
            break;
        case TFaceElementType::QrCode:
            PaintSymbol(painter, box, QrCodeSymbol(fieldText(e.FieldName())));
            break;
        case TFaceElementType::Unknown:
            break;
        }
        PaintElementBorder(painter, box, e.border, scale);
    }
    painter.restore();
}

} // namespace kav
