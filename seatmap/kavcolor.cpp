#include "seatmap/kavcolor.h"

#include <QGuiApplication>
#include <QPalette>

namespace kav {
namespace {

constexpr TColor kSystemColorFlag = 0xFF000000;

// The system colour indexes the seat map and its callers use, with the palette role that plays the same part.
QColor SystemColor(unsigned index) {
    QPalette::ColorRole role = QPalette::Button;
    switch (index) {
    case 0x05:
        role = QPalette::Base;
        break; // window background
    case 0x08:
        role = QPalette::Text;
        break; // window text
    case 0x0D:
        role = QPalette::Highlight;
        break; // selection
    case 0x0E:
        role = QPalette::HighlightedText;
        break; // selected text
    case 0x0F:
        role = QPalette::Button;
        break; // button face
    case 0x10:
        role = QPalette::Dark;
        break; // button shadow
    case 0x12:
        role = QPalette::ButtonText;
        break; // button text
    case 0x14:
        role = QPalette::Light;
        break; // button highlight
    default:
        break;
    }
    return QGuiApplication::palette().color(QPalette::Active, role);
}

} // namespace

QColor ToQColor(TColor color) {
    if ((color & kSystemColorFlag) == kSystemColorFlag) return SystemColor(color & 0xFF);
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

} // namespace kav
