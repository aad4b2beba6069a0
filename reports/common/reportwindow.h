#pragma once
// What the report windows do alike: run a generate action under the hourglass and show its report in the
// print preview, its prompts through the message dialogs; the generate action and its buttons; export a
// table to an Excel workbook the user names. GUI thread only.

#include "platform/widgets/excelexport.h"
#include "platform/widgets/reportdocument.h"

#include <QPushButton>
#include <functional>
#include <string>

class QAction;

namespace kav::reports {

// Runs `generate` with the hourglass. Its report goes to the preview; an EReportCondition becomes its
// prompt, any other failure (a refused remote call, a layout that cannot be loaded) an error message.
// Returns whether a report was shown.
bool RunReport(QWidget* parent, const std::function<TReportDocument()>& generate);

// The window's "生成报表" action (F5), added to the window so that its shortcut works anywhere in it.
QAction* NewGetReportAction(QWidget* window);
// A push button that triggers `action` and is enabled with it; its object name is "btn_" + the action's.
QPushButton* ActionButton(QAction* action, QWidget* parent);

// Asks for a file (suggesting `suggestedName`) and writes the table there; a failure is shown as an error.
// Returns whether a workbook was written.
bool ExportExcel(QWidget* parent, const TExcelTable& table, const std::string& caption,
                 const std::string& suggestedName);

} // namespace kav::reports
