#include "orderhandler/odrhtypes.h"

#include "host/sqltext.h"

namespace kav::orderhandler {

TSelectedProducts MakeSelectedProducts(const std::vector<TProductItem>& products) {
    TSelectedProducts selected;
    for (const TProductItem& product : products) {
        if (!selected[0].empty()) selected[0] += ',';
        selected[0] += SqlQuote(product.productCode);
        selected[1] += product.productName + ';';
    }
    return selected;
}

} // namespace kav::orderhandler
