#include "host/snapin/rootwindow.h"

#include <QWidget>
#include <stdexcept>
#include <utility>

namespace kav {

namespace {

TRootWindowHook& Hook() {
    static TRootWindowHook hook;
    return hook;
}

} // namespace

TRootWindowHook SetRootWindowHook(TRootWindowHook hook) {
    return std::exchange(Hook(), std::move(hook));
}

void ShowFormInRootWindow(QWidget* Form) {
    if (!Form) throw std::invalid_argument("ShowFormInRootWindow: no form");
    if (Hook()) {
        Hook()(Form);
        return;
    }
    Form->show();
    Form->raise();
    Form->activateWindow();
}

} // namespace kav
