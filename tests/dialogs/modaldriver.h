#pragma once
// Drives a real modal dialog from inside its own event loop: the action runs once the dialog is shown,
// while the test is blocked in the call that shows it.

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

inline void WhenModalShown(std::function<void(QWidget*)> action) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr || !dialog->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        action(dialog);
    });
    poll->start();
}

// Presses a key as the user would: at the focused control of the dialog, which passes on what it ignores.
inline void PressKey(QWidget* dialog, Qt::Key key) {
    QWidget* target = dialog->focusWidget() != nullptr ? dialog->focusWidget() : dialog;
    QTest::keyClick(target, key);
}
