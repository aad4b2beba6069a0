// Whole update runs against a local HTTP server, in a temporary program folder with stand-in patch and
// client programs that record that they were started.

#include "dialogs/dialogresponder.h"
#include "platform/core/connectionsettings.h"
#include "platform/core/inifile.h"
#include "testhttpserver.h"
#include "updater/gradientbar.h"
#include "updater/uiupdate.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using kav::TUIUpdate;
using RunEnd = TUIUpdate::TRunEnd;

namespace {

const std::string kMissingConfiguration = "配置文件不存在，请联系管理员！";
const std::string kWrongConfiguration = "配置文件错误，请联系管理员！";
const std::string kCloseClient = "系统升级、请关闭Kav系统！";

// The texts of the message dialogs shown so far; each must be a prompt answered with "确定".
std::vector<std::string> Messages(const kav::ScriptedDialogResponder& dialogs) {
    std::vector<std::string> texts;
    for (const kav::DialogRecord& dialog : dialogs.Log()) {
        if (dialog.caption != "操作提示" || dialog.buttons.size() != 1 || dialog.buttons[0].caption != "确定")
            qWarning("unexpected dialog: %s", dialog.ToString().c_str());
        texts.push_back(dialog.text);
    }
    return texts;
}

QByteArray PackBody(int size) {
    QByteArray body(size, '\0');
    for (int i = 0; i < size; ++i)
        body[i] = static_cast<char>(i * 7 + i / 251);
    return body;
}

} // namespace

class UpdaterTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void splashPictureFillsTheWindow();
    void withoutSplashPictureTheProductNameShows();
    void firstRunCreatesTheStateAndStartsTheClient();
    void settingsWithoutUpdateServerStartTheClient();
    void systemPackIsFetchedAndHandedOver();
    void missingPacks_data();
    void missingPacks();
    void requestedPackFollowsTheState_data();
    void requestedPackFollowsTheState();
    void runningClientBlocksTheHandOver_data();
    void runningClientBlocksTheHandOver();
    void patchProgramThatCannotStartFallsBackToTheClient();
    void failedDownloadLeavesNoPack_data();
    void failedDownloadLeavesNoPack();

private:
    std::filesystem::path Folder() const { return dir_->path().toStdString(); }
    QString PathOf(const QString& name) const { return dir_->filePath(name); }
    void WriteFile(const QString& name, const QByteArray& text) const;
    void WriteStandIn(const QString& name) const;
    void WriteUpdateIni(const QByteArray& text) const { WriteFile(QStringLiteral("update.ini"), text); }
    kav::IniFile UpdateIni() const { return kav::IniFile(Folder() / "update.ini"); }
    QByteArray Started(const QString& program) const;
    QStringList PatchFiles() const;
    RunEnd Run();

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<TestHttpServer> server_;
    std::unique_ptr<kav::ScriptedDialogResponder> dialogs_;
    QList<qint64> barWidths_;
    QList<qint64> paintedWidths_;
};

// Records the gradient width of every paint of the bar.
class PaintRecorder final : public QObject {
public:
    explicit PaintRecorder(QList<qint64>& widths) : widths_(widths) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            widths_.append(static_cast<kav::TGradientBar*>(watched)->GradientWidth());
        return false;
    }

private:
    QList<qint64>& widths_;
};

void UpdaterTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    server_ = std::make_unique<TestHttpServer>();
    QVERIFY(server_->Port() != 0);
    dialogs_ = std::make_unique<kav::ScriptedDialogResponder>();
    barWidths_.clear();
    paintedWidths_.clear();
    kav::ConnectionSettings settings;
    settings.updateServer = "127.0.0.1:" + std::to_string(server_->Port());
    settings.nodeCode = "01";
    kav::WriteConnectionSettings(kav::ConnectionSettingsPath(Folder()), settings);
    WriteStandIn(QStringLiteral("KavPatch.ext"));
    WriteStandIn(QStringLiteral("DEV.et"));
}

void UpdaterTest::cleanup() {
    dialogs_.reset();
    server_.reset();
    dir_.reset();
}

void UpdaterTest::WriteFile(const QString& name, const QByteArray& text) const {
    QFile file(PathOf(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// The stand-in writes "<argument count> <working directory>" to "<name>.started".
void UpdaterTest::WriteStandIn(const QString& name) const {
    WriteFile(name, "#!/bin/sh\necho \"$# $(pwd)\" > \"$(dirname \"$0\")/" + name.toUtf8() +
                        ".tmp\"\nmv \"$(dirname \"$0\")/" + name.toUtf8() + ".tmp\" \"$(dirname \"$0\")/" +
                        name.toUtf8() + ".started\"\n");
    QFile::setPermissions(PathOf(name), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QByteArray UpdaterTest::Started(const QString& program) const {
    QFile file(PathOf(program + QStringLiteral(".started")));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
}

QStringList UpdaterTest::PatchFiles() const {
    return QDir(PathOf(QStringLiteral("patch"))).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

RunEnd UpdaterTest::Run() {
    TUIUpdate window(Folder());
    auto* bar = window.findChild<kav::TGradientBar*>(QStringLiteral("progress"));
    connect(bar, &kav::TGradientBar::GradientWidthChanged, this,
            [this](qint64 width) { barWidths_.append(width); });
    PaintRecorder paints(paintedWidths_);
    bar->installEventFilter(&paints);
    return window.RunUpdate();
}

void UpdaterTest::splashPictureFillsTheWindow() {
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("images")));
    QImage picture(100, 50, QImage::Format_RGB32);
    picture.fill(QColor(200, 0, 0));
    QVERIFY(picture.save(PathOf(QStringLiteral("images/splash.jpg")), "JPG"));

    TUIUpdate window(Folder());
    window.LoadSettings();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    const QImage shot = window.grab().toImage();
    QCOMPARE(shot.size(), QSize(584, 342));
    // The picture is stretched over the area above the prompt; the bar is empty until a transfer starts.
    for (const QPoint corner : {QPoint(2, 2), QPoint(581, 2), QPoint(581, 280)})
        QVERIFY2(qAbs(shot.pixelColor(corner).red() - 200) < 16 && shot.pixelColor(corner).green() < 16,
                 qPrintable(shot.pixelColor(corner).name()));
    for (const QPoint inBar : {QPoint(2, 330), QPoint(300, 330), QPoint(582, 330)})
        QCOMPARE(shot.pixelColor(inBar), window.palette().color(QPalette::Window));
}

void UpdaterTest::withoutSplashPictureTheProductNameShows() {
    TUIUpdate window(Folder());
    window.LoadSettings();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const auto* splash = window.findChild<QLabel*>(QStringLiteral("splash"));
    QVERIFY(splash);
    QCOMPARE(splash->text(), QStringLiteral("售票系统"));
    // Drawn large in the middle of the splash area, not a blank grey box.
    const QImage shot = window.grab().toImage();
    const QColor background = window.palette().color(QPalette::Window);
    int inked = 0;
    for (int x = 150; x < 434; ++x)
        for (int y = 100; y < 200; ++y)
            inked += shot.pixelColor(x, y) != background;
    QVERIFY2(inked > 1000, qPrintable(QString::number(inked)));
    QCOMPARE(window.findChild<kav::TGradientBar*>(QStringLiteral("progress"))->GradientWidth(), 0);
}

void UpdaterTest::firstRunCreatesTheStateAndStartsTheClient() {
    QCOMPARE(Run(), RunEnd::WindowClosed);
    QCOMPARE(Messages(*dialogs_), std::vector<std::string>{kMissingConfiguration});
    const kav::IniFile ini = UpdateIni();
    QVERIFY(ini.FileExisted());
    QCOMPARE(ini.ReadString("Distribution", "course", ""),
             std::to_string(QCoreApplication::applicationPid()));
    QCOMPARE(ini.ReadString("Distribution", "name", ""), "ctcom1");
    QCOMPARE(ini.ReadString("Distribution", "state", ""), "0");
    QCOMPARE(ini.ReadString("Download", "SystemPack", ""), "ctcom1");
    QCOMPARE(ini.ReadString("Download", "SystemPackState", ""), "0");
    QCOMPARE(ini.ReadString("Download", "UserPack", ""), "pack1");
    QCOMPARE(ini.ReadString("Download", "UserPackState", ""), "0");
    QVERIFY(server_->Requests().isEmpty()); // no base address without the state file
    QTRY_COMPARE(Started(QStringLiteral("DEV.et")), "0 " + dir_->path().toUtf8());
}

void UpdaterTest::settingsWithoutUpdateServerStartTheClient() {
    WriteUpdateIni("[Distribution]\nname=ctcom1\nstate=0\n");
    WriteFile(QStringLiteral("KavClient.ini"), "[Node]\nNodeCode=01\n");
    QCOMPARE(Run(), RunEnd::WindowClosed);
    QCOMPARE(Messages(*dialogs_), std::vector<std::string>{kWrongConfiguration});
    QVERIFY(server_->Requests().isEmpty());
    QTRY_VERIFY(!Started(QStringLiteral("DEV.et")).isEmpty());
}

void UpdaterTest::systemPackIsFetchedAndHandedOver() {
    WriteUpdateIni("[Distribution]\ncourse=1\nname=ctcom1\nstate=1\n[Download]\nSystemPack=ctcom1\n"
                   "SystemPackState=0\nUserPack=pack1\nUserPackState=0\n");
    const QByteArray body = PackBody(3 << 20);
    server_->ServeSlowly("/01/ctcom2.zip", body, body.size() / 2);
    server_->Serve("/01/pack1.zip", "user pack");

    QCOMPARE(Run(), RunEnd::WindowClosed);
    QVERIFY(Messages(*dialogs_).empty());
    // Once a system pack is handed over, the user pack waits for the next run.
    QCOMPARE(server_->RequestLines(), (QList<QByteArray>{"HEAD /01/ctcom2.zip", "GET /01/ctcom2.zip"}));
    for (const TestHttpServer::Request& request : server_->Requests()) {
        QCOMPARE(request.headers.value("user-agent"), "Mozilla/3.0 (compatible; Indy Library)");
        QCOMPARE(request.headers.value("accept"), "text/html, */*");
    }
    QCOMPARE(PatchFiles(), QStringList{QStringLiteral("ctcom2.zip")});
    QFile saved(PathOf(QStringLiteral("patch/ctcom2.zip")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll() == body);

    const kav::IniFile ini = UpdateIni();
    QCOMPARE(ini.ReadString("Distribution", "course", ""),
             std::to_string(QCoreApplication::applicationPid()));
    QCOMPARE(ini.ReadString("Distribution", "name", ""), "ctcom2");
    QCOMPARE(ini.ReadString("Distribution", "state", ""), "0");
    QCOMPARE(ini.ReadString("Download", "SystemPack", ""), "ctcom2");
    QCOMPARE(ini.ReadString("Download", "SystemPackState", ""), "1");
    QTRY_COMPARE(Started(QStringLiteral("KavPatch.ext")), "0 " + dir_->path().toUtf8());

    // The bar was painted empty first, part-filled while the pack arrived, and ended full.
    QVERIFY(!paintedWidths_.isEmpty());
    QCOMPARE(paintedWidths_.first(), 0);
    QCOMPARE(barWidths_.last(), 584);
    QVERIFY(
        std::any_of(paintedWidths_.begin(), paintedWidths_.end(), [](qint64 w) { return w > 0 && w < 584; }));
}

void UpdaterTest::missingPacks_data() {
    QTest::addColumn<bool>("userPackServed");
    QTest::addColumn<RunEnd>("end");
    QTest::addColumn<QString>("started");
    QTest::newRow("user pack present") << true << RunEnd::WindowOpen << QStringLiteral("KavPatch.ext");
    QTest::newRow("no pack at all") << false << RunEnd::WindowClosed << QStringLiteral("DEV.et");
}

void UpdaterTest::missingPacks() {
    QFETCH(bool, userPackServed);
    QFETCH(RunEnd, end);
    QFETCH(QString, started);
    WriteUpdateIni("[Distribution]\nname=pack1\nstate=1\n[Download]\nSystemPack=ctcom4\nSystemPackState=1\n");
    if (userPackServed) server_->Serve("/01/pack2.zip", "user pack");

    QCOMPARE(Run(), end);
    QVERIFY(Messages(*dialogs_).empty());
    QCOMPARE(server_->RequestLines(), (QList<QByteArray>{"HEAD /01/ctcom5.zip", "GET /01/pack2.zip"}));
    QCOMPARE(PatchFiles(), userPackServed ? QStringList{QStringLiteral("pack2.zip")} : QStringList{});
    const kav::IniFile ini = UpdateIni();
    QCOMPARE(ini.ReadString("Distribution", "name", ""), userPackServed ? "pack2" : "pack1");
    QCOMPARE(ini.ReadString("Download", "UserPack", ""), userPackServed ? "pack2" : "pack1");
    QCOMPARE(ini.ReadString("Download", "UserPackState", ""), "1");
    QCOMPARE(ini.ReadString("Download", "SystemPack", ""), "ctcom4");
    QTRY_COMPARE(Started(started), "0 " + dir_->path().toUtf8());
}

void UpdaterTest::requestedPackFollowsTheState_data() {
    QTest::addColumn<QByteArray>("updateIni");
    QTest::addColumn<QList<QByteArray>>("requests");
    QTest::newRow("system pack applied, user pack empty")
        << QByteArray("[Distribution]\nname=ctcom9\nstate=1\n[Download]\nUserPack=\n")
        << QList<QByteArray>{"HEAD /01/ctcom10.zip", "GET /01/pack1.zip"};
    QTest::newRow("user pack applied")
        << QByteArray(
               "[Distribution]\nname=pack12\nstate=1\n[Download]\nSystemPack=ctcom3\nSystemPackState=0\n")
        << QList<QByteArray>{"HEAD /01/ctcom3.zip", "GET /01/pack13.zip"};
    QTest::newRow("other states ask for the bare name")
        << QByteArray("[Download]\nSystemPack=ctcom3\nSystemPackState=2\nUserPack=pack4\nUserPackState=2\n")
        << QList<QByteArray>{"HEAD /01/ctcom3", "GET /01/pack4"};
    QTest::newRow("no system pack without a c name")
        << QByteArray("[Download]\nSystemPack=xx\nUserPack=pack4\nUserPackState=0\n")
        << QList<QByteArray>{"GET /01/pack4.zip"};
    QTest::newRow("unnumbered system pack is skipped")
        << QByteArray("[Download]\nSystemPack=ctcomX\nSystemPackState=1\nUserPack=pack4\nUserPackState=0\n")
        << QList<QByteArray>{"GET /01/pack4.zip"};
    QTest::newRow("unnumbered user pack starts the client")
        << QByteArray("[Download]\nSystemPack=ctcom1\nSystemPackState=0\nUserPack=packX\nUserPackState=1\n")
        << QList<QByteArray>{"HEAD /01/ctcom1.zip"};
}

void UpdaterTest::requestedPackFollowsTheState() {
    QFETCH(QByteArray, updateIni);
    QFETCH(QList<QByteArray>, requests);
    WriteUpdateIni(updateIni);
    QCOMPARE(Run(), RunEnd::WindowClosed);
    QCOMPARE(server_->RequestLines(), requests);
    QTRY_VERIFY(!Started(QStringLiteral("DEV.et")).isEmpty());
}

void UpdaterTest::runningClientBlocksTheHandOver_data() {
    QTest::addColumn<QByteArray>("servedPath");
    QTest::addColumn<QString>("runningProgram");
    QTest::addColumn<bool>("inProgramFolder");
    QTest::addColumn<bool>("blocked");
    const QByteArray system = "/01/ctcom1.zip";
    const QByteArray user = "/01/pack1.zip";
    QTest::newRow("system pack, client here") << system << QStringLiteral("KavClient2.bin") << true << true;
    QTest::newRow("system pack, client elsewhere")
        << system << QStringLiteral("KavClient2") << false << false;
    QTest::newRow("system pack, other program") << system << QStringLiteral("KavClient") << true << false;
    QTest::newRow("user pack, client here") << user << QStringLiteral("DEV") << true << true;
    QTest::newRow("user pack, longer name") << user << QStringLiteral("DEVX") << true << false;
    // The client as installed runs under its own name, and blocks either pack.
    QTest::newRow("system pack, installed client here")
        << system << QStringLiteral("kav-client") << true << true;
    QTest::newRow("user pack, installed client here") << user << QStringLiteral("kav-client") << true << true;
    QTest::newRow("user pack, installed client elsewhere")
        << user << QStringLiteral("kav-client") << false << false;
}

void UpdaterTest::runningClientBlocksTheHandOver() {
    QFETCH(QByteArray, servedPath);
    QFETCH(QString, runningProgram);
    QFETCH(bool, inProgramFolder);
    QFETCH(bool, blocked);
    WriteUpdateIni("[Distribution]\ncourse=1\nname=ctcom1\nstate=0\n[Download]\nUserPack=pack1\n");
    server_->Serve(servedPath, "pack");

    QTemporaryDir elsewhere;
    const QString programPath =
        QDir(inProgramFolder ? dir_->path() : elsewhere.path()).filePath(runningProgram);
    QVERIFY(QFile::copy(QStandardPaths::findExecutable(QStringLiteral("sleep")), programPath));
    QProcess running;
    running.start(programPath, {QStringLiteral("300")});
    QVERIFY(running.waitForStarted());
    const auto stop = qScopeGuard([&] {
        running.kill();
        running.waitForFinished();
    });

    const RunEnd end = Run();
    if (blocked) {
        QCOMPARE(end, RunEnd::Terminated);
        QCOMPARE(Messages(*dialogs_), std::vector<std::string>{kCloseClient});
        const kav::IniFile ini = UpdateIni();
        QCOMPARE(ini.ReadString("Distribution", "course", ""), "1");
        QCOMPARE(ini.ReadString("Download", "SystemPackState", "0"), "0");
        QCOMPARE(ini.ReadString("Download", "UserPackState", "0"), "0");
    } else {
        QVERIFY(Messages(*dialogs_).empty());
        QTRY_VERIFY(!Started(QStringLiteral("KavPatch.ext")).isEmpty());
    }
}

void UpdaterTest::patchProgramThatCannotStartFallsBackToTheClient() {
    WriteUpdateIni("[Distribution]\nname=ctcom1\nstate=1\n");
    server_->Serve("/01/ctcom2.zip", "system pack");
    QVERIFY(QFile::remove(PathOf(QStringLiteral("KavPatch.ext"))));
    QCOMPARE(Run(), RunEnd::WindowClosed);
    QTRY_COMPARE(Started(QStringLiteral("DEV.et")), "0 " + dir_->path().toUtf8());
}

void UpdaterTest::failedDownloadLeavesNoPack_data() {
    QTest::addColumn<bool>("systemPack");
    QTest::addColumn<qint64>("sentBytes");
    QTest::newRow("system pack cut off") << true << qint64(100000);
    QTest::newRow("system pack cut off before the body") << true << qint64(0);
    QTest::newRow("user pack cut off") << false << qint64(100000);
}

// A pack that did not arrive whole is never left where the patch program would take it; the run goes
// on as if the pack were missing.
void UpdaterTest::failedDownloadLeavesNoPack() {
    QFETCH(bool, systemPack);
    QFETCH(qint64, sentBytes);
    WriteUpdateIni("[Distribution]\nname=ctcom1\nstate=0\n[Download]\nUserPack=pack1\n");
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("patch")));
    server_->Serve(systemPack ? "/01/ctcom1.zip" : "/01/pack1.zip", PackBody(1 << 20), sentBytes);

    QCOMPARE(Run(), RunEnd::WindowClosed);
    QCOMPARE(PatchFiles(), QStringList{});
    const kav::IniFile ini = UpdateIni();
    QCOMPARE(ini.ReadString("Distribution", "name", ""), "ctcom1");
    QCOMPARE(ini.ReadString("Download", "SystemPackState", ""), "0");
    QCOMPARE(ini.ReadString("Download", "UserPackState", "0"), "0");
    QCOMPARE(server_->RequestLines().last(), "GET /01/pack1.zip");
    QTRY_VERIFY(!Started(QStringLiteral("DEV.et")).isEmpty());
}

QTEST_MAIN(UpdaterTest)
#include "updater_test.moc"
