#include "updater/messagesink.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace kav {

void TMessageBoxSink::ShowMessage(QWidget* parent, const std::string& text) {
    QMessageBox::information(parent, QCoreApplication::applicationName(), QString::fromStdString(text));
}

} // namespace kav
