#include "updater/processes.h"

#include <algorithm>
#include <system_error>

namespace kav {

namespace {

constexpr std::size_t kComparedNameLength = 10;

// The executable of process `pid`, or an empty path when it cannot be read. A program whose file was
// replaced while it runs (as the patch program does) still runs from its folder.
std::filesystem::path ExecutableOf(const std::filesystem::path& procEntry) {
    std::error_code error;
    std::string target = std::filesystem::read_symlink(procEntry / "exe", error).string();
    if (error) return {};
    constexpr std::string_view kDeleted = " (deleted)";
    if (target.ends_with(kDeleted)) target.resize(target.size() - kDeleted.size());
    return target;
}

bool IsProcessId(const std::string& name) {
    return !name.empty() &&
           std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

bool ProgramNameMatches(std::string_view executableFileName, std::string_view name) {
    return executableFileName.substr(0, kComparedNameLength) == name;
}

bool IsProgramRunning(std::string_view name, const std::filesystem::path& folder) {
    std::error_code error;
    const std::filesystem::path wantedFolder = std::filesystem::weakly_canonical(folder, error);
    if (error) return false;
    std::filesystem::directory_iterator processes("/proc", error);
    if (error) return false;
    for (const auto& entry : processes) {
        if (!IsProcessId(entry.path().filename().string())) continue;
        const std::filesystem::path executable = ExecutableOf(entry.path());
        if (executable.empty() || !ProgramNameMatches(executable.filename().string(), name)) continue;
        if (executable.parent_path().string() == wantedFolder.string()) return true;
    }
    return false;
}

} // namespace kav
