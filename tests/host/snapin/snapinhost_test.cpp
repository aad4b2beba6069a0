// The snap-in registry, the one-window snap-in's lifecycle as the shell drives it, and the root window hook.

#include "host/snapin/formsnapin.h"
#include "host/snapin/kavcsnapin.h"
#include "host/snapin/rootwindow.h"
#include "host/snapin/snapinregistry.h"

#include <QPointer>
#include <QSignalSpy>
#include <QtTest>
#include <vector>

using namespace kav;

namespace {

// A window as the packages build them: a context component whose signal the window answers.
class TContextWindow : public QWidget {
public:
    TContextWindow() {
        ++created;
        auto* component = new TKavCSnapIn(this);
        connect(component, &TKavCSnapIn::ContextChanged, this,
                [this](const std::string& text) { contexts.push_back(text); });
    }
    static inline int created = 0;
    std::vector<std::string> contexts;
};

using TContextSnapIn = TKavFormSnapIn<TContextWindow>;

class TOtherSnapIn : public TKavFormSnapIn<QWidget> {};

// Records what reaches the root window while installed.
class RootWindowRecorder {
public:
    RootWindowRecorder() {
        previous_ = SetRootWindowHook([this](QWidget* form) { shown.push_back(form); });
    }
    ~RootWindowRecorder() { SetRootWindowHook(previous_); }
    std::vector<QWidget*> shown;

private:
    TRootWindowHook previous_;
};

bool IsA(const std::unique_ptr<IKavClientSnapIn>& snapIn, auto* type) {
    return dynamic_cast<decltype(type)>(snapIn.get()) != nullptr;
}

std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const TClientSnapInEntry& e : RegisteredClientSnapIns())
        names.push_back(e.Name);
    return names;
}

} // namespace

class SnapInHostTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        for (const TClientSnapInEntry& e : RegisteredClientSnapIns())
            UnRegisterClientSnapIn(e.Name);
        TContextWindow::created = 0;
    }

    void registryKeepsTheFirstClassOfAName() {
        QVERIFY(RegisterClientSnapIn("CIOne", SnapInClass<TContextSnapIn>(), "第一"));
        QVERIFY(!RegisterClientSnapIn("CIOne", SnapInClass<TOtherSnapIn>(), "第二"));
        QVERIFY(RegisterClientSnapIn("CITwo", SnapInClass<TOtherSnapIn>()));

        QVERIFY(IsA(CreateClientSnapIn("CIOne"), static_cast<TContextSnapIn*>(nullptr)));
        const std::vector<TClientSnapInEntry> entries = RegisteredClientSnapIns();
        QCOMPARE(entries.size(), 2u);
        QCOMPARE(entries[0].Caption, std::string("第一"));
        QCOMPARE(entries[1].Caption, std::string("CITwo")); // no caption: the name
        // Names are exact: another spelling is another (unknown) snap-in.
        QVERIFY(!CreateClientSnapIn("cione"));
        QVERIFY(!CreateClientSnapIn("CIThree"));
    }

    void unregisteringForgetsTheNameOnly() {
        RegisterClientSnapIn("CIOne", SnapInClass<TContextSnapIn>());
        RegisterClientSnapIn("CITwo", SnapInClass<TOtherSnapIn>());
        UnRegisterClientSnapIn("CIOne");
        UnRegisterClientSnapIn("CIUnknown");
        QVERIFY(!CreateClientSnapIn("CIOne"));
        QCOMPARE(Names(), std::vector<std::string>{"CITwo"});
        // The name is free again.
        QVERIFY(RegisterClientSnapIn("CIOne", SnapInClass<TOtherSnapIn>()));
        QVERIFY(IsA(CreateClientSnapIn("CIOne"), static_cast<TOtherSnapIn*>(nullptr)));
    }

    void refusesRegistrationsThatCouldNotBeOpened() {
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 RegisterClientSnapIn("", SnapInClass<TOtherSnapIn>()));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, RegisterClientSnapIn("CIOne", nullptr));
        QVERIFY(RegisteredClientSnapIns().empty());
    }

    void aRefusedScopedRegistrationLeavesTheFirstInPlace() {
        TSnapInRegistration first("CIOne", SnapInClass<TContextSnapIn>());
        {
            // A second package offering the same name is refused and, when it goes, must not take the
            // first package's snap-in with it.
            TSnapInRegistration second("CIOne", SnapInClass<TOtherSnapIn>());
        }
        QVERIFY(IsA(CreateClientSnapIn("CIOne"), static_cast<TContextSnapIn*>(nullptr)));
    }

    void scopedRegistrationEndsWithItsScope() {
        {
            TSnapInRegistration registration("CIOne", SnapInClass<TContextSnapIn>());
            QCOMPARE(Names(), std::vector<std::string>{"CIOne"});
        }
        QVERIFY(RegisteredClientSnapIns().empty());
    }

    void executeCreatesOneWindowAndShowsItEachTime() {
        RootWindowRecorder root;
        RegisterClientSnapIn("CIOne", SnapInClass<TContextSnapIn>());
        std::unique_ptr<IKavClientSnapIn> snapIn = CreateClientSnapIn("CIOne");
        auto* typed = static_cast<TContextSnapIn*>(snapIn.get());

        snapIn->SetContext("USERCODE=1");
        QVERIFY(!typed->Window()); // storing the context opens nothing
        snapIn->Execute();
        QPointer<TContextWindow> window = typed->Window();
        QVERIFY(window);
        snapIn->SetContext("USERCODE=2");
        QCOMPARE(window->contexts, std::vector<std::string>{"USERCODE=1"}); // seen at the next Execute only
        snapIn->Execute();

        QCOMPARE(TContextWindow::created, 1);
        QCOMPARE(root.shown, (std::vector<QWidget*>{window, window}));
        QCOMPARE(window->contexts, (std::vector<std::string>{"USERCODE=1", "USERCODE=2"}));

        snapIn->Shutdown();
        QVERIFY(!window);
        snapIn->Shutdown(); // nothing left to free

        snapIn->Execute(); // a fresh window, which starts from the newest context
        QCOMPARE(TContextWindow::created, 2);
        QPointer<TContextWindow> second = typed->Window();
        QCOMPARE(second->contexts, std::vector<std::string>{"USERCODE=2"});

        snapIn.reset(); // destroying the snap-in frees its window
        QVERIFY(!second);
    }

    void aWindowDestroyedByItsDockIsNotFreedAgain() {
        RootWindowRecorder root;
        TContextSnapIn snapIn;
        snapIn.Execute();
        delete snapIn.Window(); // as when the dock that adopted it goes first
        QVERIFY(!snapIn.Window());
        snapIn.Execute();
        QCOMPARE(TContextWindow::created, 2);
    }

    void withoutRootWindowTheFormShowsOnItsOwn() {
        QWidget form;
        ShowFormInRootWindow(&form);
        QVERIFY(form.isVisible());
        QVERIFY(form.isWindow());
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, ShowFormInRootWindow(nullptr));
    }

    void contextComponentSignalsEveryTimeItIsSet() {
        TKavCSnapIn component;
        QSignalSpy spy(&component, &TKavCSnapIn::ContextChanged);
        component.SetContext("A=1");
        component.SetContext("A=1");
        QCOMPARE(spy.count(), 2);
        QCOMPARE(component.Context(), std::string("A=1"));
    }
};

QTEST_MAIN(SnapInHostTest)
#include "snapinhost_test.moc"
