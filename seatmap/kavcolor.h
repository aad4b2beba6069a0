#pragma once
// Colours as the seat map stores and configures them: 32-bit values in the form $00BBGGRR (red in the low
// byte, blue in the third). A high byte of $FF marks a system colour whose low byte is the system colour
// index (for example $FF00000F, button face); ToQColor resolves those against the application palette.
//
// ToQColor is the only place where such a value becomes a QColor.

#include <QColor>
#include <cstdint>

namespace kav {

using TColor = std::uint32_t;

constexpr TColor RGBColor(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

inline constexpr TColor clBlack = 0x00000000;
inline constexpr TColor clWhite = 0x00FFFFFF;
inline constexpr TColor clRed = 0x000000FF;
inline constexpr TColor clGreen = 0x00008000;
inline constexpr TColor clMaroon = 0x00000080;
inline constexpr TColor clGray = 0x00808080;
inline constexpr TColor clBtnFace = 0xFF00000F;

QColor ToQColor(TColor color);

} // namespace kav
