#pragma once
// Finding a running program of this machine by its executable name and folder.
//
// Reads /proc; processes whose executable cannot be read (other users' processes, kernel threads,
// processes that ended meanwhile) are skipped.

#include <filesystem>
#include <string_view>

namespace kav {

// True when `executableFileName` (with its extension), cut to its first ten characters, equals `name`
// exactly. A ten-character name therefore matches every file name that starts with it; a shorter name
// only a file name of exactly that text.
bool ProgramNameMatches(std::string_view executableFileName, std::string_view name);

// True when a process runs an executable matching `name` whose folder is `folder` (compared exactly,
// after resolving `folder` to its canonical form).
bool IsProgramRunning(std::string_view name, const std::filesystem::path& folder);

} // namespace kav
