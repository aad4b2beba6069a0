// The command line of kav-client: the plug-in folder and the screenshot run with its login.

#include "shell/options.h"

#include <QtTest>

using namespace kav;

class OptionsTest : public QObject {
    Q_OBJECT

private slots:
    void ScreenshotRunTakesItsServerAndLogin() {
        const TClientOptions options = ParseClientOptions(
            {"--screenshots", "shots", "--server", "127.0.0.1:6666", "--user", "demo", "--password", "de mo"});
        QVERIFY(options.screenshots.has_value());
        QVERIFY(!options.pluginFolder.has_value());
        QCOMPARE(options.screenshots->folder.string(), std::string("shots"));
        QCOMPARE(options.screenshots->host, std::string("127.0.0.1"));
        QCOMPARE(options.screenshots->port, 6666);
        QCOMPARE(options.screenshots->userCode, std::string("demo"));
        QCOMPARE(options.screenshots->password, std::string("de mo"));
        QVERIFY(!ParseClientOptions({"--plugins", "p"}).screenshots.has_value());
        QCOMPARE(ParseClientOptions({"--server", "[::1]:7000", "--user", "u", "--password", "p", "--screenshots", "s"})
                     .screenshots->host,
                 std::string("[::1]"));
    }

    void UnusableCommandLinesAreRefused_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("unknown") << QStringList{"--fast"};
        QTest::newRow("no value") << QStringList{"--plugins"};
        QTest::newRow("empty value") << QStringList{"--screenshots", ""};
        QTest::newRow("no login") << QStringList{"--screenshots", "s", "--server", "h:1"};
        QTest::newRow("login without run") << QStringList{"--server", "h:1", "--user", "u", "--password", "p"};
        QTest::newRow("no port") << QStringList{"--screenshots", "s", "--server", "h", "--user", "u", "--password", "p"};
        QTest::newRow("port 0") << QStringList{"--screenshots", "s", "--server", "h:0", "--user", "u", "--password", "p"};
        QTest::newRow("port text")
            << QStringList{"--screenshots", "s", "--server", "h:66x", "--user", "u", "--password", "p"};
    }
    void UnusableCommandLinesAreRefused() {
        QFETCH(QStringList, arguments);
        std::vector<std::string> list;
        for (const QString& argument : arguments)
            list.push_back(argument.toStdString());
        bool refused = false;
        try {
            ParseClientOptions(list);
        } catch (const std::invalid_argument&) {
            refused = true;
        }
        QVERIFY(refused);
    }
};

int RunOptionsTest(int argc, char** argv) {
    OptionsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "options_test.moc"
