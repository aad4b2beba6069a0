#pragma once
// The order list's columns as the user arranged them, kept in "OptionsSet.xml" beside the program:
//
//   <OptionsSet>
//     <OrderHandler_OrderTitlesShowSet>
//       <OrderTitlesSortItem Sort_1="0" Sort_2="4" ... Sort_26="25"/>   column index (0-25) at each position
//       <OrderTitlesShowItem TitlesShow_1="OrderCode" TitlesShow_2="CustomerName" .../>   the shown columns
//     </OrderHandler_OrderTitlesShowSet>
//     ... other settings, kept as they are
//   </OptionsSet>
//
// Reading never fails: without the file or the element every column is shown in table order. A sort
// entry that is not a column index, or names a column an earlier position took, is ignored; a position
// without a usable entry takes its own index when that is still free, else the first free one, so the
// list is always the 26 columns, each once. Show entries that name no column are ignored; when none
// names a column, every column is shown. Writing replaces only that element, keeps the rest of the
// document, and replaces the file atomically.
//
// Threading: none.

#include "orderhandler/odrhrecords.h"

#include <filesystem>

namespace kav::orderhandler {

// The 26 columns in table order, all shown, numbered.
TOrderTitleInfoList DefaultOrderTitles();
// Numbered (NumberOrderTitles).
TOrderTitleInfoList LoadOrderTitles(const std::filesystem::path& file);
// Raises std::runtime_error naming the file when it cannot be written; an existing file that is not
// XML is replaced by a new document.
void SaveOrderTitles(const TOrderTitleInfoList& titles, const std::filesystem::path& file);
// Shown columns get grid column indexes 0, 1, 2 ... in list order; hidden ones -1.
void NumberOrderTitles(TOrderTitleInfoList& titles);

} // namespace kav::orderhandler
