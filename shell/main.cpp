// kav-client: log in, load the window packages, run the main window.

#include "dialogs/kavdialog.h"
#include "host/orb.h"
#include "platform/core/heapreuse.h"
#include "shell/kavapplication.h"
#include "shell/logindialog.h"
#include "shell/mainwindow.h"
#include "shell/options.h"
#include "shell/packageloader.h"
#include "shell/peliologingateway.h"
#include "shell/screenshotrun.h"
#include "shell/selfcheck.h"

#include <QDir>
#include <QScreen>
#include <filesystem>
#include <iostream>

namespace fs = std::filesystem;

namespace {

int RunClient(const kav::TClientOptions& options) {
    const fs::path programFolder = QCoreApplication::applicationDirPath().toStdString();
    if (options.screenshots) {
        kav::TPackageLoader packages;
        const std::vector<kav::TPackageFailure> failures =
            kav::LoadClientPackages(packages, programFolder, options.pluginFolder);
        if (!failures.empty()) std::cerr << kav::DescribePackageFailures(failures) << "\n";
        return kav::RunScreenshots(*options.screenshots, packages);
    }
    const fs::path settingsFile = kav::ConnectionSettingsPath(programFolder);
    const kav::ConnectionSettings settings = kav::ReadSettingsForLogin(settingsFile);
    // The shared connection reads the same file; one it cannot use (the problem was just shown) gets the
    // address the dialog starts from, so that the packages find their connection.
    try {
        kav::ORB();
    } catch (const kav::ConnectionSettingsError&) {
        kav::WriteServerAddress(settingsFile, settings.host, settings.port);
    }
    pelio::TPelioClient& connection = kav::ORB();
    kav::TPelioLoginGateway gateway(connection);
    kav::TLoginDialog login(settingsFile, settings, gateway);
    if (login.exec() != QDialog::Accepted) return 0;

    // Declared before the main window, so the packages outlive the snap-ins it creates from them.
    kav::TPackageLoader packages;
    const std::vector<kav::TPackageFailure> failures =
        kav::LoadClientPackages(packages, programFolder, options.pluginFolder);

    kav::TKavMainWindow window(kav::MakeShellSession(login.ContextText(), login.Host(), login.Port()),
                               [&connection] { return connection.Connected(); });
    // A seller works in this window all day: it takes the whole screen and the keyboard at once, so the
    // menu keys work without a click first.
    // Sized to the screen as well, for desktops without a window manager to maximise it (a kiosk).
    if (const QScreen* screen = window.screen()) window.setGeometry(screen->availableGeometry());
    window.showMaximized();
    window.activateWindow();
    if (!failures.empty()) kav::ShowErrorMessage(kav::DescribePackageFailures(failures));
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    kav::KeepFreedHeapForReuse();
    kav::TKavApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("售票系统"));
    kav::TClientOptions options;
    try {
        options = kav::ParseClientOptions({argv + 1, argv + argc});
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n' << kav::kClientUsage;
        return 2;
    }
    if (options.check)
        return kav::RunSelfCheck(QCoreApplication::applicationDirPath().toStdString(), options, std::cout);
    try {
        return RunClient(options);
    } catch (const std::exception& e) {
        // Only what happens before the event loop runs; inside it the application shows failures itself.
        kav::ShowErrorMessage(e.what());
        return 1;
    }
}
