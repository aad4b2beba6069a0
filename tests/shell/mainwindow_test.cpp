// The main window as a user meets it: an entry per registered snap-in, their windows docked as tabs (one
// per snap-in, however often opened), tabs that close their snap-in, failures shown through the dialogs,
// and the status bar.

#include "dialogs/dialogresponder.h"
#include "host/snapin/formsnapin.h"
#include "host/snapin/rootwindow.h"
#include "host/snapin/snapinregistry.h"
#include "shell/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QtTest>

using namespace kav;

namespace {

const char* const kLostConnectionText = "请检查网络，现在已和服务器断开连接!";

class TContextForm : public QWidget {
public:
    TContextForm() {
        setWindowTitle(QStringLiteral("售票窗口"));
        auto* component = new TKavCSnapIn(this);
        connect(component, &TKavCSnapIn::ContextChanged, this,
                [this](const std::string& t) { contexts.push_back(t); });
    }
    std::vector<std::string> contexts;
};

class TUntitledForm : public QWidget {};

// A search form: its first field takes the keys.
class TTypingForm : public QWidget {
public:
    TTypingForm() {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(QStringLiteral("订单号:")));
        layout->addWidget(code = new QLineEdit);
        layout->addWidget(new QLineEdit);
    }
    QLineEdit* code;
};

// A form that asks, while it is built, for a field other than its first.
class TAskingForm : public QWidget {
public:
    TAskingForm() {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLineEdit);
        layout->addWidget(code = new QLineEdit);
        code->setFocus();
    }
    QLineEdit* code;
};

// A drawing form that names the widget taking the keys, after a column of buttons.
class TProxyForm : public QWidget {
public:
    TProxyForm() {
        auto* layout = new QHBoxLayout(this);
        layout->addWidget(new QPushButton(QStringLiteral("保存")));
        layout->addWidget(board = new QLineEdit);
        setFocusProxy(board);
    }
    QLineEdit* board;
};

using TSaleSnapIn = TKavFormSnapIn<TContextForm>;
using TUntitledSnapIn = TKavFormSnapIn<TUntitledForm>;
using TTypingSnapIn = TKavFormSnapIn<TTypingForm>;
using TProxySnapIn = TKavFormSnapIn<TProxyForm>;
using TAskingSnapIn = TKavFormSnapIn<TAskingForm>;

// Fails like a window whose first remote call finds the server gone, once.
class TFailingSnapIn : public TKavFormSnapIn<TUntitledForm> {
public:
    void Execute() override {
        if (failuresLeft > 0) {
            --failuresLeft;
            throw std::runtime_error(kLostConnectionText);
        }
        TKavFormSnapIn::Execute();
    }
    static inline int failuresLeft = 0;
};

// A window that may keep itself open, as one with unsaved work does.
class TGuardedForm : public QWidget {
public:
    static inline bool mayClose = true;

protected:
    void closeEvent(QCloseEvent* event) override { mayClose ? event->accept() : event->ignore(); }
};

// Opens a new window at every Execute, as the seat layout does; frees those still open at Shutdown.
class TManyWindowsSnapIn : public IKavClientSnapIn {
public:
    ~TManyWindowsSnapIn() override { Shutdown(); }
    void SetContext(const std::string&) override {}
    void Execute() override {
        auto* form = new TGuardedForm;
        form->setWindowTitle(QStringLiteral("座位划定 %1").arg(forms_.size() + 1));
        forms_.emplace_back(form);
        ShowFormInRootWindow(form);
    }
    void Shutdown() override {
        for (const QPointer<QWidget>& form : forms_)
            delete form.data();
        forms_.clear();
        ++shutdowns;
    }
    static inline int shutdowns = 0;

private:
    std::vector<QPointer<QWidget>> forms_;
};

TShellSession Session() {
    return {"NODECODE=01\nUSERCODE=0001", "0001", "张三", "G01", "01", "127.0.0.1", 6666};
}

QString StatusText(const TKavMainWindow& window, const char* name) {
    return window.statusBar()->findChild<QLabel*>(name)->text();
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::vector<std::unique_ptr<TSnapInRegistration>> registrations_;
    bool connected_ = true;

    std::unique_ptr<TKavMainWindow> MakeWindow() {
        return std::make_unique<TKavMainWindow>(Session(), [this] { return connected_; });
    }

private slots:
    void init() {
        registrations_.push_back(
            std::make_unique<TSnapInRegistration>("CISale", SnapInClass<TSaleSnapIn>(), "售票"));
        registrations_.push_back(
            std::make_unique<TSnapInRegistration>("CIUntitled", SnapInClass<TUntitledSnapIn>()));
        registrations_.push_back(
            std::make_unique<TSnapInRegistration>("CIMany", SnapInClass<TManyWindowsSnapIn>()));
        registrations_.push_back(
            std::make_unique<TSnapInRegistration>("CITyping", SnapInClass<TTypingSnapIn>()));
        registrations_.push_back(std::make_unique<TSnapInRegistration>("CIProxy", SnapInClass<TProxySnapIn>()));
        registrations_.push_back(std::make_unique<TSnapInRegistration>("CIAsking", SnapInClass<TAskingSnapIn>()));
        registrations_.push_back(
            std::make_unique<TSnapInRegistration>("CIFailing", SnapInClass<TFailingSnapIn>()));
        TGuardedForm::mayClose = true;
        TManyWindowsSnapIn::shutdowns = 0;
        connected_ = true;
        TFailingSnapIn::failuresLeft = 0;
    }
    void cleanup() { registrations_.clear(); }

    void entriesFollowTheRegistry() {
        auto window = MakeWindow();
        auto* sale = window->findChild<QAction*>("act_CISale");
        QVERIFY(sale);
        QCOMPARE(sale->text(), QString("售票"));
        QVERIFY(window->findChild<QToolBar*>("WindowToolBar")->actions().contains(sale));

        registrations_.pop_back();
        window->RefreshSnapInEntries();
        QVERIFY(!window->findChild<QAction*>("act_CIFailing"));
        QVERIFY(window->findChild<QAction*>("act_CIUntitled"));
    }

    void openingTwiceDocksOneTabWithTheNewestContext() {
        auto window = MakeWindow();
        window->findChild<QAction*>("act_CISale")->trigger();
        window->findChild<QAction*>("act_CIUntitled")->trigger();
        window->findChild<QAction*>("act_CISale")->trigger();

        QTabWidget* tabs = window->Tabs();
        QCOMPARE(tabs->count(), 2);
        auto* form = dynamic_cast<TContextForm*>(tabs->currentWidget());
        QVERIFY(form);
        QCOMPARE(tabs->tabText(0), QString("售票窗口")); // the window's own title
        QCOMPARE(tabs->tabText(1), QString("CIUntitled"));
        QCOMPARE(form->contexts, (std::vector<std::string>{Session().ContextText, Session().ContextText}));

        form->setWindowTitle(QStringLiteral("售票 - 第二场"));
        QCOMPARE(tabs->tabText(0), QString("售票 - 第二场"));
    }

    void closingATabEndsItsSnapIn() {
        auto window = MakeWindow();
        QVERIFY(window->OpenSnapIn("CISale"));
        QPointer<QWidget> first = window->Tabs()->currentWidget();
        window->Tabs()->tabCloseRequested(0);
        QVERIFY(!first); // the snap-in's Shutdown freed it
        QCOMPARE(window->Tabs()->count(), 0);

        QVERIFY(window->OpenSnapIn("CISale"));
        QPointer<QWidget> second = window->Tabs()->currentWidget();
        QVERIFY(second);
        QCOMPARE(window->Tabs()->count(), 1);

        // A form that closes itself goes the same way.
        second->close();
        QTRY_VERIFY(!second);
        QCOMPARE(window->Tabs()->count(), 0);
    }

    // A snap-in with several windows keeps the others when one closes; a window may refuse to close,
    // also when the main window closes.
    void windowsOfOneSnapInCloseOneByOne() {
        auto window = MakeWindow();
        QVERIFY(window->OpenSnapIn("CIMany"));
        QVERIFY(window->OpenSnapIn("CIMany"));
        QTabWidget* tabs = window->Tabs();
        QCOMPARE(tabs->count(), 2);
        QPointer<QWidget> first = tabs->widget(0), second = tabs->widget(1);
        tabs->tabCloseRequested(0);
        QVERIFY(!first);
        QVERIFY(second);
        QCOMPARE(tabs->count(), 1);
        QCOMPARE(TManyWindowsSnapIn::shutdowns, 0);

        TGuardedForm::mayClose = false;
        tabs->tabCloseRequested(0);
        QVERIFY(second);
        QCOMPARE(tabs->count(), 1);
        QCloseEvent quit;
        QApplication::sendEvent(window.get(), &quit);
        QVERIFY(!quit.isAccepted());
        QVERIFY(second);

        TGuardedForm::mayClose = true;
        tabs->tabCloseRequested(0);
        QVERIFY(!second);
        QCOMPARE(tabs->count(), 0);
        QCOMPARE(TManyWindowsSnapIn::shutdowns, 1); // with its last window the snap-in ended
    }

    // An opened window takes the keyboard at once, so its keys work without a click: its first field,
    // the field it asked for, or the widget it names as its focus proxy; opened again, it keeps the field the user was in.
    void anOpenedWindowTakesTheKeyboard() {
        auto window = MakeWindow();
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QVERIFY(window->OpenSnapIn("CITyping"));
        auto* typing = dynamic_cast<TTypingForm*>(window->Tabs()->currentWidget());
        QVERIFY(typing);
        QTRY_COMPARE(QApplication::focusWidget(), typing->code);
        QTest::keyClicks(QApplication::focusWidget(), "D0000123");
        QCOMPARE(typing->code->text(), QString("D0000123"));

        QVERIFY(window->OpenSnapIn("CIProxy"));
        auto* drawing = dynamic_cast<TProxyForm*>(window->Tabs()->currentWidget());
        QVERIFY(drawing);
        QTRY_COMPARE(QApplication::focusWidget(), drawing->board);

        QVERIFY(window->OpenSnapIn("CIAsking"));
        auto* asking = dynamic_cast<TAskingForm*>(window->Tabs()->currentWidget());
        QVERIFY(asking);
        QTRY_COMPARE(QApplication::focusWidget(), asking->code);

        auto* second = typing->findChildren<QLineEdit*>().at(1);
        window->Tabs()->setCurrentWidget(typing);
        second->setFocus();
        QVERIFY(window->OpenSnapIn("CITyping"));
        QTRY_COMPARE(QApplication::focusWidget(), second);
    }

    void closingTheWindowFreesDockedForms() {
        auto window = MakeWindow();
        window->OpenSnapIn("CISale");
        window->OpenSnapIn("CIUntitled");
        QPointer<QWidget> form = window->Tabs()->widget(0);
        window.reset();
        QVERIFY(!form);
    }

    void failuresAreShownAndTheNextTryRuns() {
        auto window = MakeWindow();
        ScriptedDialogResponder dialogs;
        dialogs.Push(1).Push(1);

        TFailingSnapIn::failuresLeft = 1;
        QVERIFY(!window->OpenSnapIn("CIFailing"));
        QVERIFY(!window->OpenSnapIn("CINowhere"));
        QCOMPARE(dialogs.Log().size(), 2u);
        QCOMPARE(dialogs.Log()[0].caption, std::string("错误信息"));
        QCOMPARE(dialogs.Log()[0].text, std::string(kLostConnectionText));
        QVERIFY(dialogs.Log()[1].text.find("CINowhere") != std::string::npos);
        QCOMPARE(window->Tabs()->count(), 0);

        QVERIFY(window->OpenSnapIn("CIFailing"));
        QCOMPARE(window->Tabs()->count(), 1);
        QVERIFY(dialogs.Problems().empty());
    }

    void anExceptionFromAnyWindowIsShownAndTheShellGoesOn() {
        // A snap-in's own button whose remote call fails: the application object catches what Qt cannot.
        QPushButton button;
        connect(&button, &QPushButton::clicked, [] { throw std::runtime_error(kLostConnectionText); });
        button.show();
        ScriptedDialogResponder dialogs;
        dialogs.Push(1).Push(1);
        QTest::mouseClick(&button, Qt::LeftButton);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(dialogs.Log().size(), 2u);
        QCOMPARE(dialogs.Log()[1].text, std::string(kLostConnectionText));
    }

    void statusBarShowsTheSessionAndTheConnection() {
        auto window = MakeWindow();
        QCOMPARE(StatusText(*window, "StatusUser"), QString("用户: 0001 张三"));
        QCOMPARE(StatusText(*window, "StatusGroup"), QString("售票组: G01"));
        QCOMPARE(StatusText(*window, "StatusNode"), QString("节点: 01"));
        QCOMPARE(StatusText(*window, "StatusServer"), QString("服务器: 127.0.0.1:6666"));
        QCOMPARE(StatusText(*window, "StatusConnection"), QString("已连接"));
        connected_ = false;
        QTRY_COMPARE(StatusText(*window, "StatusConnection"), QString("未连接"));
    }
};

int RunMainWindowTest(int argc, char** argv) {
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "mainwindow_test.moc"
