#pragma once
// The member expense receipt, printed on the receipt printer after a member card paid an order: the
// member, the performance, one line per price level, the totals and the balance left on the card,
// and a line for the customer's signature. Its lines are kept in "MemberOrderInfo.txt" (UTF-8) of the
// working folder, from which "重打小票" prints the last receipt again; the printer gets them in GBK
// (platform/widgets/rawprinter.h).
//
// Threading: GUI thread.

#include "orderhandler/odrhmember.h"
#include "platform/core/datetime.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kav::orderhandler {

// The receipt printers of the order window and the single-order window, and of the multi-order window,
// as the box offices know them; the printing seam may map them to other queues.
inline constexpr const char* kReceiptPrinter = "TM-T81II";
inline constexpr const char* kManyOrdersReceiptPrinter = "SP-POS76II";
// The owner whose receipts leave out the member's points.
inline constexpr const char* kShortReceiptOwner = "KELMA";

// Which member lines a receipt has besides the name and the card number.
struct TMemberReceiptLayout {
    bool points = true;      // "会员积分: "
    bool memberClass = true; // "会员类别: "
};
// The single-order window's receipt for the session's owner code, and the multi-order window's.
TMemberReceiptLayout OrderReceiptLayout(const std::string& ownerCode);
TMemberReceiptLayout ManyOrdersReceiptLayout(const std::string& ownerCode);

// The receipt's lines, its first line "   欢迎购票" (the file keeps it, the printer gets its own title).
// The balance left is the member's balance less `chargedCents`, what this sale took from the card (0
// when the order was paid before and is only collected now).
std::vector<std::string> MemberReceiptLines(const TodrHOrderInfoRecord& order, const std::vector<TPriceLevelLine>& lines,
                                            const TOrderMemberInfoItem& member, const std::string& siteName,
                                            TMemberReceiptLayout layout, std::int64_t chargedCents, TDateTime now);

// Keeps the lines in `file` (CR LF between lines, written atomically), then prints them on `printerName`.
// Raises std::filesystem::filesystem_error when the file cannot be written and EPrinterError when the
// printer cannot be opened or refuses the job.
void PrintMemberReceipt(const std::vector<std::string>& lines, const std::string& printerName,
                        const std::filesystem::path& file);

// "MemberOrderInfo.txt" in the working folder.
std::filesystem::path MemberReceiptFile();

} // namespace kav::orderhandler
