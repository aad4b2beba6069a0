#include "platform/widgets/actionupdater.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QRegularExpression>
#include <QThread>

namespace kav {

TActionUpdater::TActionUpdater(QObject* parent) : QObject(parent) {
    if (auto* dispatcher = QAbstractEventDispatcher::instance(thread()))
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TActionUpdater::UpdateActions);
}

void TActionUpdater::Add(QAction* action, std::function<bool()> enabled) {
    handlers_.push_back({action, std::move(enabled), {}});
    Update(handlers_.back());
}

void TActionUpdater::AddRule(QAction* action, TRule rule) {
    if (!rule) rule = [] { return QString(); };
    handlers_.push_back({action, {}, std::move(rule)});
    Update(handlers_.back());
}

void TActionUpdater::UpdateActions() {
    for (const Handler& handler : handlers_)
        Update(handler);
}

void TActionUpdater::Update(const Handler& handler) {
    if (!handler.rule) {
        handler.action->setEnabled(handler.enabled());
        return;
    }
    const QString reason = handler.rule();
    // Setting an unchanged value emits nothing, so idle updates settle instead of waking the loop.
    handler.action->setEnabled(reason.isEmpty());
    const QString tip = reason.isEmpty() ? ToolTipOf(handler.action) : ToolTipOf(handler.action) + "\n" + reason;
    if (handler.action->toolTip() != tip) handler.action->setToolTip(tip);
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
