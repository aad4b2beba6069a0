#include "updater/gradientbar.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

namespace kav {

TGradientBar::TGradientBar(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TGradientBar::SetGradientWidth(qint64 width) {
    if (width == gradientWidth_) return;
    gradientWidth_ = width;
    update();
    emit GradientWidthChanged(width);
}

void TGradientBar::SetBeginColor(const QColor& color) {
    beginColor_ = color;
    update();
}

void TGradientBar::SetEndColor(const QColor& color) {
    endColor_ = color;
    update();
}

void TGradientBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.fillRect(area, palette().window());
    const int filled = static_cast<int>(std::clamp<qint64>(gradientWidth_, 0, area.width()));
    if (filled == 0) return;
    QLinearGradient gradient(area.left(), 0, area.left() + filled, 0);
    gradient.setColorAt(0, beginColor_);
    gradient.setColorAt(1, endColor_);
    painter.fillRect(QRect(area.left(), area.top(), filled, area.height()), gradient);
}

} // namespace kav
