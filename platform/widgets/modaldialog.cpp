#include "platform/widgets/modaldialog.h"

#include <QDialog>
#include <utility>

namespace kav {

namespace {

TModalDialogHook& Hook() {
    static TModalDialogHook hook;
    return hook;
}

} // namespace

int ExecModal(QDialog& dialog) {
    if (Hook()) {
        // Copied first: the hook may open further dialogs and so reach this seam again.
        const TModalDialogHook hook = Hook();
        const int result = hook(dialog);
        dialog.setResult(result);
        return result;
    }
    return dialog.exec();
}

TModalDialogHook SetModalDialogHook(TModalDialogHook hook) {
    return std::exchange(Hook(), std::move(hook));
}

} // namespace kav
