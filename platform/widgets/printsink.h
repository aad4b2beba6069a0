#pragma once
// TPrintSink: an opened printer. Opening checks that the printer can take work now (the CUPS queue
// exists and accepts jobs, or the folder can be written), so that a seller learns of a dead printer
// before anything is charged or numbered. Each Send is one finished print: one CUPS job, or one
// file in the folder, written atomically and never overwriting an earlier one
// ("<title>.pdf", "<title> (2).pdf", ...).
//
// Threading: that of cupsqueues.h (one thread).

#include "platform/widgets/printerchoice.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace kav {

enum class TPrintFormat {
    Pdf, // a page rendered by Qt; a folder gets "<title>.pdf"
    Raw, // bytes the printer understands itself (ESC/POS); a folder gets "<title>.prn"
};

class TPrintSink final {
public:
    // Raises EPrinterError naming the printer when it cannot be opened.
    explicit TPrintSink(TPrinterTarget target);

    const TPrinterTarget& Target() const { return target_; }

    // Raises EPrinterError when the print is refused; nothing of it is left behind then. `media`
    // names the page size for a CUPS queue ("Custom.180x69mm"; empty for raw prints). Returns the
    // CUPS job id, or 0 for a folder.
    int Send(const std::string& title, TPrintFormat format, std::string_view bytes,
             const std::string& media = {});

    // The file the next Send with this title would write (folder targets only).
    std::filesystem::path NextFile(const std::string& title, TPrintFormat format) const;

private:
    TPrinterTarget target_;
};

} // namespace kav
