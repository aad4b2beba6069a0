#pragma once
// The CUPS print server as the printing seam uses it, through libcups: which queues exist, whether
// one can take a job now, and one job of bytes (a PDF page or raw receipt bytes).
//
// The server is the one libcups finds (CUPS_SERVER, ~/.cups/client.conf, the local daemon). Every
// call is synchronous; a server that does not answer makes InstalledQueues empty and the others fail.
//
// Threading: libcups keeps its connection per thread; call from one thread (the GUI thread).

#include "platform/widgets/printerchoice.h"

#include <string>
#include <string_view>

namespace kav {

TCupsQueues InstalledQueues();

// Raises EPrinterError naming the queue when it does not exist, the server does not answer, the
// queue is stopped or it does not accept jobs.
void CheckQueueReady(const std::string& queue);

// The queue's default resolution in dots per inch; `fallback` when it does not say.
int QueueResolution(const std::string& queue, int fallback);

inline constexpr const char* kCupsFormatPdf = "application/pdf";
inline constexpr const char* kCupsFormatRaw = "application/vnd.cups-raw";

// Sends `bytes` as one job of one document in `format` and returns the job id once the server has
// the whole document. `media` (a CUPS media name such as "Custom.180x69mm") may be empty. Raises
// EPrinterError with the server's reason when the job is refused; a half-sent job is cancelled.
int SubmitCupsJob(const std::string& queue, const std::string& title, const char* format,
                  std::string_view bytes, const std::string& media = {});

} // namespace kav
