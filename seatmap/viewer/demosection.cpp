#include "seatmap/viewer/demosection.h"

#include "platform/dataset/clientdataset.h"
#include "seatmap/seatmapconfig.h"
#include "seatmap/seatmapshow.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace kav {

void FillDemoSection(TKavSeatMapShow& map, int rows, int cols) {
    map.SetRowCount(rows);
    map.SetColCount(cols);
    constexpr std::string_view levels = TKavSeatMapConfig::PriceCodes;
    constexpr std::string_view statuses = "FFFFFFFFFFBBAOOOOGGC";
    constexpr std::string_view kinds = "NNNNNNNNNNNNCZEWP";
    const int aisle1 = cols / 3;
    const int aisle2 = cols - cols / 3;
    for (int row = 1; row <= rows; ++row) {
        // A fan: rows near the stage are narrower.
        const int inset = row < 4 ? 1000 : std::max(2, 12 - row);
        for (int col = 1; col <= cols; ++col) {
            TKavCellInfo& cell = map.Cells(row, col);
            ClearCell(cell);
            const bool seat = col > inset && col <= cols - inset && col != aisle1 && col != aisle2;
            if (!seat) continue;
            const unsigned hash = static_cast<unsigned>(row * 7919 + col * 104729) % 9973u;
            cell.CellStatus = hash % 29 == 0 ? TKavCellStatus::kavcsLocked : TKavCellStatus::kavcsNormal;
            cell.PriceLevel = levels[static_cast<std::size_t>((row - 4) / 3) % levels.size()];
            cell.SeatStatus = statuses[hash % statuses.size()];
            cell.Kind = kinds[(hash / 7) % kinds.size()];
            cell.SeatCode = row * 1000 + col;
            cell.RowNo = static_cast<std::int16_t>(row - 3);
            cell.SeatNo = static_cast<std::int16_t>(col - inset);
            cell.FloorNo = 1;
        }
    }
    map.RePaintCells();
}

void FillDemoPriceTable(TClientDataSet& prices) {
    prices.Close();
    prices.FieldDefs().clear();
    prices.AddFieldDef("PRICELEVEL", TFieldType::ftString, 1, true).displayLabel = "等级";
    prices.AddFieldDef("PRICE", TFieldType::ftInteger).displayLabel = "票价";
    prices.CreateDataSet();
    std::int64_t price = 1280;
    for (char level : TKavSeatMapConfig::PriceCodes) {
        prices.AppendRecord({std::string(1, level), price});
        price -= 100;
    }
    prices.First();
}

} // namespace kav
