#include "updater/launcher.h"

#include <QFile>
#include <QProcess>

namespace kav {

bool StartProgram(const std::filesystem::path& folder, std::string_view fileName) {
    const QString program = QFile::decodeName((folder / fileName).c_str());
    return QProcess::startDetached(program, {}, QFile::decodeName(folder.c_str()));
}

} // namespace kav
