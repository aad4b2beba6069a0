#pragma once
// The seat map's configuration: price-level colours, status and kind shapes, kind names and marks, read
// once per process from "SEATMAP.CFG" beside the program, and the routine that paints one seat cell
// from it.
//
// "SEATMAP.CFG" is an INI file (names match without regard to case). Colours are decimal or
// "$"-hexadecimal $00BBGGRR values:
//   [LEVEL]  LEVEL_<price code>, LEVEL_S (selected seat), LEVEL_L (locked seat); default $00FFFFFF
//   [STATUS] STATUS_<status code> = shape letter; default F
//   [KIND]   <kind code>_NAME (default "预留票"), _COLOR ($00FFFFFF), _SHAPE (F), _FLAG (empty),
//            _MASK ($04; bit 1 colour, bit 2 shape, bit 4 flag text apply on free seats with marks)
// A missing file is no error: every key takes its default.
//
// Threading: the configuration belongs to the GUI thread.

#include "seatmap/kavcolor.h"

#include <QPainter>
#include <QRect>
#include <array>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kav {

class IniFile;

// Raised when "SEATMAP.CFG" holds a colour or mask that is not a 32-bit integer, or cannot be read.
// what() is the text to show the user.
class EKavSeatMapConfig : public std::runtime_error {
public:
    EKavSeatMapConfig();
};

// What DrawCell paints for one cell: fill and outline colour, shape letter and the text (empty for none).
struct TKavCellLook {
    TColor Color = clBlack;
    std::string Shape;
    std::string Text;
    bool operator==(const TKavCellLook&) const = default;
};

class TKavSeatMapConfig final {
public:
    static constexpr std::string_view PriceCodes = "ABCDEFGHJKMN";
    static constexpr std::string_view StatusCodes = "FBAOGC";
    static constexpr std::string_view KindCodes = "CZEFKHTXY12345WP";
    static constexpr TColor MapBackground = 0x00DEEBEF;

    // Every value at its default, as with no file.
    TKavSeatMapConfig();
    // Reads the INI file at `file` (a missing file gives the defaults). Throws EKavSeatMapConfig.
    explicit TKavSeatMapConfig(const std::filesystem::path& file);

    // Takes every value from `ini`, defaults for keys it lacks. Throws EKavSeatMapConfig on a bad value
    // and then leaves the configuration unchanged.
    void LoadConfiguratios(const IniFile& ini);

    // Colour of the price level whose code is `code` (found as a substring of PriceCodes); 0 otherwise.
    TColor GetPriceColor(std::string_view code) const;
    // The index-th code (0-based) as a one-letter string; empty outside the range.
    std::string GetPriceCode(int index) const;
    std::string GetKindCode(int index) const;
    // The configured name of the index-th kind; empty outside the range.
    std::string GetKindName(int index) const;

    // The decision of DrawCell: colour, shape and text of a cell. Only the first letters of PriceLevel,
    // Status and Kind matter.
    TKavCellLook CellLook(bool Locked, bool Selected, bool ShowMarks, bool PlainShapes,
                          std::string_view PriceLevel, std::string_view Status, std::string_view Kind,
                          std::string Text, std::string_view WorkState) const;

    // Paints one cell as CellLook decides (PaintLook).
    void DrawCell(QPainter& canvas, const QRect& rect, bool Locked, bool Selected, bool ShowMarks,
                  bool PlainShapes, std::string_view PriceLevel, std::string_view Status,
                  std::string_view Kind, std::string_view Text, std::string_view WorkState) const;

    // Paints a decided look: the shape in its colour, then the text centred on one line in the painter's
    // font (made smaller when the text would be wider than the cell), in the complement of the colour.
    static void PaintLook(QPainter& canvas, const QRect& rect, const TKavCellLook& look);

    // Draws the shape named by the letter `shape` (any case) with the current pen and brush: F and O
    // rounded rectangle, A with a red centre dot, B up triangle, G right triangle, T right-pointing
    // triangle, C circle; anything else F. `flag` is not used.
    static void InnerDrawShape(QPainter& canvas, const QRect& rect, std::string_view shape,
                               bool flag = false);

    std::array<TColor, PriceCodes.size()> LevelColors{};
    std::array<std::string, StatusCodes.size()> StatusShapes;
    std::array<std::string, KindCodes.size()> KindNames;
    std::array<TColor, KindCodes.size()> KindColors{};
    std::array<std::string, KindCodes.size()> KindShapes;
    std::array<std::string, KindCodes.size()> KindFlags;
    std::array<int, KindCodes.size()> KindMasks{};
    TColor SelectedColor = clWhite;
    TColor LockedColor = clWhite;
    // "1" keeps seat numbers on selected seats; set by the seat map control.
    std::string ShowSeatNo;
};

// The process's configuration, read from "SEATMAP.CFG" in the program's folder on the first call.
// Throws EKavSeatMapConfig when the file is bad; the next call tries again. Lives to the end of the process.
TKavSeatMapConfig& _SeatMapConfig();

} // namespace kav
