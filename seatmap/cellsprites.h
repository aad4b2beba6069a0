#pragma once
// Painted seat cells kept as small images, so that a map of thousands of cells is painted by copying a
// few dozen distinct pictures instead of rasterising every shape and number again. A sprite is exactly
// what TKavSeatMapConfig::PaintLook paints for a look, a cell size and a font, on a transparent ground.
//
// Owned by one control; GUI thread only. The cache empties itself when it grows past a bound.

#include "seatmap/seatmapconfig.h"

#include <QFont>
#include <QImage>
#include <unordered_map>

namespace kav {

class TKavCellSprites {
public:
    // Paints `look` in `rect` with `font`, as PaintLook would on `canvas`.
    void Draw(QPainter& canvas, const QRect& rect, const TKavCellLook& look, const QFont& font);

    std::size_t Size() const { return sprites_.size(); }

private:
    struct Key {
        TColor color;
        std::string shape;
        std::string text;
        int width, height, fontPixels;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const noexcept;
    };
    // The image's top-left corner is the cell's.
    static QImage Render(const QRect& cell, const TKavCellLook& look, const QFont& font);

    static constexpr std::size_t kMaxSprites = 4096;
    std::unordered_map<Key, QImage, KeyHash> sprites_;
};

} // namespace kav
