#pragma once
// TActionUpdates: each window action's update handler, run whenever the event loop is about to wait for
// events (it goes idle), so that actions are enabled exactly when they may run. Handlers must be cheap and
// must not block. Owned by the window (its QObject parent); GUI thread only.

#include <QObject>
#include <functional>
#include <vector>

class QAction;

namespace kav {

class TActionUpdates final : public QObject {
public:
    explicit TActionUpdates(QObject* parent);

    // `enabled` tells whether the action may run now; the action must live as long as this object.
    void Add(QAction* action, std::function<bool()> enabled);
    // Runs every handler at once (after a change the user should see before the next idle).
    void UpdateNow();

private:
    struct Entry {
        QAction* action;
        std::function<bool()> enabled;
    };
    std::vector<Entry> entries_;
};

} // namespace kav
