#include "seatmap/seatmapconfig.h"

#include "platform/core/inifile.h"
#include "platform/core/programfolder.h"
#include "platform/core/textcodec.h"
#include "seatmap/showshapes.h"

#include <QFontMetrics>
#include <QString>
#include <cmath>
#include <cstdint>
#include <limits>

namespace kav {
namespace {

constexpr std::string_view kFileName = "SEATMAP.CFG";
constexpr std::string_view kWhite = "$00FFFFFF";
constexpr int kMaskColor = 1;
constexpr int kMaskShape = 2;
constexpr int kMaskFlag = 4;

// Values are 32-bit: decimal within the signed range, or hexadecimal up to $FFFFFFFF.
std::uint32_t ParseValue(const IniFile& ini, std::string_view section, const std::string& key,
                         std::string_view def) {
    const auto value = IniFile::ParseInteger(ini.ReadString(section, key, def));
    if (!value || *value < std::numeric_limits<std::int32_t>::min() ||
        *value > std::numeric_limits<std::uint32_t>::max())
        throw EKavSeatMapConfig();
    return static_cast<std::uint32_t>(*value);
}

// Position of the first letter of `code` in `codes`, or npos.
std::size_t IndexOfLetter(std::string_view codes, std::string_view code) {
    return code.empty() ? std::string_view::npos : codes.find(code.front());
}

std::string CodeAt(std::string_view codes, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= codes.size()) return {};
    return std::string(1, codes[static_cast<std::size_t>(index)]);
}

// `font`, made smaller until `text` is no wider than `width`, so that a seat number never runs into the
// next seat.
QFont FontFitting(const QFont& font, const QString& text, int width) {
    int advance = QFontMetrics(font).horizontalAdvance(text);
    if (advance <= width || width <= 0) return font;
    QFont smaller = font;
    const bool inPixels = font.pixelSize() > 0;
    const double size = inPixels ? font.pixelSize() : font.pointSizeF();
    for (double fitted = std::floor(size * width / advance); advance > width && fitted >= 1; --fitted) {
        if (inPixels)
            smaller.setPixelSize(static_cast<int>(fitted));
        else
            smaller.setPointSizeF(fitted);
        advance = QFontMetrics(smaller).horizontalAdvance(text);
    }
    return smaller;
}

} // namespace

EKavSeatMapConfig::EKavSeatMapConfig()
    : std::runtime_error("颜色代码配文件(SEATMAP.CFG)格式不正确，请与系统管理员联系!") {}

TKavSeatMapConfig::TKavSeatMapConfig() {
    LoadConfiguratios(IniFile());
}

TKavSeatMapConfig::TKavSeatMapConfig(const std::filesystem::path& file) {
    try {
        LoadConfiguratios(IniFile(file));
    } catch (const std::runtime_error&) {
        // An unreadable file is reported like a malformed one: the user's remedy is the same.
        throw EKavSeatMapConfig();
    }
}

void TKavSeatMapConfig::LoadConfiguratios(const IniFile& ini) {
    TKavSeatMapConfig loaded = *this;
    for (std::size_t i = 0; i < PriceCodes.size(); ++i)
        loaded.LevelColors[i] =
            ParseValue(ini, "LEVEL", "LEVEL_" + CodeAt(PriceCodes, static_cast<int>(i)), kWhite);
    loaded.SelectedColor = ParseValue(ini, "LEVEL", "LEVEL_S", kWhite);
    loaded.LockedColor = ParseValue(ini, "LEVEL", "LEVEL_L", kWhite);
    for (std::size_t i = 0; i < StatusCodes.size(); ++i)
        loaded.StatusShapes[i] =
            ini.ReadString("STATUS", "STATUS_" + CodeAt(StatusCodes, static_cast<int>(i)), "F");
    for (std::size_t i = 0; i < KindCodes.size(); ++i) {
        const std::string code = CodeAt(KindCodes, static_cast<int>(i));
        loaded.KindNames[i] = ini.ReadString("KIND", code + "_NAME", "预留票");
        loaded.KindColors[i] = ParseValue(ini, "KIND", code + "_COLOR", kWhite);
        loaded.KindShapes[i] = ini.ReadString("KIND", code + "_SHAPE", "F");
        loaded.KindFlags[i] = ini.ReadString("KIND", code + "_FLAG", "");
        loaded.KindMasks[i] = static_cast<int>(ParseValue(ini, "KIND", code + "_MASK", "$04"));
    }
    *this = std::move(loaded);
}

TColor TKavSeatMapConfig::GetPriceColor(std::string_view code) const {
    const std::size_t at = code.empty() ? std::string_view::npos : PriceCodes.find(code);
    return at == std::string_view::npos ? 0 : LevelColors[at];
}

std::string TKavSeatMapConfig::GetPriceCode(int index) const {
    return CodeAt(PriceCodes, index);
}

std::string TKavSeatMapConfig::GetKindCode(int index) const {
    return CodeAt(KindCodes, index);
}

std::string TKavSeatMapConfig::GetKindName(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= KindNames.size()) return {};
    return KindNames[static_cast<std::size_t>(index)];
}

TKavCellLook TKavSeatMapConfig::CellLook(bool Locked, bool Selected, bool ShowMarks, bool PlainShapes,
                                         std::string_view PriceLevel, std::string_view Status,
                                         std::string_view Kind, std::string Text,
                                         std::string_view WorkState) const {
    TKavCellLook look;
    const std::size_t status = IndexOfLetter(StatusCodes, Status);
    if (Selected) {
        look.Color = SelectedColor;
        look.Shape = "F";
        if (ShowSeatNo != "1") Text.clear();
    } else if (Locked) {
        look.Color = LockedColor;
        if (status != std::string_view::npos) look.Shape = StatusShapes[status];
        Text.clear();
    } else {
        const std::size_t level = IndexOfLetter(PriceCodes, PriceLevel);
        look.Color = level == std::string_view::npos ? MapBackground : LevelColors[level];
        if (status != std::string_view::npos) look.Shape = StatusShapes[status];
        if (WorkState == "M" || WorkState == "S") {
            if (Status.empty() || Status.front() != 'F') {
                look.Color = LockedColor;
                look.Shape = "O";
                Text.clear();
                if (ShowMarks && status != std::string_view::npos) look.Shape = StatusShapes[status];
            } else if (const std::size_t kind = IndexOfLetter(KindCodes, Kind);
                       ShowMarks && kind != std::string_view::npos) {
                const int mask = KindMasks[kind];
                if (mask & kMaskColor) look.Color = KindColors[kind];
                if (mask & kMaskShape) look.Shape = KindShapes[kind];
                if (mask & kMaskFlag) Text = KindFlags[kind];
            }
        }
    }
    if (!ShowMarks || PlainShapes) look.Shape = !look.Shape.empty() && look.Shape.front() == 'F' ? "F" : "O";
    if (!Kind.empty() && Kind.front() == 'P') Text = "P";
    look.Text = std::move(Text);
    return look;
}

void TKavSeatMapConfig::DrawCell(QPainter& canvas, const QRect& rect, bool Locked, bool Selected,
                                 bool ShowMarks, bool PlainShapes, std::string_view PriceLevel,
                                 std::string_view Status, std::string_view Kind, std::string_view Text,
                                 std::string_view WorkState) const {
    const TKavCellLook look = CellLook(Locked, Selected, ShowMarks, PlainShapes, PriceLevel, Status, Kind,
                                       std::string(Text), WorkState);
    PaintLook(canvas, rect, look);
}

void TKavSeatMapConfig::PaintLook(QPainter& canvas, const QRect& rect, const TKavCellLook& look) {
    const QColor color = ToQColor(look.Color);
    canvas.setPen(color);
    canvas.setBrush(color);
    InnerDrawShape(canvas, rect, look.Shape);
    if (look.Text.empty()) return;
    const QString text = QString::fromUtf8(look.Text.data(), static_cast<qsizetype>(look.Text.size()));
    const QFont font = canvas.font();
    canvas.setFont(FontFitting(font, text, rect.width()));
    canvas.setPen(ToQColor(~look.Color & 0x00FFFFFF));
    canvas.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, text);
    canvas.setFont(font);
}

void TKavSeatMapConfig::InnerDrawShape(QPainter& canvas, const QRect& rect, std::string_view shape, bool) {
    using Painter = void (*)(QPainter&, const QRect&);
    struct Shape {
        std::string_view letter;
        Painter paint;
    };
    static constexpr Shape kShapes[] = {{"O", DrawShowOShape}, {"A", DrawShowAShape}, {"B", DrawShowBShape},
                                        {"G", DrawShowGShape}, {"T", DrawShowTShape}, {"C", DrawShowCShape}};
    const std::string upper = AsciiUpper(shape);
    for (const Shape& candidate : kShapes) {
        if (candidate.letter == upper) {
            candidate.paint(canvas, rect);
            return;
        }
    }
    DrawShowFShape(canvas, rect);
}

TKavSeatMapConfig& _SeatMapConfig() {
    static TKavSeatMapConfig config(ProgramFolder() / kFileName);
    return config;
}

} // namespace kav
