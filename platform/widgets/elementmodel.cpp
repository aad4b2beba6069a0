#include "platform/widgets/elementmodel.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kav {

namespace {

const QString kFallbackFamily = QStringLiteral("Noto Sans CJK SC");
constexpr int kDefaultFontPoints = 10;

// a × num / den in 64 bits, rounded half away from zero; den is positive.
int Scaled(int a, std::int64_t num, std::int64_t den) {
    const std::int64_t product = a * num;
    const std::int64_t half = den / 2;
    return static_cast<int>(product >= 0 ? (product + half) / den : -((-product + half) / den));
}

} // namespace

int TElementFont::PointsOrDefault() const {
    return points > 0 ? points : kDefaultFontPoints;
}

QFont TElementFont::At(double dpi, double zoom) const {
    QFont font;
    font.setFamilies({QString::fromStdString(name), kFallbackFamily});
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(PointsOrDefault() * zoom * dpi / 72.0))));
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    return font;
}

double TElementScale::Factor() const {
    return static_cast<double>(zoomNum) * dpi / (static_cast<double>(zoomDen) * KAV_CUSTOM_ELEMENT_BASE_DPI);
}

std::optional<QRect> ElementRectAt(const QRect& rect, const QPoint& origin, const TElementScale& scale) {
    if (!scale.Usable()) return std::nullopt;
    const std::int64_t f = static_cast<std::int64_t>(scale.zoomNum) * scale.dpi;
    const std::int64_t g = static_cast<std::int64_t>(scale.zoomDen) * KAV_CUSTOM_ELEMENT_BASE_DPI;
    return QRect(Scaled(rect.left() - origin.x(), f, g), Scaled(rect.top() - origin.y(), f, g),
                 Scaled(rect.width(), f, g), Scaled(rect.height(), f, g));
}

void PaintElementBorder(QPainter& painter, const QRectF& box, int border, double scale) {
    if ((border & (ebBox | ebLBRT | ebLTRB)) == 0) return;
    const double width = std::max(1.0, std::round(scale));
    painter.save();
    painter.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::SquareCap));
    painter.setBrush(Qt::NoBrush);
    // Lines run through the middle of their pixels, so that a 1-pixel line covers exactly one.
    const double inset = width / 2;
    const QPointF topLeft(box.left() + inset, box.top() + inset);
    const QPointF bottomRight(box.right() - inset, box.bottom() - inset);
    const QPointF topRight(bottomRight.x(), topLeft.y());
    const QPointF bottomLeft(topLeft.x(), bottomRight.y());
    if (border & ebLeft) painter.drawLine(topLeft, bottomLeft);
    if (border & ebTop) painter.drawLine(topLeft, topRight);
    if (border & ebRight) painter.drawLine(topRight, bottomRight);
    if (border & ebBottom) painter.drawLine(bottomLeft, bottomRight);
    if (border & ebLBRT) painter.drawLine(bottomLeft, topRight);
    if (border & ebLTRB) painter.drawLine(topLeft, bottomRight);
    painter.restore();
}

} // namespace kav
