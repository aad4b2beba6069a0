#pragma once
// Data packets shaped like the order search's answer, for tests and benchmarks that bind orders
// without a server.

#include "platform/dataset/clientdataset.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kav::orderhandler::testing {

using Row = std::map<std::string, FieldValue>;         // column name -> value
using Discounts = std::vector<std::pair<double, int>>; // price, seat amount per price line

// The order rows (columns not given are null) with their price lines nested under
// OrderDiscountDataSet, each line at discount 90.
std::string OrderPacket(const std::vector<std::pair<Row, Discounts>>& orders);

} // namespace kav::orderhandler::testing
