#include "seatmap/pricelevels.h"

#include "platform/dataset/clientdataset.h"

#include <string>

namespace kav {

void CompletePriceLevels(TClientDataSet& prices, bool levelsForNoPrices) {
    const std::string levels = std::string(levelsForNoPrices && prices.IsEmpty() ? "ABCDEFGH" : "") + "LSXYZ";
    prices.DisableControls();
    try {
        for (char level : levels) {
            const std::string text(1, level);
            if (prices.Locate("PRICELEVEL", {text})) continue;
            prices.Append();
            prices.FieldByName("PRICELEVEL").SetAsString(text);
            prices.Post();
        }
        prices.MergeChangeLog();
        prices.First();
    } catch (...) {
        if (prices.State() != TDataSetState::dsBrowse) prices.Cancel();
        prices.EnableControls();
        throw;
    }
    prices.EnableControls();
}

} // namespace kav
