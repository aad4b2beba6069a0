#include "shell/mainwindow.h"

#include "host/snapin/snapinregistry.h"
#include "dialogs/guardedcall.h"
#include "platform/widgets/qtext.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>

namespace kav {

namespace {

// The snap-in a docked form belongs to, kept on the form so it goes with it.
constexpr const char* kOwnerProperty = "kavSnapIn";

// The central tabs, telling when their number changes (a form destroyed elsewhere takes its tab along).
class TRootTabs final : public QTabWidget {
public:
    std::function<void()> countChanged;

protected:
    void tabInserted(int) override { countChanged(); }
    void tabRemoved(int) override { countChanged(); }
};

} // namespace

TKavMainWindow::TKavMainWindow(TShellSession session, std::function<bool()> isConnected, QWidget* parent)
    : QMainWindow(parent), session_(std::move(session)), isConnected_(std::move(isConnected)) {
    setObjectName(QStringLiteral("KavMainWindow"));
    setWindowTitle(QStringLiteral("售票系统 - %1")
                       .arg(Q(session_.UserName.empty() ? session_.UserCode : session_.UserName)));
    resize(1024, 700);

    auto* tabs = new TRootTabs;
    tabs->countChanged = [this] { ShowTabsOrHint(); };
    tabs_ = tabs;
    tabs_->setObjectName(QStringLiteral("RootTabs"));
    tabs_->setTabsClosable(true);
    tabs_->setMovable(true);
    tabs_->setDocumentMode(true);
    connect(tabs_, &QTabWidget::tabCloseRequested, this, &TKavMainWindow::CloseTab);

    auto* hint = new QLabel(QStringLiteral("请从“窗口”菜单或工具栏打开窗口"));
    hint->setObjectName(QStringLiteral("EmptyHint"));
    hint->setAlignment(Qt::AlignCenter);
    hint->setEnabled(false);

    central_ = new QStackedWidget;
    central_->addWidget(hint);
    central_->addWidget(tabs_);
    setCentralWidget(central_);

    BuildMenus();
    BuildStatusBar();
    RefreshSnapInEntries();

    previousRootWindow_ = SetRootWindowHook([this](QWidget* form) { DockForm(form); });

    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &TKavMainWindow::UpdateConnectionState);
    timer->start(1000);
}

TKavMainWindow::~TKavMainWindow() {
    SetRootWindowHook(previousRootWindow_);
    // Snap-ins free their windows while the tabs holding them still exist.
    snapIns_.clear();
}

void TKavMainWindow::BuildMenus() {
    QMenu* systemMenu = menuBar()->addMenu(QStringLiteral("系统(&S)"));
    QAction* quit = systemMenu->addAction(QStringLiteral("退出(&X)"));
    quit->setObjectName(QStringLiteral("act_Quit"));
    connect(quit, &QAction::triggered, this, &QWidget::close);

    windowMenu_ = menuBar()->addMenu(QStringLiteral("窗口(&W)"));
    windowToolBar_ = addToolBar(QStringLiteral("窗口"));
    windowToolBar_->setObjectName(QStringLiteral("WindowToolBar"));
    windowToolBar_->setMovable(false);
    windowToolBar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
}

void TKavMainWindow::BuildStatusBar() {
    const auto add = [this](const char* name, const QString& text) {
        auto* label = new QLabel(text);
        label->setObjectName(QString::fromLatin1(name));
        label->setContentsMargins(6, 0, 10, 0);
        statusBar()->addWidget(label);
        return label;
    };
    QString user = Q(session_.UserCode);
    if (!session_.UserName.empty()) user += QStringLiteral(" %1").arg(Q(session_.UserName));
    add("StatusUser", QStringLiteral("用户: %1").arg(user));
    add("StatusGroup", QStringLiteral("售票组: %1").arg(Q(session_.GroupCode)));
    add("StatusNode", QStringLiteral("节点: %1").arg(Q(session_.NodeCode)));
    add("StatusServer", QStringLiteral("服务器: %1:%2").arg(Q(session_.Host)).arg(session_.Port));
    connection_ = new QLabel;
    connection_->setObjectName(QStringLiteral("StatusConnection"));
    connection_->setContentsMargins(10, 0, 12, 0);
    statusBar()->addPermanentWidget(connection_);
    UpdateConnectionState();
}

void TKavMainWindow::RefreshSnapInEntries() {
    // Deleting an action takes it out of the menu and the tool bar alike.
    qDeleteAll(windowMenu_->actions());
    const QIcon icon = style()->standardIcon(QStyle::SP_FileDialogContentsView);
    for (const TClientSnapInEntry& entry : RegisteredClientSnapIns()) {
        auto* action = new QAction(icon, Q(entry.Caption), windowMenu_);
        action->setObjectName(Q("act_" + entry.Name));
        connect(action, &QAction::triggered, this, [this, name = entry.Name] { OpenSnapIn(name); });
        windowMenu_->addAction(action);
        windowToolBar_->addAction(action);
    }
    if (windowMenu_->isEmpty()) windowMenu_->addAction(QStringLiteral("(没有可用的窗口)"))->setEnabled(false);
}

bool TKavMainWindow::OpenSnapIn(const std::string& name) {
    const bool ran = RunGuarded([&] {
        auto it = snapIns_.find(name);
        if (it == snapIns_.end()) {
            std::unique_ptr<IKavClientSnapIn> snapIn = CreateClientSnapIn(name);
            if (!snapIn) throw std::runtime_error("窗口 " + name + " 未注册");
            it = snapIns_.emplace(name, std::move(snapIn)).first;
        }
        it->second->SetContext(session_.ContextText);
        executing_ = name;
        it->second->Execute();
    });
    executing_.clear();
    UpdateConnectionState();
    return ran;
}

void TKavMainWindow::DockForm(QWidget* form) {
    // Docking moves the form into this window, which makes Qt forget the field it asked for.
    QPointer<QWidget> asked = form->focusWidget();
    if (tabs_->indexOf(form) < 0) {
        if (!executing_.empty() && form->property(kOwnerProperty).isNull())
            form->setProperty(kOwnerProperty, Q(executing_));
        QString title = form->windowTitle();
        if (title.isEmpty()) title = Q(executing_);
        tabs_->addTab(form, title);
        connect(form, &QWidget::windowTitleChanged, tabs_, [this, form](const QString& text) {
            if (const int index = tabs_->indexOf(form); index >= 0) tabs_->setTabText(index, text);
        });
        form->installEventFilter(this);
    }
    form->setVisible(true);
    tabs_->setCurrentWidget(form);
    TakeKeyboard(form, asked);
}

// A window just opened or brought forward takes the keyboard, so that its keys work without a click:
// the field it asked for while it was being built (a search window its first search field), else its
// focus proxy when it names one, else its first widget in the tab order.
void TKavMainWindow::TakeKeyboard(QWidget* form, QWidget* asked) {
    // Asked first: bringing a page forward already hands the keyboard to its first field.
    if (asked && form->isAncestorOf(asked) && asked->isVisibleTo(form) && asked->isEnabled()) {
        asked->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (QWidget* focus = QApplication::focusWidget(); focus && form->isAncestorOf(focus)) return;
    if (form->focusProxy()) {
        form->setFocus(Qt::OtherFocusReason);
        return;
    }
    for (QWidget* next = form->nextInFocusChain(); next && next != form; next = next->nextInFocusChain())
        if (form->isAncestorOf(next) && (next->focusPolicy() & Qt::TabFocus) && next->isVisibleTo(form) &&
            next->isEnabled()) {
            next->setFocus(Qt::OtherFocusReason);
            return;
        }
}

void TKavMainWindow::CloseTab(int index) {
    QPointer<QWidget> form = tabs_->widget(index);
    if (form && AskToClose(form) && form) RemoveForm(form);
}

bool TKavMainWindow::AskToClose(QWidget* form) {
    closing_ = form;
    const bool closed = form->close();
    closing_ = nullptr;
    return closed;
}

void TKavMainWindow::RemoveForm(QWidget* form) {
    QPointer<QWidget> guard(form);
    const QVariant owner = form->property(kOwnerProperty);
    // A form of no snap-in stays its maker's to free.
    bool others = false;
    for (int i = 0; i < tabs_->count() && !owner.isNull(); ++i)
        others = others || (tabs_->widget(i) != form && tabs_->widget(i)->property(kOwnerProperty) == owner);
    // Destroying the snap-in runs its Shutdown, which frees the form and so its tab.
    if (auto it = snapIns_.find(owner.toString().toStdString()); !others && it != snapIns_.end())
        snapIns_.erase(it);
    else if (others)
        delete guard.data();
    if (guard) tabs_->removeTab(tabs_->indexOf(guard));
}

bool TKavMainWindow::eventFilter(QObject* watched, QEvent* event) {
    // A docked form that closes itself (its own exit action) ends like a closed tab, once its close is
    // done and if it did close.
    if (event->type() == QEvent::Close && watched != closing_ && watched->isWidgetType() &&
        tabs_->indexOf(static_cast<QWidget*>(watched)) >= 0) {
        QTimer::singleShot(0, this, [this, form = QPointer<QWidget>(static_cast<QWidget*>(watched))] {
            if (form && tabs_->indexOf(form) >= 0 && !form->isVisible()) RemoveForm(form);
        });
    }
    return QMainWindow::eventFilter(watched, event);
}

void TKavMainWindow::closeEvent(QCloseEvent* event) {
    for (int i = tabs_->count() - 1; i >= 0; --i) {
        QPointer<QWidget> form = tabs_->widget(i);
        if (!AskToClose(form)) {
            event->ignore();
            return;
        }
        if (form) RemoveForm(form);
    }
    QMainWindow::closeEvent(event);
}

void TKavMainWindow::ShowTabsOrHint() {
    if (central_) central_->setCurrentIndex(tabs_->count() > 0 ? 1 : 0);
}

void TKavMainWindow::UpdateConnectionState() {
    const bool up = isConnected_ && isConnected_();
    connection_->setText(up ? QStringLiteral("已连接") : QStringLiteral("未连接"));
    connection_->setStyleSheet(up ? QStringLiteral("color: #1b7a1b") : QStringLiteral("color: #b00020"));
}

} // namespace kav
