// The login dialog against a gateway that answers as told: refused and unreachable logins leave the dialog
// open for another try; a good one closes it and writes a changed server address back, keeping the rest
// of the settings file.

#include "dialogs/dialogresponder.h"
#include "platform/core/inifile.h"
#include "shell/logindialog.h"
#include "shell/logingateway.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>
#include <deque>
#include <fstream>
#include <functional>

using namespace kav;
namespace fs = std::filesystem;

namespace {

struct Attempt {
    std::string host;
    int port;
    std::string user;
    std::string password;
};

class TFakeGateway final : public ILoginGateway {
public:
    std::string Login(const std::string& Host, int Port, const std::string& UserCode,
                      const std::string& Password) override {
        attempts.push_back({Host, Port, UserCode, Password});
        auto answer = answers.front();
        answers.pop_front();
        return answer();
    }
    std::deque<std::function<std::string()>> answers;
    std::vector<Attempt> attempts;
};

std::function<std::string()> Refuse(const char* text) {
    return [text]() -> std::string { throw ELoginRefused(text); };
}
std::function<std::string()> Unreachable() {
    return []() -> std::string { throw EServerUnreachable("请检查网络，现在已和服务器断开连接!"); };
}
std::function<std::string()> Accept(const char* context) {
    return [context] { return std::string(context); };
}

void Type(TLoginDialog& dialog, const char* name, const QString& text) {
    dialog.findChild<QLineEdit*>(name)->setText(text);
}

} // namespace

class LoginDialogTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir temp_;
    fs::path settingsFile_;
    TFakeGateway gateway_;

private slots:
    void init() {
        settingsFile_ = fs::path(temp_.path().toStdString()) / "KavClient.ini";
        std::ofstream(settingsFile_) << "; kept\n[Server]\nHost=10.0.0.5\nPort=7000\n[Node]\nNodeCode=03\n";
        gateway_ = {};
    }

    void refusedAndUnreachableLoginsCanBeRetried() {
        TLoginDialog dialog(settingsFile_, ReadSettingsForLogin(settingsFile_), gateway_);
        dialog.show();
        QCOMPARE(dialog.findChild<QLineEdit*>("Host")->text(), QString("10.0.0.5"));
        QCOMPARE(dialog.findChild<QSpinBox*>("Port")->value(), 7000);
        ScriptedDialogResponder dialogs;
        dialogs.Push(1).Push(1);
        gateway_.answers = {Refuse("用户名或密码错误，登录失败!"), Unreachable(), Accept("USERCODE=0001")};
        Type(dialog, "UserCode", " 0001 ");
        Type(dialog, "Password", "wrong");

        dialog.findChild<QPushButton*>("LoginButton")->click();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialogs.Log().at(0).caption, std::string("错误信息"));
        QCOMPARE(dialogs.Log().at(0).text, std::string("用户名或密码错误，登录失败!"));
        QVERIFY(dialog.findChild<QLineEdit*>("Password")->text().isEmpty()); // typed again, not reused

        Type(dialog, "Password", "secret");
        dialog.findChild<QPushButton*>("LoginButton")->click();
        QVERIFY(dialog.isVisible());
        QVERIFY2(dialogs.Log().at(1).text.find("10.0.0.5:7000") != std::string::npos,
                 dialogs.Log()[1].text.c_str());

        dialog.findChild<QPushButton*>("LoginButton")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.ContextText(), std::string("USERCODE=0001"));
        QCOMPARE(gateway_.attempts.size(), 3u);
        QCOMPARE(gateway_.attempts[2].user, std::string("0001"));
        QCOMPARE(gateway_.attempts[2].password, std::string("secret"));
        QCOMPARE(dialogs.Log().size(), 2u);
    }

    void missingFieldsAreAskedForBeforeCallingTheServer_data() {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("message");
        QTest::newRow("host") << "  "
                              << "0001"
                              << "请输入服务器地址!";
        QTest::newRow("user") << "10.0.0.5"
                              << ""
                              << "请输入用户代码!";
    }

    void missingFieldsAreAskedForBeforeCallingTheServer() {
        QFETCH(QString, host);
        QFETCH(QString, user);
        QFETCH(QString, message);
        TLoginDialog dialog(settingsFile_, ReadSettingsForLogin(settingsFile_), gateway_);
        ScriptedDialogResponder dialogs;
        dialogs.Push(1);
        Type(dialog, "Host", host);
        Type(dialog, "UserCode", user);
        dialog.TryLogin();
        QCOMPARE(dialogs.Log().at(0).text, message.toStdString());
        QVERIFY(gateway_.attempts.empty());
    }

    void aChangedAddressIsSavedAfterLoginOnly() {
        TLoginDialog dialog(settingsFile_, ReadSettingsForLogin(settingsFile_), gateway_);
        ScriptedDialogResponder dialogs;
        dialogs.Push(1);
        gateway_.answers = {Unreachable(), Accept("CTX")};
        Type(dialog, "Host", "kav.example");
        dialog.findChild<QSpinBox*>("Port")->setValue(6767);
        Type(dialog, "UserCode", "0001");

        dialog.TryLogin();
        QCOMPARE(ReadConnectionSettings(settingsFile_).host, std::string("10.0.0.5")); // not yet

        dialog.TryLogin();
        const ConnectionSettings saved = ReadConnectionSettings(settingsFile_);
        QCOMPARE(saved.host, std::string("kav.example"));
        QCOMPARE(saved.port, 6767);
        QCOMPARE(saved.nodeCode, std::string("03"));
        QVERIFY(IniFile(settingsFile_).ToText().find("; kept") != std::string::npos);
    }

    void anUnusableSettingsFileIsReportedAndRepairedWithoutLosingItsOtherKeys() {
        std::ofstream(settingsFile_) << "[Server]\nHost=10.0.0.5\nPort=99999\n[Node]\nNodeCode=03\n";
        ScriptedDialogResponder dialogs;
        dialogs.Push(1);
        const ConnectionSettings start = ReadSettingsForLogin(settingsFile_);
        QCOMPARE(dialogs.Log().size(), 1u);
        QVERIFY(dialogs.Log()[0].text.find("99999") != std::string::npos);
        QCOMPARE(start.port, 6666);

        TLoginDialog dialog(settingsFile_, start, gateway_);
        gateway_.answers = {Accept("CTX")};
        Type(dialog, "UserCode", "0001");
        dialog.TryLogin();
        const ConnectionSettings saved = ReadConnectionSettings(settingsFile_);
        QCOMPARE(saved.port, 6666);
        QCOMPARE(saved.nodeCode, std::string("03"));
    }
};

int RunLoginDialogTest(int argc, char** argv) {
    LoginDialogTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "logindialog_test.moc"
