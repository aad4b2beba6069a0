#include "orderhandler/uiactionbutton.h"

#include <QAction>
#include <QPushButton>
#include <QWidget>

namespace kav::orderhandler {

QAction* MakeDialogAction(QWidget* owner, const char* name, const QString& caption, const QKeySequence& key) {
    auto* action = new QAction(caption, owner);
    action->setObjectName(QLatin1String(name));
    if (!key.isEmpty()) action->setShortcut(key);
    owner->addAction(action);
    return action;
}

QPushButton* ActionPushButton(QAction* action, QWidget* parent) {
    auto* button = new QPushButton(action->text(), parent);
    button->setObjectName(QStringLiteral("btn_") + action->objectName());
    button->setEnabled(action->isEnabled());
    button->setToolTip(action->toolTip());
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, button, [button, action] {
        button->setEnabled(action->isEnabled());
        button->setText(action->text());
        button->setToolTip(action->toolTip());
    });
    return button;
}

} // namespace kav::orderhandler
