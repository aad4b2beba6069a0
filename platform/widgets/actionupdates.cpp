#include "platform/widgets/actionupdates.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QThread>

namespace kav {

TActionUpdates::TActionUpdates(QObject* parent) : QObject(parent) {
    if (auto* dispatcher = QAbstractEventDispatcher::instance(thread()))
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TActionUpdates::UpdateNow);
}

void TActionUpdates::Add(QAction* action, std::function<bool()> enabled) {
    entries_.push_back({action, std::move(enabled)});
    action->setEnabled(entries_.back().enabled());
}

void TActionUpdates::UpdateNow() {
    for (const Entry& entry : entries_) {
        const bool enabled = entry.enabled();
        if (entry.action->isEnabled() != enabled) entry.action->setEnabled(enabled);
    }
}

} // namespace kav
