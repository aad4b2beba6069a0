#pragma once
// The update state file "update.ini" in the program folder.
//
//   [Distribution] course  process id of the updater that handed the last pack over
//                  name    that pack, without ".zip"; "c..." a system pack, "p..." a user pack
//                  state   "0" not yet applied, "1" applied (set by the patch program)
//   [Download]     SystemPack, SystemPackState, UserPack, UserPackState: the current pack of each kind
//
// Every change is written to disk at once, atomically; IniFile::UpdateFile raises std::runtime_error
// naming the file when it cannot be written.

#include "platform/core/inifile.h"

#include <filesystem>
#include <string>

namespace kav {

inline constexpr const char* kUpdateIniFileName = "update.ini";

enum class PackKind { System, User };

struct PackState {
    std::string name;
    std::string state;
};

// Writes a new file with the starting values of every key; `course` is the updater's process id.
void CreateUpdateIni(IniFile& ini, const std::string& course);

// Copies the pack last handed over (Distribution name and state) to the Download keys of its kind,
// chosen by the first letter of its name, so that an applied pack moves the kind on to the next number.
void CopyDistributionToDownload(IniFile& ini);

// The current pack of a kind; a system pack defaults to "ctcom1", a user pack to an empty name.
PackState CurrentPack(const IniFile& ini, PackKind kind);

// Records that `packName` was saved to "patch" and is handed to the patch program by updater `course`.
void RecordHandOver(IniFile& ini, PackKind kind, const std::string& course, const std::string& packName);

} // namespace kav
