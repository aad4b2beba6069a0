#pragma once
// ExecModal: shows one of our own dialogs modally, through the one seam that tests and the screenshot
// run can answer. With a hook installed the hook is given the dialog instead of the user: it may fill
// and press what it likes (or only photograph it) and returns the dialog's result; nothing waits for a
// user. Without a hook this is QDialog::exec().
//
// Message boxes have their own seam (dialogs/dialogresponder.h).
// Threading: GUI thread only.

#include <functional>

class QDialog;

namespace kav {

int ExecModal(QDialog& dialog);

using TModalDialogHook = std::function<int(QDialog& dialog)>;
// Installs a hook (an empty one removes it) and returns the one it replaces.
TModalDialogHook SetModalDialogHook(TModalDialogHook hook);

} // namespace kav
