#pragma once
// TActionUpdater: the update handlers of a window's actions, run whenever the GUI thread's event loop
// is about to wait, so that every action is enabled or disabled from the window's state as the state
// changes. Handlers must be quick; they run on every idle cycle.
//
// A handler either answers whether its action can run (Add), or, as a rule, why it cannot run now (an
// empty text when it can; AddRule). An action under a rule shows that reason under its caption in its
// tool tip while it is disabled, so a seller can see why a button is grey; its tool tip carries its
// shortcut too.
//
// Owned by the window (as its QObject child); GUI thread only.

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QAction;

namespace kav {

class TActionUpdater final : public QObject {
    Q_OBJECT

public:
    using TRule = std::function<QString()>;

    explicit TActionUpdater(QObject* parent);

    // Sets the action's enabled state from `enabled` at every update; the action must outlive the updater
    // or be its sibling.
    void Add(QAction* action, std::function<bool()> enabled);
    // The same from a rule; an empty rule always enables the action.
    void AddRule(QAction* action, TRule rule);
    // Runs every handler now.
    void UpdateActions();

    // "查询订单 (F2)": the caption without its mnemonic, the shortcut in parentheses, and the action's
    // status tip on a line of its own when it has one.
    static QString ToolTipOf(const QAction* action);

private:
    struct Handler {
        QAction* action;
        std::function<bool()> enabled; // or
        TRule rule;
    };
    void Update(const Handler& handler);

    std::vector<Handler> handlers_;
};

} // namespace kav
