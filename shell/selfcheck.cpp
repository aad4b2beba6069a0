#include "shell/selfcheck.h"

#include "platform/core/connectionsettings.h"
#include "platform/core/inifile.h"
#include "shell/packageloader.h"

namespace kav {

int RunSelfCheck(const std::filesystem::path& programFolder, const TClientOptions& options,
                 std::ostream& out) {
    bool usable = true;
    const std::filesystem::path settingsFile = ConnectionSettingsPath(programFolder);
    if (!std::filesystem::exists(settingsFile)) {
        out << "settings: " << settingsFile.string() << " is missing\n";
        usable = false;
    } else {
        try {
            const ConnectionSettings settings = ReadConnectionSettings(settingsFile);
            out << "settings: " << settingsFile.string() << ", server " << settings.host << ':'
                << settings.port << ", node " << (settings.nodeCode.empty() ? "(none)" : settings.nodeCode)
                << '\n';
        } catch (const std::exception& e) {
            out << "settings: " << e.what() << '\n';
            usable = false;
        }
    }

    const std::filesystem::path seatMapFile = programFolder / "SEATMAP.CFG";
    if (!IniFile(seatMapFile).FileExisted()) {
        out << "seat map configuration: " << seatMapFile.string() << " is missing\n";
        usable = false;
    } else {
        out << "seat map configuration: " << seatMapFile.string() << '\n';
    }

    TPackageLoader packages;
    const std::vector<TPackageFailure> failures =
        LoadClientPackages(packages, programFolder, options.pluginFolder);
    for (const std::filesystem::path& loaded : packages.Loaded())
        out << "package loaded: " << loaded.string() << '\n';
    for (const TPackageFailure& failure : failures)
        out << "package failed: " << failure.File << ": " << failure.Reason << '\n';
    packages.UnloadAll();
    return usable && failures.empty() ? 0 : 1;
}

} // namespace kav
