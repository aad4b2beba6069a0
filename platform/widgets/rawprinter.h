#pragma once
// Raw prints for receipt printers: bytes the printer understands itself (ESC/POS), sent to CUPS as a
// raw job (or written into the print folder, printerchoice.h). Receipt printers read text in GBK,
// so text is converted from UTF-8 to GBK; a character GBK lacks prints as "?". ESC/POS commands are
// ASCII control bytes and pass through unchanged.
//
// Threading: that of cupsqueues.h (one thread, normally the GUI thread).

#include "platform/widgets/printsink.h"

#include <string>
#include <string_view>

namespace kav {

// The document name of a receipt job.
inline constexpr const char* kRawDocumentName = "Test Doc";

// UTF-8 text as the receipt printers' GBK bytes.
std::string ReceiptBytes(std::string_view utf8);

// Prints `bytes` unchanged as one raw job on the receipt printer chosen for `printerName` and returns
// the CUPS job id (0 for a folder). Raises EPrinterError, naming the printer, when it cannot be opened
// or refuses the job.
int PrintRawBytes(const std::string& printerName, const std::string& title, std::string_view bytes);

// `text` (UTF-8, with its ESC/POS commands) as GBK bytes in one raw job named "Test Doc".
int WriteRawStringToPrinter(const std::string& printerName, std::string_view text);

} // namespace kav
