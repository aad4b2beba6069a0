#pragma once
// The file dialog seam: the windows ask for file names here, and tests answer instead of a dialog.
// GUI thread only.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace kav {

// Asks where to save: `caption` titles the dialog, `suggestedName` is the file name it starts with,
// `filter` the kinds offered ("Excel 工作簿 (*.xlsx)"). None when the user cancels. With a hook installed
// the hook answers, given the caption and the suggested name.
std::optional<std::filesystem::path> AskSaveFileName(QWidget* parent, const std::string& caption,
                                                     const std::string& suggestedName, const std::string& filter);

using TSaveFileNameHook =
    std::function<std::optional<std::filesystem::path>(const std::string& caption, const std::string& suggestedName)>;
// Installs a hook (an empty one removes it) and returns the one it replaces.
TSaveFileNameHook SetSaveFileNameHook(TSaveFileNameHook hook);

} // namespace kav
