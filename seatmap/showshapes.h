#pragma once
// Small painters for seat cells: shapes, flag marks and the fixed price-level colour table.
//
// A cell rectangle has edges Left, Top, Right, Bottom with Right = left() + width() and
// Bottom = top() + height() exclusive; cx and cy are the integer halves of Left+Right and Top+Bottom.
// Shape painters draw with the painter's current pen and brush (outline and fill) without
// antialiasing, so that shapes touch exactly the pixels of their cell. DrawShowAShape leaves the pen and
// brush red, flag painters leave the pen black; callers set what they need before the next drawing.

#include "seatmap/kavcolor.h"

#include <QPainter>
#include <QRect>
#include <string_view>

namespace kav {

// A fixed colour per price level (first letter, upper-cased); white for any other letter or "".
TColor GetShowPriceLevelColor(std::string_view level);

void DrawShowFShape(QPainter& canvas, const QRect& rect); // rounded rectangle, corner ellipse 10 x 20
void DrawShowOShape(QPainter& canvas, const QRect& rect); // the same rounded rectangle
void DrawShowAShape(QPainter& canvas, const QRect& rect); // rounded rectangle with a red centre dot
void DrawShowBShape(QPainter& canvas, const QRect& rect); // triangle pointing up
void DrawShowGShape(QPainter& canvas, const QRect& rect); // right triangle, right angle bottom left
void DrawShowTShape(QPainter& canvas, const QRect& rect); // triangle pointing right
void DrawShowCShape(QPainter& canvas, const QRect& rect); // circle

// Black line marks over a cell. DrawShowFlag picks the painter whose letter equals `flag` exactly
// ("W", "X", "Y" or "Z", case-sensitive) and draws nothing for any other value.
void DrawShowFlag(QPainter& canvas, const QRect& rect, std::string_view flag);
void DrawShowWFlag(QPainter& canvas, const QRect& rect); // two vertical lines at a quarter and three quarters
void DrawShowXFlag(QPainter& canvas, const QRect& rect); // both diagonals
void DrawShowYFlag(QPainter& canvas, const QRect& rect); // a V from the top corners to the bottom centre
void DrawShowZFlag(QPainter& canvas, const QRect& rect); // a cross through the centre

} // namespace kav
