#pragma once
// The command line of kav-client.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kav {

inline constexpr const char* kClientUsage = "usage: kav-client [--plugins FOLDER]\n"
                                            "  --plugins FOLDER  also load the window packages of FOLDER\n";

struct TClientOptions {
    std::optional<std::filesystem::path> pluginFolder;
};

// `arguments` without the program name. Raises std::invalid_argument naming what cannot be used.
TClientOptions ParseClientOptions(const std::vector<std::string>& arguments);

} // namespace kav
