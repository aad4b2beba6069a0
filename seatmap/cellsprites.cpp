#include "seatmap/cellsprites.h"

#include <QPainter>
#include <functional>

namespace kav {

std::size_t TKavCellSprites::KeyHash::operator()(const Key& key) const noexcept {
    std::size_t hash = std::hash<std::string>()(key.text);
    for (std::size_t part : {std::size_t(key.color), std::hash<std::string>()(key.shape),
                             std::size_t(key.width), std::size_t(key.height), std::size_t(key.fontPixels)})
        hash = hash * 1000003u ^ part;
    return hash;
}

// Shapes may reach one pixel past the cell's right and bottom edges; text is fitted into the cell.
QImage TKavCellSprites::Render(const QRect& cell, const TKavCellLook& look, const QFont& font) {
    QImage image(cell.width() + 1, cell.height() + 1, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setFont(font);
    TKavSeatMapConfig::PaintLook(painter, QRect(QPoint(0, 0), cell.size()), look);
    painter.end();
    return image;
}

void TKavCellSprites::Draw(QPainter& canvas, const QRect& rect, const TKavCellLook& look, const QFont& font) {
    Key key{look.Color, look.Shape, look.Text, rect.width(), rect.height(), font.pixelSize()};
    auto found = sprites_.find(key);
    if (found == sprites_.end()) {
        if (sprites_.size() >= kMaxSprites) sprites_.clear();
        found = sprites_.emplace(std::move(key), Render(rect, look, font)).first;
    }
    canvas.drawImage(rect.topLeft(), found->second);
}

} // namespace kav
