// Loading window packages from folders: a good package registers its snap-in and withdraws it when
// unloaded; broken files are reported once each with their reason and do not stop the rest.

#include "host/snapin/rootwindow.h"
#include "host/snapin/snapinregistry.h"
#include "shell/packageloader.h"
#include "shell/selfcheck.h"

#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace kav;
namespace fs = std::filesystem;

namespace {

const fs::path kBuiltPackages = KAV_TEST_PACKAGES;

std::vector<std::string> RegisteredNames() {
    std::vector<std::string> names;
    for (const TClientSnapInEntry& e : RegisteredClientSnapIns())
        names.push_back(e.Name);
    return names;
}

void Copy(const std::string& library, const fs::path& folder) {
    fs::create_directories(folder);
    fs::copy_file(kBuiltPackages / library, folder / library, fs::copy_options::overwrite_existing);
}

void Write(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

} // namespace

class PackageLoaderTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir temp_;
    fs::path plugins_;

private slots:
    void init() {
        plugins_ = fs::path(temp_.path().toStdString()) / "plugins";
        fs::remove_all(plugins_);
        Copy("libkavtestpackage.so", plugins_);
    }

    void goodPackageRegistersWhileLoaded() {
        TPackageLoader loader;
        QVERIFY(loader.LoadFolder(plugins_).empty());
        QCOMPARE(RegisteredNames(), std::vector<std::string>{"CITestWindow"});
        QCOMPARE(RegisteredClientSnapIns()[0].Caption, std::string("测试窗口"));

        // Its snap-in runs like any other: the window shows the context it was given.
        QWidget* shown = nullptr;
        const TRootWindowHook previous = SetRootWindowHook([&](QWidget* form) { shown = form; });
        {
            std::unique_ptr<IKavClientSnapIn> snapIn = CreateClientSnapIn("CITestWindow");
            snapIn->SetContext("USERCODE=7");
            snapIn->Execute();
            QVERIFY(shown);
            QCOMPARE(shown->findChild<QLabel*>("ContextLabel")->text(), QString("USERCODE=7"));
        }
        SetRootWindowHook(previous);

        loader.UnloadAll();
        QVERIFY(RegisteredClientSnapIns().empty());
        QVERIFY(loader.Loaded().empty());
    }

    void brokenFilesAreReportedOnceAndTheRestLoad() {
        Copy("libkavbrokenpackage.so", plugins_);
        Write(plugins_ / "libgarbage.so", "not a shared library");
        Write(plugins_ / "readme.txt", "ignored: not a library");

        TPackageLoader loader;
        const std::vector<TPackageFailure> failures = loader.LoadFolder(plugins_);
        QCOMPARE(failures.size(), 2u);
        // In file name order, each naming its file and why the system loader refused it.
        QCOMPARE(fs::path(failures[0].File).filename(), fs::path("libgarbage.so"));
        QCOMPARE(fs::path(failures[1].File).filename(), fs::path("libkavbrokenpackage.so"));
        QVERIFY2(failures[1].Reason.find("kav_test_symbol_nobody_defines") != std::string::npos,
                 failures[1].Reason.c_str());
        QCOMPARE(loader.Loaded().size(), 1u);
        QCOMPARE(RegisteredNames(), std::vector<std::string>{"CITestWindow"});

        // The same folder again (as when the option names the program's own folder): nothing new.
        QVERIFY(loader.LoadFolder(plugins_).empty());
        QCOMPARE(loader.Loaded().size(), 1u);

        const std::string message = DescribePackageFailures(failures);
        QVERIFY(message.find("libgarbage.so") != std::string::npos);
        QVERIFY(message.find("kav_test_symbol_nobody_defines") != std::string::npos);
    }

    void aMissingFolderIsOneFailure() {
        TPackageLoader loader;
        const std::vector<TPackageFailure> failures = loader.LoadFolder(plugins_ / "absent");
        QCOMPARE(failures.size(), 1u);
        QCOMPARE(fs::path(failures[0].File), plugins_ / "absent");
        QVERIFY(!failures[0].Reason.empty());
    }

    void aSecondCopyOfAPackageLeavesTheFirstRegistration() {
        const fs::path extra = fs::path(temp_.path().toStdString()) / "extra";
        Copy("libkavtestpackage.so", extra);

        TPackageLoader loader;
        QVERIFY(loader.LoadFolder(plugins_).empty());
        QVERIFY(loader.LoadFolder(extra).empty());
        QCOMPARE(loader.Loaded().size(), 2u);
        QCOMPARE(RegisteredNames(), std::vector<std::string>{"CITestWindow"});
        // Unloading in reverse order: the copy goes first and must not take the first one's entry.
        loader.UnloadAll();
        QVERIFY(RegisteredClientSnapIns().empty());
    }

    // kav-client --check on a program folder: settings, seat map configuration and every package, with a
    // non-zero exit for anything the operator must fix.
    void selfCheckReportsWhatTheClientWouldFind() {
        const fs::path folder = temp_.path().toStdString();
        const auto check = [&](std::optional<fs::path> extra = {}) {
            std::ostringstream out;
            TClientOptions options;
            options.pluginFolder = std::move(extra);
            options.check = true;
            const int code = RunSelfCheck(folder, options, out);
            return std::make_pair(code, out.str());
        };
        fs::remove(folder / "KavClient.ini");
        fs::remove(folder / "SEATMAP.CFG");
        auto [code, report] = check();
        QCOMPARE(code, 1);
        QVERIFY2(report.find("KavClient.ini is missing") != std::string::npos, report.c_str());
        QVERIFY2(report.find("SEATMAP.CFG is missing") != std::string::npos, report.c_str());

        Write(folder / "KavClient.ini", "[Server]\nHost=box-office-1\nPort=7000\n[Node]\nNodeCode=01\n");
        Write(folder / "SEATMAP.CFG", "[LEVEL]\nLEVEL_A=$000000FF\n");
        std::tie(code, report) = check();
        QCOMPARE(code, 0);
        QVERIFY2(report.find("server box-office-1:7000, node 01") != std::string::npos, report.c_str());
        QVERIFY2(report.find("package loaded: " + (plugins_ / "libkavtestpackage.so").string()) !=
                     std::string::npos,
                 report.c_str());
        QVERIFY(RegisteredClientSnapIns().empty()); // unloaded again

        const fs::path extra = folder / "extra";
        Copy("libkavbrokenpackage.so", extra);
        std::tie(code, report) = check(extra);
        QCOMPARE(code, 1);
        QVERIFY2(report.find("package failed: " + (extra / "libkavbrokenpackage.so").string()) !=
                     std::string::npos,
                 report.c_str());
        fs::remove_all(extra);
    }
};

int RunPackageLoaderTest(int argc, char** argv) {
    PackageLoaderTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "packageloader_test.moc"
