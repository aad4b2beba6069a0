#pragma once
// The Excel export of the order window: the orders of the last search as a real .xlsx workbook, with
// the columns the user's customer-export rights allow (TodrHOrderInfoDataProvider::GetExportExcelDS).
// Before writing, each row gets its receivables rounded to cents, creator and handler as "code|name",
// and its sale class followed by the discount of its first price line: "正价票(100%)".
//
// Raises EExcelExport (platform/widgets/excelexport.h) naming the file when it cannot be written; an
// earlier file of that name is then left as it was.

#include "orderhandler/odrhorderprovider.h"

#include <filesystem>

namespace kav::orderhandler {

void ExportOrdersToExcel(TodrHOrderInfoDataProvider& provider, const std::filesystem::path& file);

} // namespace kav::orderhandler
