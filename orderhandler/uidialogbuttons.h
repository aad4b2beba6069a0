#pragma once
// The "确定" and "取消" buttons of the order handler's small dialogs: "确定" (object name btnOK) is the
// default button and runs `onOk`, "取消" (btnCancel) rejects the dialog.

#include <functional>

class QDialog;
class QWidget;

namespace kav::orderhandler {

// `onOk` empty: "确定" accepts the dialog.
QWidget* OkCancelButtons(QDialog& dialog, std::function<void()> onOk = {});

} // namespace kav::orderhandler
