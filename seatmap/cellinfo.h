#pragma once
// One cell of the seat map grid.

#include <cstdint>
#include <string>

namespace kav {

enum class TKavCellStatus : std::uint8_t {
    kavcsNone = 0,   // no seat here
    kavcsNormal = 1, // a seat that can be selected
    kavcsLocked = 2, // a seat shown but not selectable
};

struct TKavCellInfo {
    std::int32_t SeatCode = 0; // 0 for none
    char PriceLevel = '\0';
    std::int16_t FloorNo = 0; // a smallint in the seat data, like RowNo
    bool Selected = false;
    TKavCellStatus CellStatus = TKavCellStatus::kavcsNone;
    char Kind = '\0';
    char SeatStatus = '\0'; // F B A O G C
    std::int16_t RowNo = 0;
    std::int16_t SeatNo = 0;
    bool IsAddition = false;
    std::string SectionName;
    std::string FloorName;
    std::string RowName;
    std::string Description;
};

// Makes `cell` an empty place the way the composite map clears one: no seat, not selected, kind "N",
// status "F", floor, row and seat 1; the price level is kept.
void ClearCell(TKavCellInfo& cell);

} // namespace kav
