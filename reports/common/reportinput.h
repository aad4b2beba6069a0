#pragma once
// What a collect report's data module is given for a generate run: the performances the product box
// has ticked, and the report condition box's period and sort option.

#include "platform/dataset/clientdataset.h"
#include "reports/common/reportperiod.h"

#include <string>
#include <vector>

namespace kav::reports {

struct TProductSelection {
    std::vector<std::string> productCodes; // ticked, in the box's order
    // The box's second list, handed on unchanged to the seat count service: the ticked performances'
    // seat maps, one per line.
    std::string mapCodes;
    // The ticked performances: ProductCode, ProductName, PlaceName, HappenTime, MapCode. Not owned; it
    // must stay open during the run.
    TClientDataSet* brief = nullptr;
};

struct TReportCondition {
    TReportPeriod period;
    std::string sortOption; // "HappenTime", "ProductName" or "PlaceName"
};

// The ticked performances of a product table with those fields (as LoadProducts reads it), in the
// order of `codes`. Codes the table does not hold are returned in `unknown`.
TProductSelection SelectProducts(TClientDataSet& products, const std::vector<std::string>& codes,
                                 TClientDataSet& brief, std::vector<std::string>* unknown = nullptr);

// The layout file `name` in the "rep" folder beside the program.
std::string ReportLayoutFile(const std::string& name);

} // namespace kav::reports
