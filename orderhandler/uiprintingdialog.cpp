#include "orderhandler/uiprintingdialog.h"

#include "platform/widgets/actionupdater.h"

#include <QCloseEvent>

namespace kav::orderhandler {

TPrintingDialog::TPrintingDialog(QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags), updater_(new TActionUpdater(this)) {}

void TPrintingDialog::UpdateActions() {
    updater_->UpdateActions();
}

void TPrintingDialog::reject() {
    if (!printing_) QDialog::reject();
}

void TPrintingDialog::SetPrinting(bool printing) {
    printing_ = printing;
    UpdateActions();
}

QString TPrintingDialog::PrintingRule() const {
    return printing_ ? QStringLiteral("正在打印，请稍候") : QString();
}

void TPrintingDialog::closeEvent(QCloseEvent* event) {
    if (printing_) event->ignore();
    else QDialog::closeEvent(event);
}

} // namespace kav::orderhandler
