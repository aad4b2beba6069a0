#include "platform/widgets/actionupdater.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QThread>

namespace kav {

TActionUpdater::TActionUpdater(QObject* parent) : QObject(parent) {
    if (auto* dispatcher = QAbstractEventDispatcher::instance(thread()))
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TActionUpdater::UpdateActions);
}

void TActionUpdater::Add(QAction* action, std::function<bool()> enabled) {
    handlers_.emplace_back(action, std::move(enabled));
    action->setEnabled(handlers_.back().second());
}

void TActionUpdater::UpdateActions() {
    for (const auto& [action, enabled] : handlers_)
        action->setEnabled(enabled());
}

} // namespace kav
