#pragma once
// Small builders shared by the dataset tests.

#include "platform/dataset/clientdataset.h"

#include <string>
#include <vector>

namespace kav::testing {

// ORDERCODE string(10) key, SEATCOUNT integer, RECEIVABLES float, ORDERSTATUS string(1).
inline void MakeOrders(TClientDataSet& ds) {
    ds.AddFieldDef("ORDERCODE", TFieldType::ftString, 10, true).key = true;
    ds.AddFieldDef("SEATCOUNT", TFieldType::ftInteger);
    ds.AddFieldDef("RECEIVABLES", TFieldType::ftFloat);
    ds.AddFieldDef("ORDERSTATUS", TFieldType::ftString, 1);
    ds.CreateDataSet();
}

// The values of one field along the view, as text.
inline std::vector<std::string> Column(TClientDataSet& ds, std::string_view field) {
    std::vector<std::string> values;
    auto bookmark = ds.GetBookmark();
    for (ds.First(); !ds.Eof(); ds.Next())
        values.push_back(ds.FieldByName(field).AsString());
    if (ds.BookmarkValid(bookmark)) ds.GotoBookmark(bookmark);
    return values;
}

} // namespace kav::testing
