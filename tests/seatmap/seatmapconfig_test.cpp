#include "platform/core/inifile.h"
#include "seatmap/seatmapconfig.h"
#include "seatmap/showshapes.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace kav;
namespace fs = std::filesystem;

namespace {

const std::string kBadFileText = "颜色代码配文件(SEATMAP.CFG)格式不正确，请与系统管理员联系!";

TKavSeatMapConfig FromText(const std::string& text) {
    TKavSeatMapConfig config;
    config.LoadConfiguratios(IniFile::FromText(text));
    return config;
}

} // namespace

TEST(SeatMapConfig, MissingFileGivesDefaults) {
    const TKavSeatMapConfig config(fs::temp_directory_path() / "no-such-folder-kav" / "SEATMAP.CFG");
    for (TColor color : config.LevelColors)
        EXPECT_EQ(color, clWhite);
    EXPECT_EQ(config.SelectedColor, clWhite);
    EXPECT_EQ(config.LockedColor, clWhite);
    for (const auto& shape : config.StatusShapes)
        EXPECT_EQ(shape, "F");
    for (std::size_t i = 0; i < config.KindNames.size(); ++i) {
        EXPECT_EQ(config.KindNames[i], "预留票");
        EXPECT_EQ(config.KindShapes[i], "F");
        EXPECT_EQ(config.KindMasks[i], 4);
        EXPECT_EQ(config.KindFlags[i], "");
        EXPECT_EQ(config.KindColors[i], clWhite);
    }
}

TEST(SeatMapConfig, ReadsDecimalAndHexValuesWithAnyCase) {
    const fs::path folder = fs::temp_directory_path() / "kav-seatmap-config-test";
    fs::create_directories(folder);
    {
        std::ofstream out(folder / "SEATMAP.CFG");
        out << "[level]\nlevel_a=$000000FF\nLEVEL_N=65280\nLEVEL_S=$FF00000F\nLEVEL_L=$00999999\n"
               "[Status]\nSTATUS_O=C\n"
               "[KIND]\nZ_NAME=赠票\nz_color=$00C000C0\nZ_SHAPE=T\nZ_FLAG=Z\nZ_MASK=7\n";
    }
    const TKavSeatMapConfig config(folder / "SEATMAP.CFG");
    fs::remove_all(folder);
    EXPECT_EQ(config.GetPriceColor("A"), 0x000000FFu);
    EXPECT_EQ(config.GetPriceColor("N"), 0x0000FF00u);
    EXPECT_EQ(config.GetPriceColor("B"), clWhite);
    EXPECT_EQ(config.SelectedColor, 0xFF00000Fu); // system colours keep their high byte
    EXPECT_EQ(config.LockedColor, 0x00999999u);
    EXPECT_EQ(config.StatusShapes[3], "C");
    EXPECT_EQ(config.GetKindCode(1), "Z");
    EXPECT_EQ(config.GetKindName(1), "赠票");
    EXPECT_EQ(config.KindColors[1], 0x00C000C0u);
    EXPECT_EQ(config.KindMasks[1], 7);
}

TEST(SeatMapConfig, BadValueFailsWithTheUserMessageAndChangesNothing) {
    for (const char* text : {"[LEVEL]\nLEVEL_A=red\n", "[LEVEL]\nLEVEL_L=$\n", "[KIND]\nP_MASK=4x\n",
                             "[KIND]\nC_COLOR=$1FFFFFFFF\n", "[LEVEL]\nLEVEL_B=99999999999\n"}) {
        SCOPED_TRACE(text);
        TKavSeatMapConfig config = FromText("[LEVEL]\nLEVEL_C=$00123456\n");
        try {
            config.LoadConfiguratios(IniFile::FromText(text));
            ADD_FAILURE() << "no error";
        } catch (const EKavSeatMapConfig& error) {
            EXPECT_EQ(error.what(), kBadFileText);
        }
        EXPECT_EQ(config.GetPriceColor("C"), 0x00123456u);
    }
    // Shapes, names and flags are text: anything goes.
    EXPECT_NO_THROW(FromText("[STATUS]\nSTATUS_F=what\n[KIND]\nC_NAME=$$\nC_FLAG=12x\n"));
    // A negative decimal is a valid integer.
    EXPECT_EQ(FromText("[LEVEL]\nLEVEL_A=-1\n").GetPriceColor("A"), 0xFFFFFFFFu);
}

TEST(SeatMapConfig, CodesAndNamesByIndex) {
    const TKavSeatMapConfig config;
    EXPECT_EQ(config.GetPriceCode(0), "A");
    EXPECT_EQ(config.GetPriceCode(8), "J"); // no I
    EXPECT_EQ(config.GetPriceCode(11), "N");
    EXPECT_EQ(config.GetPriceCode(12), "");
    EXPECT_EQ(config.GetPriceCode(-1), "");
    EXPECT_EQ(config.GetKindCode(15), "P");
    EXPECT_EQ(config.GetKindName(16), "");
    // Codes outside the table, and the empty code, have no colour.
    const TKavSeatMapConfig coloured = FromText("[LEVEL]\nLEVEL_A=$00010203\nLEVEL_B=$00040506\n");
    EXPECT_EQ(coloured.GetPriceColor("L"), 0u);
    EXPECT_EQ(coloured.GetPriceColor("0"), 0u);
    EXPECT_EQ(coloured.GetPriceColor(""), 0u);
    EXPECT_EQ(coloured.GetPriceColor("a"), 0u);
    EXPECT_EQ(coloured.GetPriceColor("AB"), 0x00010203u); // found as a substring
}

TEST(SeatMapConfig, FixedPriceLevelColours) {
    const std::pair<const char*, TColor> cases[] = {
        {"A", 0x003D68F5}, {"b", 0x0032C8F0}, {"C", 0x0064C896}, {"D", 0x00007800}, {"E", 0x00F7BE64},
        {"F", 0x0096780A}, {"G", 0x003C8CF0}, {"H", 0x00001C79}, {"J", 0},          {"k", 0},
        {"M", 0},          {"N", 0},          {"S", 0x00F7646E}, {"L", 0x00999999}, {"Hx", 0x00001C79},
        {"", clWhite},     {"X", clWhite},    {"I", clWhite},    {"1", clWhite}};
    for (const auto& [level, color] : cases)
        EXPECT_EQ(GetShowPriceLevelColor(level), color) << level;
    EXPECT_EQ(ToQColor(0x003D68F5), QColor(245, 104, 61));
}

// The cell decision, one row per branch. The configuration gives every value a distinct colour or
// shape so that a row shows where each part of the result came from.
struct CellCase {
    const char* name;
    bool locked, selected, marks, plain;
    const char *level, *status, *kind, *text, *work;
    TKavCellLook expected;
};

class CellLookTest : public ::testing::TestWithParam<CellCase> {
protected:
    static TKavSeatMapConfig Config() {
        return FromText("[LEVEL]\nLEVEL_A=$00000011\nLEVEL_S=$000000AA\nLEVEL_L=$000000BB\n"
                        "[STATUS]\nSTATUS_F=F\nSTATUS_B=B\nSTATUS_A=A\nSTATUS_O=C\nSTATUS_G=G\nSTATUS_C=T\n"
                        "[KIND]\nC_COLOR=$000000C1\nC_SHAPE=G\nC_FLAG=W\nC_MASK=7\n"
                        "Z_COLOR=$000000C2\nZ_SHAPE=B\nZ_FLAG=Z\nZ_MASK=1\n"
                        "E_SHAPE=T\nE_MASK=2\nP_COLOR=$000000C3\nP_MASK=1\n");
    }
};

TEST_P(CellLookTest, Decides) {
    const CellCase& c = GetParam();
    TKavSeatMapConfig config = Config();
    const TKavCellLook look =
        config.CellLook(c.locked, c.selected, c.marks, c.plain, c.level, c.status, c.kind, c.text, c.work);
    EXPECT_EQ(look.Color, c.expected.Color);
    EXPECT_EQ(look.Shape, c.expected.Shape);
    EXPECT_EQ(look.Text, c.expected.Text);
}

INSTANTIATE_TEST_SUITE_P(
    Branches, CellLookTest,
    ::testing::Values(
        // Selected wins over everything; the number goes unless seat numbers are shown.
        CellCase{"Selected", true, true, true, false, "A", "O", "C", "12", "S", {0xAA, "F", ""}},
        // Locked: locked colour, status shape only with marks, never text.
        CellCase{"LockedMarks", true, false, true, false, "A", "B", "N", "12", "R", {0xBB, "B", ""}},
        CellCase{"LockedPlain", true, false, false, false, "A", "B", "N", "12", "R", {0xBB, "O", ""}},
        CellCase{"LockedUnknownStatus", true, false, true, false, "A", "X", "N", "1", "R", {0xBB, "", ""}},
        // Normal branch in selling states: level colour and status shape, text kept.
        CellCase{"Normal", false, false, true, false, "A", "G", "N", "7", "R", {0x11, "G", "7"}},
        CellCase{"NormalNoMarks", false, false, false, false, "A", "G", "N", "7", "C", {0x11, "O", "7"}},
        CellCase{"NormalFreeNoMarks", false, false, false, false, "A", "F", "N", "7", "R", {0x11, "F", "7"}},
        CellCase{"UnknownLevelIsBackground",
                 false,
                 false,
                 false,
                 false,
                 "L",
                 "F",
                 "N",
                 "",
                 "R",
                 {0x00DEEBEF, "F", ""}},
        CellCase{"EmptyLevel", false, false, false, false, "", "F", "N", "", "R", {0x00DEEBEF, "F", ""}},
        // Layout work states: taken seats look locked.
        CellCase{"SoldInS", false, false, false, false, "A", "O", "N", "9", "S", {0xBB, "O", ""}},
        CellCase{"SoldInMWithMarks", false, false, true, false, "A", "O", "N", "9", "M", {0xBB, "C", ""}},
        CellCase{"SoldMarksPlain", false, false, true, true, "A", "C", "N", "9", "M", {0xBB, "O", ""}},
        CellCase{"PrintingWithMarks", false, false, true, false, "A", "A", "N", "9", "S", {0xBB, "A", ""}},
        // Free seats with marks take what the kind's mask allows.
        CellCase{"KindAll", false, false, true, false, "A", "F", "C", "9", "S", {0xC1, "G", "W"}},
        CellCase{"KindColourOnly", false, false, true, false, "A", "F", "Z", "9", "S", {0xC2, "F", "9"}},
        CellCase{"KindShapeOnly", false, false, true, false, "A", "F", "E", "9", "M", {0x11, "T", "9"}},
        CellCase{"KindShapePlain", false, false, true, true, "A", "F", "E", "9", "M", {0x11, "O", "9"}},
        CellCase{"KindWithoutMarks", false, false, false, false, "A", "F", "C", "9", "S", {0x11, "F", "9"}},
        CellCase{"NotAKind", false, false, true, false, "A", "F", "N", "9", "S", {0x11, "F", "9"}},
        CellCase{
            "KindIgnoredOutsideLayout", false, false, true, false, "A", "F", "C", "9", "R", {0x11, "F", "9"}},
        // Kind P always says P, whatever the mask and branch.
        CellCase{"KindPColourMask", false, false, true, false, "A", "F", "P", "9", "S", {0xC3, "F", "P"}},
        CellCase{"KindPLocked", true, false, false, false, "A", "O", "P", "9", "R", {0xBB, "O", "P"}},
        CellCase{"KindPSelected", false, true, false, false, "A", "F", "P", "", "R", {0xAA, "F", "P"}}),
    [](const ::testing::TestParamInfo<CellCase>& info) { return std::string(info.param.name); });

TEST(SeatMapConfig, SelectedSeatKeepsItsNumberOnlyWhenSeatNumbersShow) {
    TKavSeatMapConfig config;
    for (const char* value : {"", "0", "Y", "11"}) {
        config.ShowSeatNo = value;
        EXPECT_EQ(config.CellLook(false, true, false, false, "A", "F", "N", "12", "R").Text, "") << value;
    }
    config.ShowSeatNo = "1";
    EXPECT_EQ(config.CellLook(false, true, false, false, "A", "F", "N", "12", "R").Text, "12");
    // Locked seats lose their number either way.
    EXPECT_EQ(config.CellLook(true, false, false, false, "A", "F", "N", "12", "R").Text, "");
}
