#pragma once
// The 26 columns the order list can show, by index 0-25. The field name is the key stored in the
// column settings and the name under which a record's value is found.

#include "orderhandler/odrhtypes.h"

#include <array>
#include <optional>
#include <string_view>

namespace kav::orderhandler {

struct TOrderColumn {
    std::string_view fieldName;
    std::string_view title;
    int width; // pixels
    TFieldType sortKind;
};

inline constexpr int kOrderColumnCount = 26;

const std::array<TOrderColumn, kOrderColumnCount>& OrderColumns();
// Index of the column with that field name (exact), or nullopt.
std::optional<int> FindOrderColumn(std::string_view fieldName);

} // namespace kav::orderhandler
