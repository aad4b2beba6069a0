#include "platform/widgets/filedialogs.h"

#include <QFileDialog>
#include <utility>

namespace kav {

namespace {
TSaveFileNameHook& Hook() {
    static TSaveFileNameHook hook;
    return hook;
}
} // namespace

std::optional<std::filesystem::path> AskSaveFileName(QWidget* parent, const std::string& caption,
                                                     const std::string& suggestedName, const std::string& filter) {
    if (Hook()) return Hook()(caption, suggestedName);
    const QString file = QFileDialog::getSaveFileName(parent, QString::fromStdString(caption),
                                                      QString::fromStdString(suggestedName),
                                                      QString::fromStdString(filter));
    if (file.isEmpty()) return std::nullopt;
    return std::filesystem::path(file.toStdString());
}

TSaveFileNameHook SetSaveFileNameHook(TSaveFileNameHook hook) {
    return std::exchange(Hook(), std::move(hook));
}

} // namespace kav
