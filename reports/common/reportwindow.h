#pragma once
// What the report windows do alike: run a generate action under the hourglass and show its report in the
// print preview, its prompts through the message dialogs; export a table to an Excel workbook the user
// names. GUI thread only.

#include "platform/widgets/excelexport.h"
#include "platform/widgets/reportdocument.h"

#include <functional>
#include <string>

class QWidget;

namespace kav::reports {

// Runs `generate` with the hourglass. Its report goes to the preview; an EReportCondition becomes its
// prompt, any other failure (a refused remote call, a layout that cannot be loaded) an error message.
// Returns whether a report was shown.
bool RunReport(QWidget* parent, const std::function<TReportDocument()>& generate);

// Asks for a file (suggesting `suggestedName`) and writes the table there; a failure is shown as an error.
// Returns whether a workbook was written.
bool ExportExcel(QWidget* parent, const TExcelTable& table, const std::string& caption,
                 const std::string& suggestedName);

} // namespace kav::reports
