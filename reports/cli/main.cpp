// kav-report: writes a report as PDF and Excel from the command line, for the nightly run.

#include "reports/cli/reportrun.h"

#include <QGuiApplication>
#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
    // Fonts and painting need an application; a nightly job has no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    kav::reports::TReportCommand command;
    try {
        const char* password = std::getenv("KAV_REPORT_PASSWORD");
        command = kav::reports::ParseReportCommand({argv + 1, argv + argc}, password ? password : "");
    } catch (const kav::reports::EReportUsage& e) {
        std::cerr << e.what() << "\n" << kav::reports::kReportUsage;
        return kav::reports::kExitUsage;
    }
    return kav::reports::RunReportCommand(command, std::cout, std::cerr);
}
