#include "dialogs/msgdlgmemory.h"

#include "platform/core/inifile.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <filesystem>
#include <stdexcept>

namespace kav {
namespace {

constexpr const char* kAnswerKey = "MsgDlgValue";

std::filesystem::path IniPath(const std::string& name) {
    std::filesystem::path path = std::filesystem::u8path(name);
    if (path.is_absolute()) return path;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(folder);
    return std::filesystem::path(folder.toStdString()) / path;
}

// The per-user store groups by key and section; QSettings reserves "/" and "\" as separators.
QString SettingsGroup(const MsgDlgMemoryPlace& place) {
    QString key = QString::fromStdString(place.iniFile);
    key.replace('\\', '/');
    return key + '/' + QString::fromStdString(place.section).replace('/', '_').replace('\\', '_');
}

} // namespace

RememberedAnswer ReadRememberedAnswer(const MsgDlgMemoryPlace& place) {
    if (place.useRegistry) {
        QSettings store(QSettings::UserScope, QStringLiteral("Kav"), QStringLiteral("KavDialogCLX"));
        store.beginGroup(SettingsGroup(place));
        return {store.value(QString::fromStdString(place.item), false).toBool(),
                store.value(QString::fromLatin1(kAnswerKey), 0).toInt()};
    }
    const IniFile ini(IniPath(place.iniFile));
    return {ini.ReadBool(place.section, place.item, false),
            static_cast<int>(ini.ReadInteger(place.section, kAnswerKey, 0))};
}

void WriteRememberedAnswer(const MsgDlgMemoryPlace& place, const RememberedAnswer& answer) {
    if (place.useRegistry) {
        QSettings store(QSettings::UserScope, QStringLiteral("Kav"), QStringLiteral("KavDialogCLX"));
        store.beginGroup(SettingsGroup(place));
        store.setValue(QString::fromStdString(place.item), answer.skip);
        store.setValue(QString::fromLatin1(kAnswerKey), answer.result);
        store.endGroup();
        store.sync();
        if (store.status() != QSettings::NoError)
            throw std::runtime_error("cannot write the user settings store " +
                                     store.fileName().toStdString());
        return;
    }
    IniFile ini(IniPath(place.iniFile));
    ini.WriteBool(place.section, place.item, answer.skip);
    ini.WriteInteger(place.section, kAnswerKey, answer.result);
    ini.UpdateFile();
}

} // namespace kav
