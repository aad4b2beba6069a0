#pragma once
// The folder of the running program, where the client keeps its settings files beside it
// ("KavClient.ini", "SEATMAP.CFG", "CONFIGURE.CONF", "OptionsSet.xml"). The current folder when the
// program's path cannot be read.

#include <filesystem>

namespace kav {

std::filesystem::path ProgramFolder();

} // namespace kav
