#include "seatmap/elementbase.h"

#include <QPainter>
#include <exception>

namespace kav {

namespace {

bool InBand(int value, int from, int to) {
    return value >= from && value <= to;
}

constexpr QRgb kFocusedFrame = 0x800000; // dark red
constexpr QRgb kFrame = 0x808080;        // grey
constexpr QRgb kHandle = 0x000080;       // navy

} // namespace

TKavDragBox DragZoneAt(int x, int y, int w, int h) {
    const int s = KavDragHandleSize;
    const int midX = (w - s) / 2, midY = (h - s) / 2;
    const bool top = InBand(y, 0, s), middle = InBand(y, midY, midY + s), bottom = InBand(y, h - s, h);
    if (InBand(x, 0, s)) {
        if (top) return TKavDragBox::dbTopLeft;
        if (middle) return TKavDragBox::dbMidLeft;
        if (bottom) return TKavDragBox::dbBottomLeft;
        return TKavDragBox::dbNone;
    }
    if (InBand(x, w - s, w)) {
        if (top) return TKavDragBox::dbTopRight;
        if (middle) return TKavDragBox::dbMidRight;
        if (bottom) return TKavDragBox::dbBottomRight;
        return TKavDragBox::dbNone;
    }
    if (InBand(x, midX, midX + s)) {
        if (top) return TKavDragBox::dbTopMid;
        if (bottom) return TKavDragBox::dbBottomMid;
    }
    // The middle strip between the top and bottom handles moves the element like the rest of it.
    return TKavDragBox::dbDrag;
}

Qt::CursorShape CursorOfZone(TKavDragBox zone) {
    switch (zone) {
    case TKavDragBox::dbTopLeft:
    case TKavDragBox::dbBottomRight:
        return Qt::SizeFDiagCursor;
    case TKavDragBox::dbTopRight:
    case TKavDragBox::dbBottomLeft:
        return Qt::SizeBDiagCursor;
    case TKavDragBox::dbMidLeft:
    case TKavDragBox::dbMidRight:
        return Qt::SizeHorCursor;
    case TKavDragBox::dbTopMid:
    case TKavDragBox::dbBottomMid:
        return Qt::SizeVerCursor;
    case TKavDragBox::dbDrag:
        return Qt::PointingHandCursor;
    case TKavDragBox::dbNone:
        break;
    }
    return Qt::ArrowCursor;
}

TKavDragStep DragStep(TKavDragBox zone, const QRect& frame, QPoint start, QPoint mouse) {
    const int dx = mouse.x() - start.x(), dy = mouse.y() - start.y();
    const int l = frame.left(), t = frame.top(), w = frame.width(), h = frame.height();
    switch (zone) {
    case TKavDragBox::dbDrag:
        return {QRect(l + dx, t + dy, w, h), start};
    case TKavDragBox::dbTopLeft:
        return {QRect(l + dx, t + dy, w - dx, h - dy), start};
    case TKavDragBox::dbTopMid:
        return {QRect(l, t + dy, w, h - dy), start};
    case TKavDragBox::dbTopRight:
        return {QRect(l, t + dy, w + dx, h - dy), {mouse.x(), start.y()}};
    case TKavDragBox::dbMidLeft:
        return {QRect(l + dx, t, w - dx, h), start};
    case TKavDragBox::dbMidRight:
        return {QRect(l, t, w + dx, h), {mouse.x(), start.y()}};
    case TKavDragBox::dbBottomLeft:
        return {QRect(l + dx, t, w - dx, h + dy), {start.x(), mouse.y()}};
    case TKavDragBox::dbBottomMid:
        return {QRect(l, t, w, h + dy), {start.x(), mouse.y()}};
    case TKavDragBox::dbBottomRight:
        return {QRect(l, t, w + dx, h + dy), mouse};
    case TKavDragBox::dbNone:
        break;
    }
    return {frame, start};
}

std::string JoinElementItems(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) text += '|';
        const std::string& item = items[i];
        if (item.find_first_of(" \"|") == std::string::npos) {
            text += item;
            continue;
        }
        text += '"';
        for (char c : item) {
            if (c == '"') text += '"';
            text += c;
        }
        text += '"';
    }
    return text;
}

std::vector<std::string> SplitElementItems(const std::string& text) {
    std::vector<std::string> items;
    if (text.empty()) return items;
    std::string item;
    std::size_t i = 0;
    while (true) {
        item.clear();
        if (i < text.size() && text[i] == '"') {
            for (++i; i < text.size(); ++i) {
                if (text[i] != '"') {
                    item += text[i];
                } else if (i + 1 < text.size() && text[i + 1] == '"') {
                    item += '"';
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
            // Anything between the closing quote and the next bar belongs to the item.
            while (i < text.size() && text[i] != '|')
                item += text[i++];
        } else {
            while (i < text.size() && text[i] != '|')
                item += text[i++];
        }
        items.push_back(item);
        if (i >= text.size()) break;
        ++i; // the bar
    }
    return items;
}

std::string TKavElementBase::AsString() {
    std::vector<std::string> items;
    DoBuildExtraString(items);
    model_.extra = JoinElementItems(items);
    return model_.extra;
}

void TKavElementBase::SetAsString(const std::string& text) {
    model_.extra = text;
    try {
        DoBreakExtraString(SplitElementItems(text));
    } catch (const std::exception&) {
        // A malformed setting keeps the ones read before it, and the defaults after it.
    }
    Changed();
}

void TKavElementBase::SetCaption(const std::string& caption) {
    if (caption == model_.caption) return;
    model_.caption = caption;
    if (inDesign_) Changed();
}

void TKavElementBase::SetElementFont(const TElementFont& font) {
    if (font == model_.font) return;
    model_.font = font;
    if (inDesign_) Changed();
}

void TKavElementBase::SetBorder(int border) {
    if (border == model_.border) return;
    model_.border = border;
    if (inDesign_) Changed();
}

void TKavElementBase::SetInDesign(bool inDesign) {
    inDesign_ = inDesign;
    Changed();
}

bool TKavElementBase::SetFrameBox(int left, int top, int width, int height) {
    if (!inDesign_ || width < KavMinElementSize || height < KavMinElementSize) return false;
    AdjustFrameSize(width, height);
    model_.rect = QRect(left, top, width, height);
    FrameChanged();
    return true;
}

void TKavElementBase::OutputTo(QPainter& painter, QPoint origin, const TElementScale& scale) {
    const std::optional<QRect> rect = ElementRectAt(model_.rect, origin, scale);
    if (!rect) return;
    painter.save();
    painter.setFont(model_.font.At(scale.dpi, scale.Zoom()));
    DoDrawContent(painter, *rect, scale);
    painter.restore();
    PaintElementBorder(painter, *rect, model_.border, scale.Factor());
}

void TKavElementBase::PaintDragBorder(QPainter& painter, const QRect& client, bool focused) {
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor::fromRgb(focused ? kFocusedFrame : kFrame), 0, Qt::DotLine));
    painter.drawRect(client.adjusted(0, 0, -1, -1));
    if (focused) {
        const int s = KavDragHandleSize;
        const int w = client.width(), h = client.height();
        const int xs[] = {0, w / 2 - s / 2, w - s};
        const int ys[] = {0, h / 2 - s / 2, h - s};
        for (int y : ys)
            for (int x : xs)
                if (x != xs[1] || y != ys[1])
                    painter.fillRect(client.left() + x, client.top() + y, s, s, QColor(kHandle));
    }
    painter.restore();
}

} // namespace kav
