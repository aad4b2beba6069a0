#pragma once
// The command line of kav-client.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kav {

inline constexpr const char* kClientUsage =
    "usage: kav-client [--plugins FOLDER] [--check]\n"
    "  --plugins FOLDER  also load the window packages of FOLDER\n"
    "  --check           report the settings and window packages found, then exit (1 on a problem)\n";

struct TClientOptions {
    std::optional<std::filesystem::path> pluginFolder;
    bool check = false;
};

// `arguments` without the program name. Raises std::invalid_argument naming what cannot be used.
TClientOptions ParseClientOptions(const std::vector<std::string>& arguments);

} // namespace kav
