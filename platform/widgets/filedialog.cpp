#include "platform/widgets/filedialog.h"

#include <QFileDialog>
#include <utility>

namespace kav {

namespace {

TSaveFileNameHook& Hook() {
    static TSaveFileNameHook hook;
    return hook;
}

} // namespace

std::optional<std::filesystem::path> GetSaveFileName(QWidget* parent, const QString& caption,
                                                     const std::filesystem::path& suggested,
                                                     const QString& filter) {
    if (Hook()) return Hook()(caption, suggested);
    const QString chosen =
        QFileDialog::getSaveFileName(parent, caption, QString::fromStdString(suggested.string()), filter);
    if (chosen.isEmpty()) return std::nullopt;
    return std::filesystem::path(chosen.toStdString());
}

TSaveFileNameHook SetSaveFileNameHook(TSaveFileNameHook hook) {
    return std::exchange(Hook(), std::move(hook));
}

} // namespace kav
