#include "seatmap/showshapes.h"

#include "platform/core/textcodec.h"

#include <QPoint>
#include <algorithm>
#include <array>

namespace kav {
namespace {

struct Edges {
    int L, T, R, B, cx, cy;
    explicit Edges(const QRect& r)
        : L(r.left()), T(r.top()), R(r.left() + r.width()), B(r.top() + r.height()), cx((L + R) / 2),
          cy((T + B) / 2) {}
};

// A figure from (left, top) to (right, bottom), right and bottom exclusive: an aliased one-pixel
// outline of a rectangle of size (w, h) covers w + 1 columns, hence the one pixel less.
QRectF Figure(int left, int top, int right, int bottom) {
    return QRectF(left, top, right - left - 1, bottom - top - 1);
}

// Aliased rounded rectangles are rasterised half a pixel up and left of other figures; the shift makes
// them cover the same columns and rows as the cell.
QRectF RoundedFigure(int left, int top, int right, int bottom) {
    return Figure(left, top, right, bottom).translated(0.5, 0.5);
}

void DrawTriangle(QPainter& canvas, QPoint a, QPoint b, QPoint c) {
    const std::array<QPoint, 3> points{a, b, c};
    canvas.drawPolygon(points.data(), static_cast<int>(points.size()));
}

void SetBlackPen(QPainter& canvas) {
    QPen pen = canvas.pen();
    pen.setColor(Qt::black);
    canvas.setPen(pen);
}

} // namespace

TColor GetShowPriceLevelColor(std::string_view level) {
    struct LevelColor {
        char level;
        TColor color;
    };
    static constexpr LevelColor kColors[] = {
        {'A', 0x003D68F5}, {'B', 0x0032C8F0}, {'C', 0x0064C896}, {'D', 0x00007800}, {'E', 0x00F7BE64},
        {'F', 0x0096780A}, {'G', 0x003C8CF0}, {'H', 0x00001C79}, {'J', clBlack},    {'K', clBlack},
        {'M', clBlack},    {'N', clBlack},    {'S', 0x00F7646E}, {'L', 0x00999999}};
    if (level.empty()) return clWhite;
    const char letter = AsciiUpper(level.substr(0, 1)).front();
    for (const LevelColor& entry : kColors)
        if (entry.level == letter) return entry.color;
    return clWhite;
}

void DrawShowFShape(QPainter& canvas, const QRect& rect) {
    const Edges e(rect);
    canvas.drawRoundedRect(RoundedFigure(e.L, e.T, e.R, e.B), 5, 10, Qt::AbsoluteSize);
}

void DrawShowOShape(QPainter& canvas, const QRect& rect) {
    DrawShowFShape(canvas, rect);
}

void DrawShowAShape(QPainter& canvas, const QRect& rect) {
    DrawShowFShape(canvas, rect);
    const Edges e(rect);
    canvas.setPen(Qt::red);
    canvas.setBrush(Qt::red);
    canvas.drawRect(Figure(e.cx - 2, e.cy - 2, e.cx + 2, e.cy + 2));
}

void DrawShowBShape(QPainter& canvas, const QRect& rect) {
    const Edges e(rect);
    DrawTriangle(canvas, {e.cx, e.T}, {e.R, e.B}, {e.L, e.B});
}

void DrawShowGShape(QPainter& canvas, const QRect& rect) {
    const Edges e(rect);
    DrawTriangle(canvas, {e.L, e.T}, {e.R, e.B - 1}, {e.L, e.B - 1});
}

void DrawShowTShape(QPainter& canvas, const QRect& rect) {
    const Edges e(rect);
    DrawTriangle(canvas, {e.L, e.T}, {e.R, e.cy}, {e.L, e.B});
}

void DrawShowCShape(QPainter& canvas, const QRect& rect) {
    const Edges e(rect);
    const int r = std::min((e.R - e.L) / 2, (e.B - e.T) / 2);
    canvas.drawEllipse(Figure(e.cx - r, e.cy - r, e.cx + r, e.cy + r));
}

void DrawShowFlag(QPainter& canvas, const QRect& rect, std::string_view flag) {
    if (flag == "W")
        DrawShowWFlag(canvas, rect);
    else if (flag == "X")
        DrawShowXFlag(canvas, rect);
    else if (flag == "Y")
        DrawShowYFlag(canvas, rect);
    else if (flag == "Z")
        DrawShowZFlag(canvas, rect);
}

void DrawShowWFlag(QPainter& canvas, const QRect& rect) {
    const Edges e(rect);
    SetBlackPen(canvas);
    const int x1 = e.L + (e.R - e.L) / 4;
    const int x2 = e.L + (e.R - e.L) * 3 / 4;
    canvas.drawLine(x1, e.T, x1, e.B - 1);
    canvas.drawLine(x2, e.T, x2, e.B - 1);
}

void DrawShowXFlag(QPainter& canvas, const QRect& rect) {
    const Edges e(rect);
    SetBlackPen(canvas);
    canvas.drawLine(e.L, e.T, e.R - 1, e.B - 1);
    canvas.drawLine(e.R - 1, e.T, e.L, e.B - 1);
}

void DrawShowYFlag(QPainter& canvas, const QRect& rect) {
    const Edges e(rect);
    SetBlackPen(canvas);
    const QPoint bottom((e.L + e.R - 1) / 2, e.B - 1);
    canvas.drawLine(QPoint(e.L, e.T), bottom);
    canvas.drawLine(bottom, QPoint(e.R - 1, e.T));
}

void DrawShowZFlag(QPainter& canvas, const QRect& rect) {
    const Edges e(rect);
    SetBlackPen(canvas);
    canvas.drawLine(e.L, e.cy, e.R - 1, e.cy);
    canvas.drawLine(e.cx, e.T, e.cx, e.B - 1);
}

} // namespace kav
