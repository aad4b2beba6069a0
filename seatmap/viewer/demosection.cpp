#include "seatmap/viewer/demosection.h"

#include "platform/dataset/clientdataset.h"
#include "seatmap/seatmapconfig.h"
#include "seatmap/seatmapshow.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace kav {

std::optional<TKavCellInfo> DemoSeatAt(int row, int col, int rows, int cols, bool everyCell) {
    constexpr std::string_view levels = TKavSeatMapConfig::PriceCodes;
    constexpr std::string_view statuses = "FFFFFFFFFFBBAOOOOGGC";
    constexpr std::string_view kinds = "NNNNNNNNNNNNCZEWP";
    const int aisle1 = cols / 3;
    const int aisle2 = cols - cols / 3;
    // A fan: rows near the stage are narrower.
    const int inset = row < 4 ? 1000 : std::max(2, 12 - row);
    const bool seat = everyCell || (col > inset && col <= cols - inset && col != aisle1 && col != aisle2);
    if (!seat || row > rows || col > cols) return std::nullopt;
    TKavCellInfo cell;
    ClearCell(cell);
    const unsigned hash = static_cast<unsigned>(row * 7919 + col * 104729) % 9973u;
    cell.CellStatus = hash % 29 == 0 ? TKavCellStatus::kavcsLocked : TKavCellStatus::kavcsNormal;
    cell.PriceLevel = levels[static_cast<std::size_t>((row - 4) / 3) % levels.size()];
    cell.SeatStatus = statuses[hash % statuses.size()];
    cell.Kind = kinds[(hash / 7) % kinds.size()];
    cell.SeatCode = row * 1000 + col;
    cell.RowNo = static_cast<std::int16_t>(row - 3);
    cell.SeatNo = static_cast<std::int16_t>(everyCell ? col : col - inset);
    cell.FloorNo = 1;
    return cell;
}

void FillDemoSection(TKavSeatMapShow& map, int rows, int cols) {
    map.SetRowCount(rows);
    map.SetColCount(cols);
    for (int row = 1; row <= rows; ++row)
        for (int col = 1; col <= cols; ++col) {
            TKavCellInfo& cell = map.Cells(row, col);
            ClearCell(cell);
            if (const auto seat = DemoSeatAt(row, col, rows, cols)) cell = *seat;
        }
    map.RePaintCells();
}

void FillDemoPriceTable(TClientDataSet& prices, bool forMap) {
    prices.Close();
    prices.FieldDefs().clear();
    prices.AddFieldDef("PRICELEVEL", TFieldType::ftString, 1, true).displayLabel = "等级";
    prices.AddFieldDef("PRICE", TFieldType::ftInteger).displayLabel = "票价";
    if (forMap) {
        prices.AddFieldDef("PRICEMARK", TFieldType::ftString, 16);
        prices.AddFieldDef("TOTALSEATS", TFieldType::ftInteger);
    }
    prices.CreateDataSet();
    std::int64_t price = 1280;
    for (char level : TKavSeatMapConfig::PriceCodes) {
        std::vector<FieldValue> row{std::string(1, level), price};
        if (forMap) row.insert(row.end(), {level == 'A' ? "贵宾席" : "", 0});
        prices.AppendRecord(row);
        price -= 100;
    }
    prices.MergeChangeLog();
    prices.First();
}

} // namespace kav

namespace kav {

void FillDemoSeatData(const TDemoSeatData& data, int rows, int cols, bool everyCell) {
    data.section.Close();
    data.section.FieldDefs().clear();
    data.section.AddFieldDef("CNAME", TFieldType::ftString, 20);
    data.section.AddFieldDef("CELLROWS", TFieldType::ftSmallint);
    data.section.AddFieldDef("CELLCOLUMNS", TFieldType::ftSmallint);
    data.section.AddFieldDef("STYLE", TFieldType::ftString, 1);
    data.section.CreateDataSet();
    data.section.AppendRecord({"一楼A区", rows, cols, "2"});

    data.floors.Close();
    data.floors.FieldDefs().clear();
    data.floors.AddFieldDef("FLOORNO", TFieldType::ftSmallint);
    data.floors.AddFieldDef("NAME", TFieldType::ftString, 16);
    data.floors.CreateDataSet();
    data.floors.AppendRecord({1, "一层"});

    data.rows.Close();
    data.rows.FieldDefs().clear();
    data.rows.AddFieldDef("ROWNO", TFieldType::ftSmallint);
    data.rows.AddFieldDef("NAME", TFieldType::ftString, 16);
    data.rows.CreateDataSet();
    for (int row = 1; row <= rows; ++row)
        data.rows.AppendRecord({row - 3, std::to_string(row - 3) + "排"});

    TClientDataSet& seats = data.seats;
    seats.Close();
    seats.FieldDefs().clear();
    seats.AddFieldDef("SEATCODE", TFieldType::ftInteger);
    for (const char* name : {"FLOORNO", "ROWNO", "SEATNO", "X", "Y"})
        seats.AddFieldDef(name, TFieldType::ftSmallint);
    for (const char* name : {"ISADDITION", "STATUS", "KIND", "PRICELEVEL", "SELECTED"})
        seats.AddFieldDef(name, TFieldType::ftString, 1);
    seats.AddFieldDef("ORDERCODE", TFieldType::ftString, 20);
    seats.AddFieldDef("Description", TFieldType::ftString, 64);
    seats.CreateDataSet();
    for (int row = 1; row <= rows; ++row)
        for (int col = 1; col <= cols; ++col)
            if (const auto seat = DemoSeatAt(row, col, rows, cols, everyCell)) {
                const std::string status(1, seat->SeatStatus);
                seats.AppendRecord({seat->SeatCode, seat->FloorNo, seat->RowNo, seat->SeatNo, col, row, "N",
                                    status, std::string(1, seat->Kind), std::string(1, seat->PriceLevel), "N",
                                    status == "F" ? FieldValue() : FieldValue("K1"), FieldValue()});
            }
    seats.MergeChangeLog();
    seats.First();

    FillDemoPriceTable(data.prices, true);
}

} // namespace kav
