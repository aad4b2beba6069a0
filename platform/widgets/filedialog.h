#pragma once
// GetSaveFileName: asks the user where to save a file, through the one seam that tests can answer.
// With a hook installed the hook's answer is taken and no dialog is shown; without one the system's
// save dialog asks (and confirms overwriting an existing file).
//
// Threading: GUI thread only.

#include <QString>
#include <filesystem>
#include <functional>
#include <optional>

class QWidget;

namespace kav {

// `filter` as Qt writes it ("Excel 工作簿 (*.xlsx)"). nullopt when the user cancelled.
std::optional<std::filesystem::path> GetSaveFileName(QWidget* parent, const QString& caption,
                                                     const std::filesystem::path& suggested,
                                                     const QString& filter);

using TSaveFileNameHook =
    std::function<std::optional<std::filesystem::path>(const QString& caption, const std::filesystem::path& suggested)>;
// Installs a hook (an empty one removes it) and returns the one it replaces.
TSaveFileNameHook SetSaveFileNameHook(TSaveFileNameHook hook);

} // namespace kav
