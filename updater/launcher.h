#pragma once
// Starting the programs that the updater hands over to: the patch program and the client.

#include <filesystem>
#include <string_view>

namespace kav {

inline constexpr std::string_view kPatchProgramFileName = "KavPatch.ext";
inline constexpr std::string_view kClientProgramFileName = "DEV.et";

// Starts `folder`/`fileName` without arguments, in `folder`, and does not wait for it; the program
// keeps running after the updater ends. False when it could not be started.
bool StartProgram(const std::filesystem::path& folder, std::string_view fileName);

} // namespace kav
