#include "dialogs/guardedcall.h"

#include "dialogs/kavdialog.h"

#include <exception>

namespace kav {

bool RunGuarded(const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (const std::exception& e) {
        ShowErrorMessage(e.what());
    } catch (...) {
        ShowErrorMessage("未知错误");
    }
    return false;
}

} // namespace kav
