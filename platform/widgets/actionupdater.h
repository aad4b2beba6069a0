#pragma once
// TActionUpdater: the update handlers of a window's actions, run whenever the GUI thread's event loop
// is about to wait, so that every action is enabled or disabled from the window's state as the state
// changes. Handlers must be quick; they run on every idle cycle.
//
// Owned by the window (as its QObject child); GUI thread only.

#include <QObject>
#include <functional>
#include <vector>

class QAction;

namespace kav {

class TActionUpdater final : public QObject {
    Q_OBJECT

public:
    explicit TActionUpdater(QObject* parent);

    // Sets the action's enabled state from `enabled` at every update; the action must outlive the updater
    // or be its sibling.
    void Add(QAction* action, std::function<bool()> enabled);
    // Runs every handler now.
    void UpdateActions();

private:
    std::vector<std::pair<QAction*, std::function<bool()>>> handlers_;
};

} // namespace kav
