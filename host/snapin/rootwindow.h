#pragma once
// ShowFormInRootWindow: places a snap-in's window inside the shell's main window and shows it.
//
// The shell installs the root window as a hook; the hook docks the form (reparenting it) and brings it to
// the front. The form stays the snap-in's: it frees the form in Shutdown, and the shell removes the form's
// place when the form is destroyed. Without a hook (a package run outside the shell, a test) the form is
// shown as a top-level window.
//
// Threading: GUI thread only.

#include <functional>

class QWidget;

namespace kav {

using TRootWindowHook = std::function<void(QWidget* Form)>;

// Installs the hook (an empty one removes it) and returns the one it replaces.
TRootWindowHook SetRootWindowHook(TRootWindowHook hook);

// A null form is a caller's bug (std::invalid_argument).
void ShowFormInRootWindow(QWidget* Form);

} // namespace kav
