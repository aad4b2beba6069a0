#pragma once
// The command line of kav-client.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kav {

inline constexpr const char* kClientUsage =
    "usage: kav-client [--plugins FOLDER] [--check]\n"
    "       kav-client [--plugins FOLDER] --screenshots FOLDER --server HOST:PORT --user CODE --password P\n"
    "  --plugins FOLDER      also load the window packages of FOLDER\n"
    "  --check               report the settings and window packages found, then exit (1 on a problem)\n"
    "  --screenshots FOLDER  log in, open every window of the installed packages and the dialogs they open,\n"
    "                        save one PNG per window into FOLDER, and exit\n";

// The screenshot run: where the pictures go and whom to log in as.
struct TScreenshotOptions {
    std::filesystem::path folder;
    std::string host;
    int port = 0;
    std::string userCode;
    std::string password;
};

struct TClientOptions {
    std::optional<std::filesystem::path> pluginFolder;
    bool check = false;
    std::optional<TScreenshotOptions> screenshots;
};

// `arguments` without the program name. Raises std::invalid_argument naming what cannot be used: an
// unknown argument, a missing value, a server that is not HOST:PORT, or --server, --user or --password
// without --screenshots (and the other way round).
TClientOptions ParseClientOptions(const std::vector<std::string>& arguments);

} // namespace kav
