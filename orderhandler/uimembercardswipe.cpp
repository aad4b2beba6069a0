#include "orderhandler/uimembercardswipe.h"

#include "orderhandler/uidialogbuttons.h"
#include "platform/widgets/modaldialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace kav::orderhandler {

TUIMemberCardSwipe::TUIMemberCardSwipe(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("UIMemberCardSwipe"));
    setWindowTitle(QStringLiteral("读卡"));
    cardNo_ = new QLineEdit(this);
    cardNo_->setObjectName(QStringLiteral("etCardNo"));
    cardNo_->setMaxLength(32);
    cardNo_->setMinimumWidth(260);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("请刷会员卡："), this));
    layout->addWidget(cardNo_);
    layout->addWidget(OkCancelButtons(*this));
    cardNo_->setFocus();
}

std::string TUIMemberCardSwipe::CardNo() const {
    return cardNo_->text().trimmed().toStdString();
}

std::optional<std::string> ReadMemberCard(QWidget* parent) {
    TUIMemberCardSwipe dialog(parent);
    if (ExecModal(dialog) != QDialog::Accepted || dialog.CardNo().empty()) return std::nullopt;
    return dialog.CardNo();
}

} // namespace kav::orderhandler
