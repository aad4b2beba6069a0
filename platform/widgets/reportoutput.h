#pragma once
// Where a built report goes: painted with QPainter into a PDF (QPdfWriter), onto a printer (QPrinter, a
// CUPS queue) or into the print preview (QPrintPreviewDialog, which prints too). Texts keep their font
// (CJK fonts are embedded, so the PDF's text can be searched and copied); a text wider than its cell is
// painted in a smaller size rather than cut.
//
// Failures raise EReportOutput naming the file or printer: a PDF that cannot be written (the earlier
// file stays as it was: the PDF is written whole and then renamed into place), a printer that does not
// exist or cannot be opened (nothing is printed then).
//
// Threading: GUI thread only (painting needs the application's fonts).

#include "platform/widgets/reportdocument.h"

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

class QPrinter;
class QWidget;

namespace kav {

class EReportOutput : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

void WriteReportPdf(const TReportDocument& document, const std::filesystem::path& file);
// Prints on a printer set up by the caller (its page size and orientation are set to the report's).
void PrintReport(const TReportDocument& document, QPrinter& printer);
// Prints on the named printer (a CUPS queue); the system's default printer when the name is empty.
void PrintReport(const TReportDocument& document, const std::string& printerName);

// Shows the print preview, modally; the user may print from it. With a hook installed (tests) the
// document is handed to the hook instead and nothing is shown.
void PreviewReport(const TReportDocument& document, QWidget* parent);
using TReportPreviewHook = std::function<void(const TReportDocument&)>;
// Installs a hook (an empty one removes it) and returns the one it replaces.
TReportPreviewHook SetReportPreviewHook(TReportPreviewHook hook);

} // namespace kav
