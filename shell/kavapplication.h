#pragma once
// TKavApplication: the shell's application object. An exception escaping an event handler of any window
// (a snap-in's button whose remote call failed) is shown with ShowErrorMessage instead of ending the
// process, since Qt's event loop cannot pass exceptions on.

#include <QApplication>

namespace kav {

class TKavApplication final : public QApplication {
public:
    TKavApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace kav
