#pragma once
// TKavMainWindow: the shell's main window. A "窗口" menu and tool bar entry per registered snap-in; the
// windows snap-ins show with ShowFormInRootWindow become closable tabs of the central area; the status bar
// shows the user, group, node, server address and whether the shared connection is up.
//
// Closing a tab, or the main window, first asks its window to close, so a window with unsaved work can
// keep itself open. A snap-in may show several windows: closing one of them frees that window only; the
// snap-in is destroyed with its last.
//
// While it exists the window is the root window (host/snapin/rootwindow.h). It owns one instance per
// opened snap-in; closing a snap-in's tab destroys that instance, which frees its window. All instances are
// destroyed with the main window, so it must go before the packages are unloaded.
//
// Threading: GUI thread only.

#include "host/snapin/clientsnapin.h"
#include "host/snapin/rootwindow.h"
#include "shell/shellsession.h"

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <string>

class QLabel;
class QMenu;
class QStackedWidget;
class QTabWidget;
class QToolBar;

namespace kav {

class TKavMainWindow final : public QMainWindow {
    Q_OBJECT

public:
    // `isConnected` tells the state of the shared connection; asked every second and after each action.
    TKavMainWindow(TShellSession session, std::function<bool()> isConnected, QWidget* parent = nullptr);
    ~TKavMainWindow() override;

    // Rebuilds the entries from the snap-in registry (after packages were loaded).
    void RefreshSnapInEntries();
    // Creates the snap-in on first use, gives it the session context and runs it. A failure is shown
    // through the message dialogs; returns whether it ran.
    bool OpenSnapIn(const std::string& name);
    void UpdateConnectionState();

    QTabWidget* Tabs() const noexcept { return tabs_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildStatusBar();
    void DockForm(QWidget* form);
    // `asked`: the field the form asked for before it was docked, if any.
    void TakeKeyboard(QWidget* form, QWidget* asked);
    void CloseTab(int index);
    // Asks the form to close; true when it did.
    bool AskToClose(QWidget* form);
    // Takes a closed form out of its tab: frees it, or its snap-in when it was the snap-in's last.
    void RemoveForm(QWidget* form);
    void ShowTabsOrHint();

    TShellSession session_;
    std::function<bool()> isConnected_;
    TRootWindowHook previousRootWindow_;
    std::map<std::string, std::unique_ptr<IKavClientSnapIn>> snapIns_;
    std::string executing_;      // the snap-in inside Execute; the forms it shows are its own
    QWidget* closing_ = nullptr; // the form AskToClose is closing

    QMenu* windowMenu_ = nullptr;
    QToolBar* windowToolBar_ = nullptr;
    QStackedWidget* central_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QLabel* connection_ = nullptr;
};

} // namespace kav
