#include "platform/widgets/actionupdate.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QRegularExpression>
#include <QThread>

namespace kav {

TActionUpdater::TActionUpdater(QObject* parent) : QObject(parent) {
    if (auto* dispatcher = QAbstractEventDispatcher::instance(thread()))
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TActionUpdater::UpdateActions);
}

void TActionUpdater::Add(QAction* action, TRule rule) {
    entries_.push_back({action, std::move(rule)});
    UpdateActions();
}

void TActionUpdater::UpdateActions() {
    for (const Entry& entry : entries_) {
        const QString reason = entry.rule ? entry.rule() : QString();
        // Setting an unchanged value emits nothing, so idle updates settle instead of waking the loop.
        entry.action->setEnabled(reason.isEmpty());
        const QString tip = reason.isEmpty() ? ToolTipOf(entry.action) : ToolTipOf(entry.action) + "\n" + reason;
        if (entry.action->toolTip() != tip) entry.action->setToolTip(tip);
    }
}

QString TActionUpdater::ToolTipOf(const QAction* action) {
    QString caption = action->text();
    caption.remove(QRegularExpression(QStringLiteral("\\(&.\\)$")));
    caption.remove(QLatin1Char('&'));
    const QKeySequence shortcut = action->shortcut();
    if (!shortcut.isEmpty()) caption += QStringLiteral(" (%1)").arg(shortcut.toString(QKeySequence::NativeText));
    if (!action->statusTip().isEmpty()) caption += "\n" + action->statusTip();
    return caption;
}

} // namespace kav
