#include "orderhandler/odrhtypes.h"

#include "host/sqltext.h"

#include <ostream>

namespace kav::orderhandler {

std::ostream& operator<<(std::ostream& out, const TCodeNameItem& item) {
    return out << item.code << '=' << item.name;
}

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
