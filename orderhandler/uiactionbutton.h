#pragma once
// A push button that runs an action and follows its enabled state and caption, for the buttons of the
// order handler's dialogs (a push button can be the dialog's default button, a tool button cannot).
//
// Threading: GUI thread only.

#include <QKeySequence>
#include <QString>

class QAction;
class QPushButton;
class QWidget;

namespace kav::orderhandler {

// A new action of `owner`, named `name`, with its shortcut working while the owner has the focus.
QAction* MakeDialogAction(QWidget* owner, const char* name, const QString& caption, const QKeySequence& key = {});

// Named "btn_" + the action's object name.
QPushButton* ActionPushButton(QAction* action, QWidget* parent);

} // namespace kav::orderhandler
