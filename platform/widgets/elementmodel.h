#pragma once
// What every placed element shares, whether it prints on a ticket face or stands on a venue map: a
// rectangle kept in pixels of 96 dpi, a caption, a font, border lines and a text of extra settings;
// and the scaling and border painting that draw it onto any canvas at any resolution and zoom.
//
// Resolution and zoom: a canvas of `dpi` dots per inch at zoom num/den shows a 96-dpi length L as
// L × num × dpi / (den × 96). The font's point size follows the zoom only; its pixels follow the
// resolution as well, so text keeps its place in the element at every resolution.

#include <QFont>
#include <QPoint>
#include <QRect>
#include <optional>
#include <string>

class QPainter;
class QRectF;

namespace kav {

inline constexpr int KAV_CUSTOM_ELEMENT_BASE_DPI = 96;

// Border lines, one bit each; the diagonals run corner to corner.
enum TElementBorder : int {
    ebLeft = 1,
    ebTop = 2,
    ebRight = 4,
    ebBottom = 8,
    ebLBRT = 16, // left bottom to right top
    ebLTRB = 32, // left top to right bottom
    ebBox = ebLeft | ebTop | ebRight | ebBottom,
};

struct TElementFont {
    std::string name; // empty or missing on the machine: the CJK face every installation has
    int points = 0;   // 0: the default size
    bool bold = false, italic = false, underline = false;

    int PointsOrDefault() const;
    // The font drawn on a canvas of `dpi` dots per inch at `zoom`, sized in pixels.
    QFont At(double dpi, double zoom = 1.0) const;
    bool operator==(const TElementFont&) const = default;
};

struct TElementModel {
    std::string caption;
    TElementFont font;
    int border = 0; // TElementBorder bits
    QRect rect;     // pixels of 96 dpi
    std::string extra;
};

// The resolution and zoom an element is drawn at. Usable only when all three are positive: drawing
// code never divides by a zoom or resolution of 0.
struct TElementScale {
    int dpi = KAV_CUSTOM_ELEMENT_BASE_DPI;
    int zoomNum = 1;
    int zoomDen = 1;

    bool Usable() const { return dpi > 0 && zoomNum > 0 && zoomDen > 0; }
    // Canvas pixels per 96-dpi pixel.
    double Factor() const;
    double Zoom() const { return static_cast<double>(zoomNum) / zoomDen; }
};

// The canvas rectangle of a 96-dpi rectangle whose canvas origin lies at the 96-dpi point `origin`,
// each coordinate and size multiplied and divided in whole pixels (rounded half away from zero).
// None when the scale is not usable.
std::optional<QRect> ElementRectAt(const QRect& rect, const QPoint& origin, const TElementScale& scale);

// The border lines of `border` inside `box` in black, `scale` canvas pixels wide (at least one); the
// right and bottom lines lie on the box's last pixels, not beyond it.
void PaintElementBorder(QPainter& painter, const QRectF& box, int border, double scale);

} // namespace kav
