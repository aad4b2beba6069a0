#pragma once
// Runs a kav-report command: logs in on its own connection, generates the report with the same data modules
// and services as the windows (the three collect reports and the shift close report), and writes the PDF
// (through the report's layout) and the Excel workbook (the report table with its display labels). Progress
// goes to `out`, refusals and failures to `errors`.

#include "reports/cli/reportoptions.h"

#include <ostream>

namespace kav::reports {

// The exit status (reportoptions.h). Needs a QGuiApplication for the PDF's fonts.
int RunReportCommand(const TReportCommand& command, std::ostream& out, std::ostream& errors);

} // namespace kav::reports
