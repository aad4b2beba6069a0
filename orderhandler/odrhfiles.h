#pragma once
// Where the order handler keeps its files: the settings "CONFIGURE.CONF" and the column layout
// "OptionsSet.xml" in the program's folder, one set per workstation. Tests and the screenshot run
// point the folder elsewhere so that they never touch an installation's settings.
//
// Threading: GUI thread only.

#include <filesystem>

namespace kav::orderhandler {

inline constexpr const char* kConfigureFileName = "CONFIGURE.CONF";
inline constexpr const char* kOptionsSetFileName = "OptionsSet.xml";
// Written by the order windows after a member payment, in the working folder; "重打小票" prints it again.
inline constexpr const char* kMemberOrderInfoFileName = "MemberOrderInfo.txt";

// The program's folder unless SetOrderHandlerFolder chose another.
std::filesystem::path OrderHandlerFolder();
// An empty path returns to the program's folder.
void SetOrderHandlerFolder(std::filesystem::path folder);

std::filesystem::path ConfigureFilePath();
std::filesystem::path OptionsSetFilePath();

} // namespace kav::orderhandler
