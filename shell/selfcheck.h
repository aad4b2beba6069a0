#pragma once
// kav-client --check: what an operator runs after installing a workstation. Without logging in or
// showing a window it reports, one line each, the settings file and the server it names, the seat map
// configuration, and every window package of the program's plugins folder (and of --plugins) as loaded
// or failed with the loader's reason.

#include "shell/options.h"

#include <filesystem>
#include <ostream>

namespace kav {

// Writes the report to `out`; returns the exit code: 0 when the settings can be used and every package
// loads, 1 otherwise. The packages are unloaded again before it returns.
int RunSelfCheck(const std::filesystem::path& programFolder, const TClientOptions& options,
                 std::ostream& out);

} // namespace kav
