#pragma once
// TActionUpdater: the update handlers of a window's actions, run whenever the event loop goes idle
// (just before it waits for the next event), so that every action is enabled exactly while its rule
// holds, whatever changed it: a selection, a typed character, a finished search.
//
// A rule answers the reason why its action cannot run now, or an empty text when it can. A disabled
// action shows that reason under its caption in its tool tip, so a seller can see why a button is
// grey. Tool tips carry the action's shortcut too.
//
// Ownership: the updater is a QObject child of the window; the actions must outlive it or be removed
// first. Threading: GUI thread only.

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

    // The action's rule; an action without a rule is always enabled.
    void Add(QAction* action, TRule rule);
    // Runs every rule now (the idle updates call this too).
    void UpdateActions();

    // "查询订单 (F2)": the caption without its mnemonic, the shortcut in parentheses, and the action's
    // status tip on a line of its own when it has one.
    static QString ToolTipOf(const QAction* action);

private:
    struct Entry {
        QAction* action;
        TRule rule;
    };
    std::vector<Entry> entries_;
};

} // namespace kav
