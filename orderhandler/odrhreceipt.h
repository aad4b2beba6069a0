#pragma once
// The receipts the order window prints on the receipt printer: the statement of an order, and the
// reprint of the last member receipt. A receipt is the text of a raw ESC/POS job (UTF-8 here; the
// printing seam hands it to the printer in GBK): a title line, ESC "M1" (the small font), the lines,
// two line feeds and the paper cut GS "V1".

#include "orderhandler/odrhrecords.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kav::orderhandler {

inline constexpr const char* kStatementTitle = "               欢迎购票                 ";
inline constexpr const char* kMemberReceiptTitle = "              欢迎购票               ";

// The lines of an order's statement: performance, order, payment state, one line per price level
// with its price and count, the totals before and after discount, the customer and, when the order
// has one, its password.
std::vector<std::string> StatementLines(const TodrHOrderInfoRecord& order, const TodrHSeatInfoList& seats);

// The text of a receipt's raw job.
std::string ReceiptJob(const std::string& title, const std::vector<std::string>& lines);

// The lines of the last member receipt, from its file's second line on; nullopt when there is no file.
// The file is UTF-8, or the ansi code page when it is not valid UTF-8.
std::optional<std::vector<std::string>> ReadMemberReceiptLines(const std::filesystem::path& file);

} // namespace kav::orderhandler
