#include "shell/kavapplication.h"

#include "dialogs/guardedcall.h"

namespace kav {

TKavApplication::TKavApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TKavApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    RunGuarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

} // namespace kav
