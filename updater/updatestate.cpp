#include "updater/updatestate.h"

namespace kav {

namespace {

constexpr const char* kDistribution = "Distribution";
constexpr const char* kDownload = "Download";

} // namespace

void CreateUpdateIni(IniFile& ini, const std::string& course) {
    ini.WriteString(kDistribution, "course", course);
    ini.WriteString(kDistribution, "name", "ctcom1");
    ini.WriteString(kDistribution, "state", "0");
    ini.WriteString(kDownload, "SystemPack", "ctcom1");
    ini.WriteString(kDownload, "SystemPackState", "0");
    ini.WriteString(kDownload, "UserPack", "pack1");
    ini.WriteString(kDownload, "UserPackState", "0");
    ini.UpdateFile();
}

void CopyDistributionToDownload(IniFile& ini) {
    const std::string name = ini.ReadString(kDistribution, "name", "");
    const std::string state = ini.ReadString(kDistribution, "state", "0");
    if (name.starts_with('c')) {
        ini.WriteString(kDownload, "SystemPack", name);
        ini.WriteString(kDownload, "SystemPackState", state);
    } else if (name.starts_with('p')) {
        ini.WriteString(kDownload, "UserPack", name);
        ini.WriteString(kDownload, "UserPackState", state);
    } else {
        return;
    }
    ini.UpdateFile();
}

PackState CurrentPack(const IniFile& ini, PackKind kind) {
    if (kind == PackKind::System)
        return {ini.ReadString(kDownload, "SystemPack", "ctcom1"),
                ini.ReadString(kDownload, "SystemPackState", "0")};
    return {ini.ReadString(kDownload, "UserPack", ""), ini.ReadString(kDownload, "UserPackState", "0")};
}

void RecordHandOver(IniFile& ini, PackKind kind, const std::string& course, const std::string& packName) {
    ini.WriteString(kDistribution, "course", course);
    ini.WriteString(kDistribution, "name", packName);
    ini.WriteString(kDistribution, "state", "0");
    if (kind == PackKind::System) {
        ini.WriteString(kDownload, "SystemPack", packName);
        ini.WriteString(kDownload, "SystemPackstate", "1");
    } else {
        ini.WriteString(kDownload, "UserPack", packName);
        ini.WriteString(kDownload, "UserPackstate", "1");
    }
    ini.UpdateFile();
}

} // namespace kav
