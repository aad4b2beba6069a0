// The shell against a real kav-server started here on a free port over a fresh, seeded SQLite database:
// logins with good and bad credentials, an unreachable server, a connection lost and found again, and the
// main window after login with a package's window docked.

#include "cuttableproxy.h"
#include "dialogs/dialogresponder.h"
#include "host/cadbpipe.h"
#include "host/snapin/formsnapin.h"
#include "host/snapin/snapinregistry.h"
#include "rpc/pelioclient.h"
#include "shell/logindialog.h"
#include "shell/mainwindow.h"
#include "shell/packageloader.h"
#include "shell/peliologingateway.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>

using namespace kav;
namespace fs = std::filesystem;

namespace {

const char* const kLostConnection = "请检查网络，现在已和服务器断开连接!";

class TServerProcess final {
public:
    // Starts kav-server and waits for its start-up line; Port() is 0 when it did not start.
    explicit TServerProcess(const QStringList& arguments) {
        process_.setProgram(QCoreApplication::applicationDirPath() + "/kav-server");
        process_.setArguments(arguments);
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start();
        while (!process_.canReadLine())
            if (!process_.waitForReadyRead(120'000)) return;
        const QString line = QString::fromUtf8(process_.readLine()).trimmed();
        port_ = line.section(' ', -1).toInt();
    }
    ~TServerProcess() { Stop(); }
    void Stop() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.kill();
        process_.waitForFinished();
    }
    int Port() const { return port_; }

private:
    QProcess process_;
    int port_ = 0;
};

// A window whose opening reads from the server, as every real window does.
class TPipeSnapIn final : public TKavFormSnapIn<QWidget> {
public:
    void SetContext(const std::string& Text) override {
        context_ = Text;
        TKavFormSnapIn::SetContext(Text);
    }
    void Execute() override {
        TCADBPipe(*client).GetData(context_, "select USERCODE from KAV_USER");
        TKavFormSnapIn::Execute();
    }
    static inline pelio::TPelioClient* client = nullptr;

private:
    std::string context_;
};

int UnusedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort(); // free again once the probe closes
}

QString Status(const TKavMainWindow& window, const char* name) {
    return window.statusBar()->findChild<QLabel*>(name)->text();
}

} // namespace

class LoginE2ETest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir temp_;
    QString database_;
    std::unique_ptr<TServerProcess> server_;
    int port_ = 0;

    std::string LoginAs(pelio::TPelioClient& client, const char* user, const char* password) {
        TPelioLoginGateway gateway(client);
        return gateway.Login("127.0.0.1", port_, user, password);
    }

private slots:
    void initTestCase() {
        database_ = "sqlite:" + temp_.filePath("kav.db");
        server_ =
            std::make_unique<TServerProcess>(QStringList{"--port", "0", "--db", database_, "--seed", "demo"});
        port_ = server_->Port();
        QVERIFY(port_ > 0);
    }
    void cleanupTestCase() { server_.reset(); }

    void goodAndBadCredentials() {
        pelio::TPelioClient client;
        TPelioLoginGateway gateway(client);
        const fs::path settings = fs::path(temp_.path().toStdString()) / "KavClient.ini";
        TLoginDialog dialog(settings, {"127.0.0.1", port_, "", "01"}, gateway);
        dialog.show();
        ScriptedDialogResponder dialogs;
        dialogs.Push(1);
        dialog.findChild<QLineEdit*>("UserCode")->setText("demo");
        dialog.findChild<QLineEdit*>("Password")->setText("wrong");
        dialog.TryLogin();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialogs.Log().at(0).text, std::string("用户名或密码错误，登录失败!"));

        dialog.findChild<QLineEdit*>("Password")->setText("demo");
        dialog.TryLogin();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const TShellSession session = MakeShellSession(dialog.ContextText(), dialog.Host(), dialog.Port());
        QCOMPARE(session.UserCode, std::string("demo"));
        QCOMPARE(session.UserName, std::string("演示售票员"));
        QVERIFY(!session.NodeCode.empty());
        QCOMPARE(dialogs.Log().size(), 1u);
    }

    // kav-client --screenshots logs in, opens the order handler of the plugins folder and the dialogs its
    // tour opens, and leaves one picture of each.
    void screenshotRunPhotographsEveryWindow() {
        QTemporaryDir shots;
        const auto run = [&](const char* password) {
            QProcess client;
            client.setProgram(QCoreApplication::applicationDirPath() + "/kav-client");
            client.setArguments({"--screenshots", shots.path(), "--server", QStringLiteral("127.0.0.1:%1").arg(port_),
                                 "--user", "demo", "--password", password});
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("QT_QPA_PLATFORM", "offscreen");
            client.setProcessEnvironment(environment);
            client.start();
            if (!client.waitForFinished(120'000)) return -1;
            return client.exitCode();
        };
        QCOMPARE(run("wrong"), 1);
        QCOMPARE(run("demo"), 0);
        for (const char* window : {"UIOrderHandler", "UIOrderHandlerSearchProduct", "UIOrderHandlerSetting",
                                   "UIOrderHandlerTitleSetting", "UIModifyCustomerInfo", "UIMemberCardSwipe",
                                   "ShippingListPreview", "TUIOrderHandlerOrderSeats", "TUIOrderHandlerChangeSeat"}) {
            const QImage picture(shots.filePath(QStringLiteral("%1.png").arg(QLatin1String(window))));
            QVERIFY2(!picture.isNull(), window);
            QVERIFY(picture.width() > 100 && picture.height() > 50);
        }
    }

    void anUnreachableServerIsExplainedAndTheUserTriesAgain() {
        pelio::TPelioClient client;
        TPelioLoginGateway gateway(client);
        const int nobody = UnusedPort();
        TLoginDialog dialog(fs::path(temp_.path().toStdString()) / "KavClient.ini",
                            {"127.0.0.1", nobody, "", ""}, gateway);
        dialog.show();
        ScriptedDialogResponder dialogs;
        dialogs.Push(1);
        dialog.findChild<QLineEdit*>("UserCode")->setText("demo");
        dialog.findChild<QLineEdit*>("Password")->setText("demo");
        dialog.TryLogin();
        QVERIFY(dialog.isVisible());
        QVERIFY2(dialogs.Log().at(0).text.find("127.0.0.1:" + std::to_string(nobody)) != std::string::npos,
                 dialogs.Log()[0].text.c_str());

        dialog.findChild<QSpinBox*>("Port")->setValue(port_);
        dialog.TryLogin();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void aLostConnectionIsShownAndTheNextActionReconnects() {
        TCuttableProxy network(port_);
        pelio::TPelioClient client;
        TPelioLoginGateway gateway(client);
        const std::string context = gateway.Login("127.0.0.1", network.Port(), "demo", "demo");
        TPipeSnapIn::client = &client;
        TSnapInRegistration registration("CIPipe", SnapInClass<TPipeSnapIn>(), "查询");
        TKavMainWindow window(MakeShellSession(context, "127.0.0.1", network.Port()),
                              [&] { return client.Connected(); });
        ScriptedDialogResponder dialogs;
        QVERIFY(window.OpenSnapIn("CIPipe"));
        QVERIFY(dialogs.Log().empty());
        QCOMPARE(Status(window, "StatusConnection"), QString("已连接"));

        network.Cut();
        dialogs.Push(1);
        QVERIFY(!window.OpenSnapIn("CIPipe"));
        QCOMPARE(dialogs.Log().size(), 1u);
        QCOMPARE(dialogs.Log()[0].caption, std::string("错误信息"));
        QCOMPARE(dialogs.Log()[0].text, std::string(kLostConnection));
        QCOMPARE(Status(window, "StatusConnection"), QString("未连接"));

        // The next action connects again and the session goes on.
        QVERIFY(window.OpenSnapIn("CIPipe"));
        QCOMPARE(Status(window, "StatusConnection"), QString("已连接"));
        QCOMPARE(window.Tabs()->count(), 1);
        QCOMPARE(dialogs.Log().size(), 1u);
    }

    void aRestartedServerIsReachedAgainAndRefusesTheOldSession() {
        pelio::TPelioClient client;
        const std::string context = LoginAs(client, "demo", "demo");
        TPipeSnapIn::client = &client;
        TSnapInRegistration registration("CIPipe", SnapInClass<TPipeSnapIn>(), "查询");
        TKavMainWindow window(MakeShellSession(context, "127.0.0.1", port_),
                              [&] { return client.Connected(); });
        ScriptedDialogResponder dialogs;
        QVERIFY(window.OpenSnapIn("CIPipe"));

        server_->Stop();
        dialogs.Push(1).Push(1);
        QVERIFY(!window.OpenSnapIn("CIPipe"));
        QCOMPARE(dialogs.Log().at(0).text, std::string(kLostConnection));

        // A restarted server signs with a new key: it answers, and refuses the session it did not issue.
        server_ = std::make_unique<TServerProcess>(
            QStringList{"--port", QString::number(port_), "--db", database_});
        QCOMPARE(server_->Port(), port_);
        QVERIFY(!window.OpenSnapIn("CIPipe"));
        QCOMPARE(dialogs.Log().at(1).text, std::string("会话无效，请重新登录!"));
        QCOMPARE(Status(window, "StatusConnection"), QString("已连接"));
        QVERIFY(dialogs.Problems().empty());
    }

    void mainWindowAfterLoginWithAPackageDocked() {
        pelio::TPelioClient client;
        const std::string context = LoginAs(client, "demo", "demo");
        const fs::path plugins = fs::path(temp_.path().toStdString()) / "plugins";
        fs::create_directories(plugins);
        fs::copy_file(fs::path(KAV_TEST_PACKAGES) / "libkavtestpackage.so", plugins / "libkavtestpackage.so",
                      fs::copy_options::overwrite_existing);
        TPackageLoader packages;
        QVERIFY(packages.LoadFolder(plugins).empty());
        {
            TKavMainWindow window(MakeShellSession(context, "127.0.0.1", port_),
                                  [&] { return client.Connected(); });
            window.resize(1000, 640);
            window.show();
            QVERIFY(window.OpenSnapIn("CITestWindow"));
            QCOMPARE(window.Tabs()->tabText(0), QString("测试窗口"));
            auto* shown = window.Tabs()->currentWidget()->findChild<QLabel*>("ContextLabel");
            QCOMPARE(shown->text().toStdString(), context);
            if (const QByteArray path = qgetenv("KAV_SHELL_SCREENSHOT"); !path.isEmpty())
                QVERIFY(window.grab().save(QString::fromLocal8Bit(path)));
        }
    }
};

QTEST_MAIN(LoginE2ETest)
#include "login_e2e_test.moc"
