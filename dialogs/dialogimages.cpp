#include "dialogs/dialogimages.h"

#include <QPainter>
#include <QPainterPath>

namespace kav {
namespace {

constexpr int kSize = 32;

void DrawDisc(QPainter& p, const QColor& fill) {
    p.setPen(QPen(fill.darker(140), 1.5));
    p.setBrush(fill);
    p.drawEllipse(QRectF(2, 2, kSize - 4, kSize - 4));
}

void DrawGlyph(QPainter& p, const QString& glyph, const QRectF& box, const QColor& color) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(20);
    p.setFont(font);
    p.setPen(color);
    p.drawText(box, Qt::AlignCenter, glyph);
}

void DrawRemind(QPainter& p) {
    DrawDisc(p, QColor(0x2f, 0x80, 0xed));
    DrawGlyph(p, QStringLiteral("i"), QRectF(0, 0, kSize, kSize), Qt::white);
}

void DrawNotice(QPainter& p) {
    QPainterPath triangle;
    triangle.moveTo(kSize / 2.0, 2);
    triangle.lineTo(kSize - 2, kSize - 3);
    triangle.lineTo(2, kSize - 3);
    triangle.closeSubpath();
    p.setPen(QPen(QColor(0xb0, 0x80, 0x00), 1.5));
    p.setBrush(QColor(0xff, 0xc8, 0x20));
    p.drawPath(triangle);
    DrawGlyph(p, QStringLiteral("!"), QRectF(0, 6, kSize, kSize - 8), Qt::black);
}

void DrawError(QPainter& p) {
    DrawDisc(p, QColor(0xd9, 0x30, 0x25));
    p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 10), QPointF(22, 22));
    p.drawLine(QPointF(22, 10), QPointF(10, 22));
}

void DrawOk(QPainter& p) {
    DrawDisc(p, QColor(0x2e, 0xa0, 0x43));
    p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(9, 16.5), QPointF(14, 21.5), QPointF(23, 11)}));
}

void DrawWhich(QPainter& p) {
    DrawDisc(p, QColor(0x6a, 0x4c, 0xc8));
    DrawGlyph(p, QStringLiteral("?"), QRectF(0, 0, kSize, kSize), Qt::white);
}

} // namespace

QPixmap KavDialogImage(const QString& name) {
    void (*draw)(QPainter&) = nullptr;
    if (name == QLatin1String("remind"))
        draw = &DrawRemind;
    else if (name == QLatin1String("notice"))
        draw = &DrawNotice;
    else if (name == QLatin1String("error"))
        draw = &DrawError;
    else if (name == QLatin1String("ok"))
        draw = &DrawOk;
    else if (name == QLatin1String("which"))
        draw = &DrawWhich;
    if (draw == nullptr) return {};
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return pixmap;
}

} // namespace kav
