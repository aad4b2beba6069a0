// KavUpdate: fetches the next update packs and starts the patch program or the client.

#include "updater/uiupdate.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KavUpdate"));
    kav::TUIUpdate window(QApplication::applicationDirPath().toStdString());
    if (window.RunUpdate() != kav::TUIUpdate::TRunEnd::WindowOpen) return 0;
    return QApplication::exec();
}
