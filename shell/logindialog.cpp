#include "shell/logindialog.h"

#include "dialogs/kavdialog.h"
#include "platform/core/inifile.h"
#include "platform/widgets/hourglass.h"
#include "platform/widgets/qtext.h"
#include "shell/logingateway.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kav {

TLoginDialog::TLoginDialog(std::filesystem::path settingsFile, ConnectionSettings settings,
                           ILoginGateway& gateway, QWidget* parent)
    : QDialog(parent), settingsFile_(std::move(settingsFile)), gateway_(gateway) {
    setObjectName(QStringLiteral("LoginDialog"));
    setWindowTitle(QStringLiteral("登录 - 售票系统"));

    host_ = new QLineEdit(Q(settings.host));
    host_->setObjectName(QStringLiteral("Host"));
    port_ = new QSpinBox;
    port_->setObjectName(QStringLiteral("Port"));
    port_->setRange(1, 65535);
    port_->setValue(settings.port);
    userCode_ = new QLineEdit;
    userCode_->setObjectName(QStringLiteral("UserCode"));
    password_ = new QLineEdit;
    password_->setObjectName(QStringLiteral("Password"));
    password_->setEchoMode(QLineEdit::Password);

    auto* title = new QLabel(QStringLiteral("售票系统"));
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setAlignment(Qt::AlignCenter);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("服务器(&H):"), host_);
    form->addRow(QStringLiteral("端口(&P):"), port_);
    form->addRow(QStringLiteral("用户代码(&U):"), userCode_);
    form->addRow(QStringLiteral("密码(&W):"), password_);

    auto* buttons = new QDialogButtonBox;
    QPushButton* login = buttons->addButton(QStringLiteral("登录"), QDialogButtonBox::AcceptRole);
    login->setObjectName(QStringLiteral("LoginButton"));
    login->setDefault(true);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("CancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TLoginDialog::TryLogin);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addSpacing(8);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(360);
    userCode_->setFocus();
}

std::string TLoginDialog::Host() const {
    return host_->text().trimmed().toStdString();
}
int TLoginDialog::Port() const {
    return port_->value();
}
std::string TLoginDialog::UserCode() const {
    return userCode_->text().trimmed().toStdString();
}

void TLoginDialog::TryLogin() {
    if (Host().empty()) {
        ShowWarningMessage("请输入服务器地址!");
        host_->setFocus();
        return;
    }
    if (UserCode().empty()) {
        ShowWarningMessage("请输入用户代码!");
        userCode_->setFocus();
        return;
    }
    try {
        THourglass hourglass;
        context_ = gateway_.Login(Host(), Port(), UserCode(), password_->text().toStdString());
    } catch (const ELoginRefused& e) {
        ShowErrorMessage(e.what());
        password_->clear();
        password_->setFocus();
        return;
    } catch (const EServerUnreachable& e) {
        ShowErrorMessage("无法连接服务器 " + Host() + ":" + std::to_string(Port()) +
                         "，请检查服务器地址和网络。\n" + e.what());
        host_->setFocus();
        return;
    }
    SaveServerAddress();
    accept();
}

void TLoginDialog::SaveServerAddress() {
    try {
        WriteServerAddress(settingsFile_, Host(), Port());
    } catch (const std::exception& e) {
        // The session is open; only the next start will ask for the address again.
        ShowWarningMessage(std::string("连接设置未能保存: ") + e.what());
    }
}

void WriteServerAddress(const std::filesystem::path& settingsFile, const std::string& host, int port) {
    // Only these two keys, compared with the file as it is now: its other settings stay, also when it could
    // not be read (an unusable port).
    IniFile ini(settingsFile);
    const std::string portText = std::to_string(port);
    if (ini.ReadString("Server", "Host", "") == host && ini.ReadString("Server", "Port", "") == portText)
        return;
    ini.WriteString("Server", "Host", host);
    ini.WriteString("Server", "Port", portText);
    ini.UpdateFile();
}

ConnectionSettings ReadSettingsForLogin(const std::filesystem::path& settingsFile) {
    try {
        return ReadConnectionSettings(settingsFile);
    } catch (const std::exception& e) {
        ShowErrorMessage(e.what());
        return {};
    }
}

} // namespace kav
