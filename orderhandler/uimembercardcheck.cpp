#include "orderhandler/uimembercardcheck.h"

#include "dialogs/kavdialog.h"
#include "orderhandler/uidialogbuttons.h"
#include "platform/widgets/modaldialog.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace kav::orderhandler {

TUIMemberCardCheck::TUIMemberCardCheck(bool passwordOnly, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TUIMemberCardCheck"));
    setWindowTitle(passwordOnly ? QStringLiteral("请输入密码") : QStringLiteral("请刷卡"));
    cardNo_ = new QLineEdit(this);
    cardNo_->setObjectName(QStringLiteral("etCardNo"));
    cardNo_->setMaxLength(32);
    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("etPassword"));
    password_->setEchoMode(QLineEdit::Password);
    password_->setMaxLength(32);
    auto* fields = new QFormLayout;
    auto* cardLabel = new QLabel(QStringLiteral("会员卡号："), this);
    fields->addRow(cardLabel, cardNo_);
    fields->addRow(new QLabel(QStringLiteral("会员卡密码："), this), password_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(OkCancelButtons(*this));
    // The card reader ends the number with Enter: it moves on to the password instead of accepting.
    connect(cardNo_, &QLineEdit::returnPressed, password_, qOverload<>(&QWidget::setFocus));
    if (passwordOnly) {
        cardLabel->hide();
        cardNo_->hide();
        setFixedSize(274, 129);
        password_->setFocus();
    } else {
        cardNo_->setFocus();
    }
}

std::string TUIMemberCardCheck::CardNo() const {
    return cardNo_->text().trimmed().toStdString();
}

std::string TUIMemberCardCheck::Password() const {
    return password_->text().toStdString();
}

std::optional<std::string> CheckMemberCard(QWidget* parent, TCAMemberSys& memberSys, const std::string& context,
                                           const TOrderMemberInfoItem& member) {
    const bool swiped = member.swipeFlag == "true";
    TUIMemberCardCheck dialog(!swiped, parent);
    if (ExecModal(dialog) != QDialog::Accepted) return std::nullopt;
    if (swiped && (member.cardNo.empty() || dialog.CardNo() != member.cardNo)) {
        ShowErrorMessage("卡号不正确", "错误");
        return std::nullopt;
    }
    try {
        if (!memberSys.CheckCardPassword(context, member.cardNo, dialog.Password())) {
            ShowErrorMessage("密码不正确", "错误");
            return std::nullopt;
        }
    } catch (const std::exception& e) {
        ShowErrorMessage(e.what(), "错误");
        return std::nullopt;
    }
    return dialog.Password();
}

} // namespace kav::orderhandler
