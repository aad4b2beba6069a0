#include "platform/widgets/printerchoice.h"

#include "platform/core/connectionsettings.h"
#include "platform/core/inifile.h"
#include "platform/core/programfolder.h"
#include "platform/widgets/cupsqueues.h"

#include <QDir>
#include <QStandardPaths>
#include <algorithm>

namespace kav {

namespace {

constexpr const char* kSection = "Printer";

std::optional<TPrinterSettings>& Override() {
    static std::optional<TPrinterSettings> settings;
    return settings;
}

bool Installed(const TCupsQueues& queues, const std::string& name) {
    return std::find(queues.names.begin(), queues.names.end(), name) != queues.names.end();
}

} // namespace

TPrinterSettings ReadPrinterSettings(const std::filesystem::path& iniFile) {
    const IniFile ini(iniFile);
    TPrinterSettings settings;
    settings.ticketPrinter = ini.ReadString(kSection, "Ticket", "");
    settings.receiptPrinter = ini.ReadString(kSection, "Receipt", "");
    settings.folder = ini.ReadString(kSection, "Folder", "");
    const std::string pictures = ini.ReadString(kSection, "Pictures", "");
    settings.pictureFolder =
        pictures.empty() ? iniFile.parent_path() / "pictures" : std::filesystem::path(pictures);
    return settings;
}

TPrinterSettings CurrentPrinterSettings() {
    if (Override()) return *Override();
    return ReadPrinterSettings(ConnectionSettingsPath(ProgramFolder()));
}

std::optional<TPrinterSettings> OverridePrinterSettings(std::optional<TPrinterSettings> settings) {
    std::swap(Override(), settings);
    return settings;
}

std::string TPrinterTarget::Describe() const {
    return IsFolder() ? "文件夹 " + folder.string() : "打印机 " + queue;
}

std::filesystem::path DefaultPrintFolder() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (base.isEmpty()) base = QDir::tempPath();
    return std::filesystem::path(base.toStdString()) / "printouts";
}

TPrinterTarget ChoosePrinter(TPrintKind kind, const std::string& requestedName,
                             const TPrinterSettings& settings, const TCupsQueues& queues) {
    TPrinterTarget target;
    if (!settings.folder.empty()) {
        target.folder = settings.folder;
        return target;
    }
    const std::string& configured =
        kind == TPrintKind::Ticket ? settings.ticketPrinter : settings.receiptPrinter;
    if (!requestedName.empty() && Installed(queues, requestedName))
        target.queue = requestedName;
    else if (!configured.empty())
        target.queue = configured;
    else if (!queues.defaultName.empty())
        target.queue = queues.defaultName;
    else if (queues.names.size() == 1)
        target.queue = queues.names.front();
    else if (queues.names.empty())
        target.folder = DefaultPrintFolder();
    else
        throw EPrinterError(std::string("没有默认打印机：请在 KavClient.ini 的 [Printer] 中用 ") +
                            (kind == TPrintKind::Ticket ? "Ticket" : "Receipt") + "= 指定要用的打印机");
    return target;
}

TPrinterTarget ChoosePrinter(TPrintKind kind, const std::string& requestedName) {
    const TPrinterSettings settings = CurrentPrinterSettings();
    // A folder named in the settings needs no print server at all.
    if (!settings.folder.empty()) return ChoosePrinter(kind, requestedName, settings, {});
    return ChoosePrinter(kind, requestedName, settings, InstalledQueues());
}

} // namespace kav
