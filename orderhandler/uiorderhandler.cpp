#include "orderhandler/uiorderhandler.h"

#include "dialogs/guardedcall.h"
#include "dialogs/kavdialog.h"
#include "host/orb.h"
#include "host/snapin/kavcsnapin.h"
#include "orderhandler/odrhcodetables.h"
#include "orderhandler/odrhexcelexport.h"
#include "orderhandler/odrhfiles.h"
#include "orderhandler/odrhgridtext.h"
#include "orderhandler/odrhmemberreceipt.h"
#include "orderhandler/odrhoptionsset.h"
#include "orderhandler/odrhordermodel.h"
#include "orderhandler/odrhpackage.h"
#include "orderhandler/odrhreceipt.h"
#include "orderhandler/odrhsettings.h"
#include "orderhandler/odrhsplitentry.h"
#include "orderhandler/odrhshippingprint.h"
#include "orderhandler/odrhtextmessage.h"
#include "orderhandler/uimembercardswipe.h"
#include "orderhandler/uimodifycustomerinfo.h"
#include "orderhandler/uiorderhandlersearchpanel.h"
#include "orderhandler/uiorderhandlersearchproduct.h"
#include "orderhandler/uiorderhandlersetting.h"
#include "orderhandler/uiorderhandlertitlesetting.h"
#include "platform/widgets/actionupdater.h"
#include "platform/widgets/cupsqueues.h"
#include "platform/widgets/filedialog.h"
#include "platform/widgets/hourglass.h"
#include "platform/widgets/printerchoice.h"
#include "platform/widgets/qtext.h"
#include "platform/widgets/rawprinter.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

namespace kav::orderhandler {

TUIOrderHandler* UIOrderHandler = nullptr;

namespace {

// Only the sites of this code send text messages to their customers.
constexpr const char* kTextMessageSite = "TOLVA";

bool OneOf(std::string_view status, std::initializer_list<std::string_view> statuses) {
    return std::find(statuses.begin(), statuses.end(), status) != statuses.end();
}

bool Contains(const TodrHOrderInfoList& orders, std::string_view orderCode) {
    return std::any_of(orders.begin(), orders.end(), [&](const auto& order) { return order->orderCode == orderCode; });
}

} // namespace

TUIOrderHandler::TUIOrderHandler(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("UIOrderHandler"));
    setWindowTitle(QStringLiteral("订单处理"));
    snapIn_ = new TKavCSnapIn(this);
    connect(snapIn_, &TKavCSnapIn::ContextChanged, this, &TUIOrderHandler::ContextChanged);
    updater_ = new TActionUpdater(this);
    model_ = new TOrderGridModel(this);
    BuildActions();
    BuildLayout();
    BuildRules();
    columns_ = DefaultOrderTitles();
    RebuildColumns();
    ShowCaption(QStringLiteral("查询结果："));
}

TUIOrderHandler::~TUIOrderHandler() {
    if (UIOrderHandler == this) UIOrderHandler = nullptr;
}

QAction* TUIOrderHandler::MakeAction(const char* name, const QString& caption, const QKeySequence& shortcut,
                                     void (TUIOrderHandler::*run)(), const QString& statusTip) {
    auto* action = new QAction(caption, this);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    action->setStatusTip(statusTip);
    connect(action, &QAction::triggered, this, [this, run] { RunGuarded([this, run] { (this->*run)(); }); });
    addAction(action);
    actions_[name] = action;
    return action;
}

void TUIOrderHandler::BuildActions() {
    MakeAction("act_SearchOrderByPrecision", QStringLiteral("查询订单"), Qt::Key_F2,
               &TUIOrderHandler::SearchOrderByPrecision, QStringLiteral("按订单号或订单密码查询"));
    MakeAction("act_SearchOrderByDetail", QStringLiteral("查询订单"), Qt::Key_F3, &TUIOrderHandler::SearchOrderByDetail,
               QStringLiteral("按顾客、演出、状态、来源和时间查询"));
    MakeAction("act_SearchOrder", QStringLiteral("查询订单"), QKeySequence(Qt::CTRL | Qt::Key_F),
               &TUIOrderHandler::SearchOrder, QStringLiteral("有订单号或密码时精确查询，否则按条件查询"));
    MakeAction("act_OrderHandler", QStringLiteral("订单取票"), Qt::Key_Return, &TUIOrderHandler::OrderHandler);
    MakeAction("act_CancelOrder", QStringLiteral("取消订单"), QKeySequence(Qt::CTRL | Qt::Key_D),
               &TUIOrderHandler::CancelOrder);
    MakeAction("act_ChangeSeat", QStringLiteral("拆分订单"), QKeySequence(Qt::CTRL | Qt::Key_T),
               &TUIOrderHandler::ChangeSeat);
    MakeAction("act_GetOrderSeatInfo", QStringLiteral("获取座位信息"), QKeySequence(Qt::CTRL | Qt::Key_G),
               &TUIOrderHandler::GetOrderSeatInfo);
    MakeAction("actSearchSeats", QStringLiteral("查看座位"), Qt::Key_F6, &TUIOrderHandler::SearchSeats);
    MakeAction("act_ModifiyOrderCustomerInfo", QStringLiteral("修改订单顾客信息"), Qt::Key_F4,
               &TUIOrderHandler::ModifyOrderCustomerInfo);
    MakeAction("act_PrintShippingList", QStringLiteral("打印配送单"), QKeySequence(Qt::CTRL | Qt::Key_P),
               &TUIOrderHandler::PrintShippingList);
    MakeAction("act_PrintShippingListSet", QStringLiteral("配送单设置"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P),
               &TUIOrderHandler::PrintShippingListSet);
    MakeAction("act_PrintNote", QStringLiteral("打印对帐单"), QKeySequence(Qt::CTRL | Qt::Key_B),
               &TUIOrderHandler::PrintNote);
    MakeAction("actAgainPriInfo", QStringLiteral("重打小票"), QKeySequence(Qt::CTRL | Qt::Key_R),
               &TUIOrderHandler::AgainPrintInfo);
    MakeAction("actResendMessage", QStringLiteral("重发短信"), QKeySequence(Qt::CTRL | Qt::Key_M),
               &TUIOrderHandler::ResendMessage);
    MakeAction("act_ExportExcel", QStringLiteral("导出EXCEL"), QKeySequence(Qt::CTRL | Qt::Key_E),
               &TUIOrderHandler::ExportExcel);
    MakeAction("act_SetTitle", QStringLiteral("销售信息显示设置"), QKeySequence(Qt::CTRL | Qt::Key_L),
               &TUIOrderHandler::SetTitle);
    MakeAction("act_Setting", QStringLiteral("设置"), Qt::Key_F9, &TUIOrderHandler::Setting);
    MakeAction("act_SearchProduct", QStringLiteral("查询演出"), Qt::Key_F7, &TUIOrderHandler::SearchProduct);
    MakeAction("act_ResetProduct", QStringLiteral("重置演出"), QKeySequence(Qt::SHIFT | Qt::Key_F7),
               &TUIOrderHandler::ResetProduct);
    MakeAction("act_ReadCard", QStringLiteral("读卡"), Qt::Key_F8, &TUIOrderHandler::ReadCard);
    MakeAction("act_ClearSearch", QStringLiteral("清除条件"), Qt::Key_Escape, &TUIOrderHandler::ClearSearch,
               QStringLiteral("清空查询条件，回到订单号"));
}

void TUIOrderHandler::BuildLayout() {
    const auto action = [this](const char* name) { return actions_.at(name); };
    // An empty name stands for a separator.
    const auto AddEntry = [this](QMenu* menu, const char* name) {
        if (*name) menu->addAction(actions_.at(name));
        else menu->addSeparator();
    };

    auto* menuBar = new QMenuBar(this);
    QMenu* orders = menuBar->addMenu(QStringLiteral("订单(&O)"));
    for (const char* name : {"act_OrderHandler", "act_CancelOrder", "act_ChangeSeat", "act_GetOrderSeatInfo",
                             "actSearchSeats", "", "act_ModifiyOrderCustomerInfo", "", "act_PrintShippingList",
                             "act_PrintNote", "actAgainPriInfo", "actResendMessage", "", "act_ExportExcel"})
        AddEntry(orders, name);
    QMenu* search = menuBar->addMenu(QStringLiteral("查询(&Q)"));
    for (const char* name : {"act_SearchOrderByPrecision", "act_SearchOrderByDetail", "act_SearchOrder", "",
                             "act_SearchProduct", "act_ResetProduct", "act_ReadCard", "", "act_ClearSearch"})
        AddEntry(search, name);
    QMenu* settings = menuBar->addMenu(QStringLiteral("设置(&T)"));
    for (const char* name : {"act_Setting", "act_SetTitle", "act_PrintShippingListSet"})
        settings->addAction(action(name));

    panel_ = new TOrderSearchPanel(this);
    panel_->setObjectName(QStringLiteral("pnlSearch"));
    panel_->SetActions(action("act_SearchProduct"), action("act_ResetProduct"), action("act_ReadCard"));
    connect(panel_, &TOrderSearchPanel::ExactSearchRequested, this, [this] {
        UpdateActions();
        if (QAction* exact = actions_.at("act_SearchOrderByPrecision"); exact->isEnabled()) exact->trigger();
    });
    connect(panel_, &TOrderSearchPanel::DetailSearchRequested, this,
            [this] { actions_.at("act_SearchOrderByDetail")->trigger(); });
    connect(panel_, &TOrderSearchPanel::ResultsRequested, this, &TUIOrderHandler::MoveToResults);

    auto* buttons = new QHBoxLayout;
    for (const char* name : {"act_OrderHandler", "act_CancelOrder", "act_Setting", "act_SearchOrder", "act_ExportExcel",
                             "actResendMessage", "actSearchSeats"}) {
        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("btn_%1").arg(QLatin1String(name)));
        button->setDefaultAction(action(name));
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setMinimumWidth(84);
        buttons->addWidget(button);
    }
    buttons->addStretch();

    auto* results = new QGroupBox(QStringLiteral("销售信息"), this);
    results->setObjectName(QStringLiteral("grpResult"));
    caption_ = new QLabel(results);
    caption_->setObjectName(QStringLiteral("lblResult"));
    caption_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid_ = new QTreeView(results);
    grid_->setObjectName(QStringLiteral("vstSearchResult"));
    grid_->setModel(model_);
    grid_->setRootIsDecorated(false);
    grid_->setUniformRowHeights(true);
    grid_->setAlternatingRowColors(true);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setContextMenuPolicy(Qt::CustomContextMenu);
    grid_->header()->setSectionsMovable(true);
    grid_->header()->setSectionsClickable(true);
    grid_->header()->setSortIndicatorShown(false);
    grid_->header()->setStretchLastSection(false);
    // Enter on a row opens the order; the shortcut belongs to the grid so that Enter in a search field
    // still searches.
    QAction* open = action("act_OrderHandler");
    open->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    open->setShortcutContext(Qt::WidgetShortcut);
    removeAction(open);
    grid_->addAction(open);
    connect(grid_, &QTreeView::doubleClicked, this, [this] {
        UpdateActions();
        if (QAction* open = actions_.at("act_OrderHandler"); open->isEnabled()) open->trigger();
    });
    connect(grid_->header(), &QHeaderView::sectionClicked, this, &TUIOrderHandler::HeaderClicked);
    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TUIOrderHandler::CurrentRowChanged);

    gridMenu_ = new QMenu(this);
    for (const char* name : {"act_OrderHandler", "act_CancelOrder", "act_ChangeSeat", "act_GetOrderSeatInfo", "",
                             "act_ModifiyOrderCustomerInfo", "", "act_PrintShippingList", "", "act_PrintNote", "",
                             "act_SetTitle", "", "actAgainPriInfo"})
        AddEntry(gridMenu_, name);
    connect(grid_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        UpdateActions();
        gridMenu_->popup(grid_->viewport()->mapToGlobal(at));
    });

    auto* resultLayout = new QVBoxLayout(results);
    resultLayout->addWidget(caption_);
    resultLayout->addWidget(grid_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addWidget(panel_);
    layout->addLayout(buttons);
    layout->addWidget(results, 1);
    setTabOrder(panel_, grid_);
}

void TUIOrderHandler::BuildRules() {
    const auto selected = [this](const std::function<QString(TodrHOrderInfoRecord&)>& rule) {
        return [this, rule]() -> QString {
            TodrHOrderInfoRecord* order = SelectedOrder();
            return order ? rule(*order) : QStringLiteral("请先选择一个订单");
        };
    };
    const auto add = [this](const char* name, TActionUpdater::TRule rule) { updater_->AddRule(actions_.at(name), rule); };

    add("act_SearchOrderByPrecision", [this]() -> QString {
        if (panel_->OrderCode().empty() && panel_->OrderPassword().empty()) return QStringLiteral("请输入订单号或订单密码");
        return {};
    });
    add("act_SearchOrderByDetail", {});
    add("act_SearchOrder", {});
    add("act_OrderHandler", selected([this](TodrHOrderInfoRecord& order) -> QString {
        if (!OrderWindows().openOrder) return QStringLiteral("订单取票窗口尚未安装，暂不能取票");
        if (!OneOf(order.orderStatus.code, {"B", "N", "R"})) return QStringLiteral("只有未处理或已支付的订单可以取票");
        if (order.isPrint != "N") return QStringLiteral("该订单的票已打印");
        return ProductRight(order, false);
    }));
    add("act_CancelOrder", selected([this](TodrHOrderInfoRecord& order) -> QString {
        if (!OneOf(order.orderStatus.code, {"B", "N", "R"})) return QStringLiteral("只有未处理或已支付的订单可以取消");
        return ProductRight(order, true);
    }));
    add("act_ChangeSeat", selected([](TodrHOrderInfoRecord& order) -> QString {
        if (order.orderStatus.code != "B") return QStringLiteral("只有未处理的订单可以拆分");
        if (order.seatCount <= 1) return QStringLiteral("该订单只有一个座位");
        if (order.createUser != odrHContext().UserCode()) return QStringLiteral("只能拆分自己预订的订单");
        return {};
    }));
    add("act_ModifiyOrderCustomerInfo", [this] { return CustomerInfoRule(); });
    add("act_GetOrderSeatInfo", selected([](TodrHOrderInfoRecord& order) -> QString {
        return order.HasSeats() ? QStringLiteral("座位信息已获取") : QString();
    }));
    add("actSearchSeats", selected([](TodrHOrderInfoRecord& order) -> QString {
        return order.HasSeats() ? QStringLiteral("座位信息已获取，请查看提示") : QString();
    }));
    add("act_PrintShippingList", selected([](TodrHOrderInfoRecord&) { return QString(); }));
    add("act_PrintShippingListSet", {});
    add("act_PrintNote", selected([](TodrHOrderInfoRecord&) { return QString(); }));
    add("actAgainPriInfo", {});
    add("actResendMessage", selected([](TodrHOrderInfoRecord& order) -> QString {
        if (odrHContext().SiteCode() != kTextMessageSite) return QStringLiteral("本售票点不发送短信");
        if (order.orderPassword.empty()) return QStringLiteral("该订单没有取票密码");
        if (order.customerCellPhone.empty()) return QStringLiteral("该订单没有手机号码");
        return {};
    }));
    add("act_ExportExcel", [this]() -> QString {
        if (model_->OrderCount() == 0) return QStringLiteral("没有可导出的订单");
        if (!canToExcel_) return QStringLiteral("您没有导出订单的权限");
        return {};
    });
    add("act_SetTitle", {});
    add("act_Setting", {});
    add("act_SearchProduct", [this]() -> QString {
        return panel_->ProductCustom() ? QString() : QStringLiteral("演出选“自定义”后可查询演出");
    });
    add("act_ResetProduct", [this]() -> QString {
        return panel_->HasProductNames() ? QString() : QStringLiteral("尚未选择演出");
    });
    add("act_ReadCard", {});
    add("act_ClearSearch", {});
}

void TUIOrderHandler::UpdateActions() {
    updater_->UpdateActions();
}

void TUIOrderHandler::ContextChanged(const std::string& text) {
    odrHContext().SetAsString(text);
    PrepareShow();
    QTimer::singleShot(0, this, [this] { RunGuarded([this] { NarrowUnlimitedSearch(); }); });
}

void TUIOrderHandler::PrepareShow() {
    THourglass hourglass;
    const std::string context = odrHContext().GetAsString();
    odrHMemberSys().SetContextString(context);
    ISPOrderHandler& rights = odrHRights();
    rights.InitialGetPrivileges(context, "3");
    session_.context = context;
    session_.canSaleNB = rights.CanSaleNB();
    session_.canSaleHW = rights.CanSaleHW();
    session_.canTempInfo = rights.CanTempInfo();
    session_.canChangeReceivables = rights.CanChangeReceivables();
    session_.canChangeSeat = rights.CanChangeSeat();
    rights.InitialGetPrivileges(context, "2");
    canToExcel_ = rights.CanToExcel();
    session_.memberConnectUmnByDB = odrHDataProvider().GetConnectUmnByDB();
    PublishOrderHandlerRights(rights, odrHMemberSys());

    TOrderSearchPanel::TChoices choices;
    choices.sources = GetOrderFromTypeInfos();
    choices.certificateTypes = odrHMemberSys().CertificateTypes();
    choices.customerTypes = odrHMemberSys().CustomerTypes();
    choices.failDateEnabled = odrHOrderInfoDataProvider().IsOrderVaildDay() == "Y";
    choices.createTime = LoadOrderTimeSettingFromConfigFile();
    panel_->Initialise(choices);
    columns_ = LoadOrderTitles(OptionsSetFilePath());
    RebuildColumns();
    ShowCaption(QStringLiteral("查询结果："));
    panel_->FocusOrderCode();
    UpdateActions();
}

void TUIOrderHandler::NarrowUnlimitedSearch() {
    if (panel_->CreateTimeUnlimited()) SearchProduct();
}

void TUIOrderHandler::ClearGrid() {
    model_->Clear();
    seatTotal_ = 0;
    receivablesTotal_ = 0;
    gridHoldsExactResult_ = false;
    rightsCache_.clear();
}

void TUIOrderHandler::ShowResult(std::unique_ptr<TodrHOrderInfoList> orders) {
    seatTotal_ = 0;
    receivablesTotal_ = 0;
    for (const auto& order : *orders) {
        seatTotal_ += order->seatCount;
        receivablesTotal_ += order->receivables;
    }
    const int count = orders->Count();
    sortSection_ = -1;
    grid_->header()->setSortIndicatorShown(false);
    model_->SetOrders(std::move(orders));
    ShowCaption(Q(SearchResultCaption(count, seatTotal_, receivablesTotal_)), count == 0);
}

void TUIOrderHandler::ShowCaption(const QString& text, bool nothingFound) {
    caption_->setText(text);
    caption_->setStyleSheet(nothingFound ? QStringLiteral("color: blue") : QString());
}

QString TUIOrderHandler::ResultCaption() const {
    return caption_->text();
}

void TUIOrderHandler::SearchOrderByPrecision() {
    ClearGrid();
    const std::string code = panel_->OrderCode();
    const std::string password = panel_->OrderPassword();
    if (!code.empty() && !password.empty()) {
        ShowWarningMessage("订单精确查询时,订单号和订单密码不能同时输入!", "警告");
        panel_->SelectExactFields();
        return;
    }
    if (code.empty() && password.empty()) return;
    std::unique_ptr<TodrHOrderInfoList> found;
    {
        THourglass hourglass;
        TodrHOrderInfoDataProvider& provider = odrHOrderInfoDataProvider();
        found = code.empty() ? provider.SearchOrderHandlerInfoExPS(password) : provider.SearchOrderHandlerInfoEx(code);
    }
    exactResult_.Assign(*found);
    ShowResult(std::move(found));
    gridHoldsExactResult_ = true;
    panel_->SelectExactFields();
}

void TUIOrderHandler::SearchOrderByDetail() {
    const TDetailSearchInput input = panel_->DetailInput();
    ISPOrderHandler& rights = odrHRights();
    ValidateDetailSearch(input, rights);
    ClearGrid();
    const TOrderHandlerSearchCondition condition = MakeSearchCondition(input, rights, odrHContext());
    THourglass hourglass;
    ShowResult(odrHOrderInfoDataProvider().SearchOrderHandlerInfoEx(condition));
}

void TUIOrderHandler::SearchOrder() {
    if (!panel_->OrderCode().empty() || !panel_->OrderPassword().empty()) SearchOrderByPrecision();
    else SearchOrderByDetail();
}

int TUIOrderHandler::SelectedRow() const {
    const QModelIndex current = grid_->selectionModel()->currentIndex();
    return current.isValid() ? current.row() : -1;
}

TodrHOrderInfoRecord* TUIOrderHandler::SelectedOrder() const {
    return model_->Order(SelectedRow());
}

void TUIOrderHandler::SelectRow(int row) {
    const QModelIndex index = model_->index(row, 0);
    grid_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    grid_->scrollTo(index);
}

void TUIOrderHandler::CurrentRowChanged() {
    if (const TodrHOrderInfoRecord* order = SelectedOrder())
        ShowCaption(Q(SelectedOrderCaption(*order, seatTotal_, receivablesTotal_)));
}

void TUIOrderHandler::MoveToResults() {
    if (model_->OrderCount() == 0) return;
    grid_->setFocus();
    if (SelectedRow() < 0) SelectRow(0);
}

void TUIOrderHandler::HeaderClicked(int section) {
    if (section < 0 || section >= model_->columnCount()) {
        sortSection_ = -1;
        grid_->header()->setSortIndicatorShown(false);
        return;
    }
    sortOrder_ = section == sortSection_ && sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    sortSection_ = section;
    grid_->header()->setSortIndicatorShown(true);
    grid_->header()->setSortIndicator(section, sortOrder_);
    model_->sort(section, sortOrder_);
}

void TUIOrderHandler::RebuildColumns() {
    model_->SetColumns(columns_);
    for (const auto& column : columns_)
        if (column->columnIndex >= 0) grid_->header()->resizeSection(column->columnIndex, column->width);
    sortSection_ = -1;
    grid_->header()->setSortIndicatorShown(false);
}

QString TUIOrderHandler::ProductRight(const TodrHOrderInfoRecord& order, bool cancel) {
    const std::string product = order.productCode.str();
    auto found = rightsCache_.find(product);
    if (found == rightsCache_.end()) {
        TProductRights rights;
        try {
            ISaleTicketCoreIntf& core = odrHSaleCore();
            rights.canExecute = core.CanExecuteOrder(odrHContext().GetAsString(), product);
            rights.canCancel = core.CanCancelOrder(odrHContext().GetAsString(), product);
        } catch (const std::exception& e) {
            rights.failure = QStringLiteral("无法读取该演出的操作权限：") + QString::fromUtf8(e.what());
        }
        found = rightsCache_.emplace(product, rights).first;
    }
    const TProductRights& rights = found->second;
    if (!rights.failure.isEmpty()) return rights.failure;
    if (cancel) return rights.canCancel ? QString() : QStringLiteral("该演出的订单现在不能取消");
    return rights.canExecute ? QString() : QStringLiteral("该演出的订单现在不能取票");
}

QString TUIOrderHandler::CustomerInfoRule() const {
    const TodrHOrderInfoRecord* order = SelectedOrder();
    if (!order) return QStringLiteral("请先选择一个订单");
    const TKavContext& context = odrHContext();
    if (order->orderFrom.code != kOrderFromCallCentre || order->createUser == context.UserCode()) return {};
    const std::string group =
        order->groupType == "C" || order->groupType == "A" ? order->createGroup.str() : order->ownerCode.str();
    if (!odrHRights().CanEditOtherUserOrdersInfo() || group != context.Owner().GetOwnerCode())
        return QStringLiteral("您不能修改其他操作员预订的呼叫中心订单");
    return {};
}

void TUIOrderHandler::OrderHandler() {
    TodrHOrderInfoRecord* order = SelectedOrder();
    if (!order) return;
    const TOrderWindows& windows = OrderWindows();
    // The orders of the exact search are settled together only while the grid shows that search and the
    // chosen order is one of them; otherwise the seller would pay for orders no longer on the screen.
    const bool several = gridHoldsExactResult_ && exactResult_.Count() >= 2 &&
                         Contains(exactResult_, order->orderCode) &&
                         odrHOrderInfoDataProvider().GetSysInfo() == "Y";
    if (several && windows.openOrders) {
        TodrHOrderInfoList orders = exactResult_;
        long long seats = 0;
        double receivables = 0;
        for (const auto& each : orders) {
            seats += each->seatCount;
            receivables += each->receivables;
        }
        if (windows.openOrders(this, *order, orders, static_cast<int>(seats), receivables, session_)) {
            ClearGrid();
            panel_->FocusOrderCode(); // the next customer's code can be typed at once
        }
        return;
    }
    if (windows.openOrder && windows.openOrder(this, *order, session_)) {
        model_->OrderChanged(SelectedRow());
        panel_->FocusOrderCode();
    }
}

void TUIOrderHandler::CancelOrder() {
    TodrHOrderInfoRecord* order = SelectedOrder();
    if (!order) return;
    if (ShowConfirmMessage("确认取消当前所选订单？", "请确认") != 6) return;
    const std::string code = order->orderCode.str();
    TCancelForeBook_Result result;
    {
        THourglass hourglass;
        result = odrHSaleCore().CancelForeBook(odrHContext().GetAsString(), code);
    }
    if (result != R_CF_OK) {
        ShowErrorMessage(_ResultSaleTicketCoreMsg(result), "错误");
        return;
    }
    model_->RemoveOrder(SelectedRow());
    // A cancelled order must not be settled with the other orders of its exact search.
    for (int i = 0; i < exactResult_.Count(); ++i)
        if (exactResult_.Items(i).orderCode == code) exactResult_.Delete(i--);
}

void TUIOrderHandler::ChangeSeat() {
    TodrHOrderInfoRecord* order = SelectedOrder();
    if (order && ExecuteOrderSplit(this, *order, odrHContext().GetAsString())) SearchOrder();
}

void TUIOrderHandler::ModifyOrderCustomerInfo() {
    TodrHOrderInfoRecord* order = SelectedOrder();
    if (!order) return;
    if (ShowModifyCustomerInfoDialog(*order, odrHDataProvider(), this)) {
        model_->OrderChanged(SelectedRow());
        CurrentRowChanged();
    }
}

void TUIOrderHandler::GetOrderSeatInfo() {
    TodrHOrderInfoRecord* order = SelectedOrder();
    if (!order) return;
    THourglass hourglass;
    order->GetSeats();
    model_->OrderChanged(SelectedRow());
}

void TUIOrderHandler::SearchSeats() {
    TodrHOrderInfoRecord* order = SelectedOrder();
    if (!order) return;
    ShowOrderSeats(this, *order);
    model_->OrderChanged(SelectedRow());
}

void TUIOrderHandler::PrintShippingList() {
    TodrHOrderInfoRecord* order = SelectedOrder();
    if (!order) return;
    const std::string printer = LoadPrinterNameFromConfigFile();
    if (printer.empty()) {
        ShowPromptMessage("请先设置配送单打印机名称！", "操作提示");
        return;
    }
    TShippingList list;
    {
        THourglass hourglass;
        list = MakeShippingList(*order, order->GetSeats(), odrHContext().UserName(), Now());
    }
    model_->OrderChanged(SelectedRow());
    try {
        PreviewShippingList(list, printer, LoadShippingListPage(), this);
    } catch (const EPrinterError& e) {
        ShowErrorMessage(e.what(), "错误");
    }
}

void TUIOrderHandler::PrintShippingListSet() {
    SetUpShippingListPage(this);
}

void TUIOrderHandler::PrintNote() {
    TodrHOrderInfoRecord* order = SelectedOrder();
    if (!order) return;
    THourglass hourglass;
    const std::string job = ReceiptJob(kStatementTitle, StatementLines(*order, order->GetSeats()));
    model_->OrderChanged(SelectedRow()); // its hint now lists the seats
    try {
        WriteRawStringToPrinter(kReceiptPrinter, job);
    } catch (const EPrinterError& e) {
        ShowErrorMessage(e.what(), "错误");
    }
}

void TUIOrderHandler::AgainPrintInfo() {
    const auto lines = ReadMemberReceiptLines(MemberReceiptFile());
    if (!lines) {
        ShowPromptMessage("没有小票信息，不能重打！", "操作提示");
        return;
    }
    try {
        WriteRawStringToPrinter(kReceiptPrinter, ReceiptJob(kMemberReceiptTitle, *lines));
    } catch (const EPrinterError& e) {
        ShowErrorMessage(e.what(), "错误");
    }
}

void TUIOrderHandler::ResendMessage() {
    TodrHOrderInfoRecord* order = SelectedOrder();
    if (!order || order->customerCellPhone.empty()) return;
    const std::string service = TextMessageService(LoadMessageServiceUrl(), ORB().GetHost(), ORB().GetPort());
    const QUrl url =
        TextMessageUrl(service, order->customerCellPhone.str(), order->orderCode.str(), TextMessageContent(*order));
    try {
        THourglass hourglass;
        SendTextMessage(url);
    } catch (const ETextMessage& e) {
        ShowErrorMessage(std::string("短信重发失败！") + e.what(), "错误");
        return;
    }
    ShowPromptMessage("短信重发完毕！");
}

void TUIOrderHandler::ExportExcel() {
    const QString name = QStringLiteral("订单信息-%1.xlsx").arg(QDateTime::currentDateTime().toString("yyyyMMdd-HHmm"));
    const auto file = GetSaveFileName(this, QStringLiteral("导出EXCEL"),
                                      (QDir::homePath() + "/" + name).toStdString(),
                                      QStringLiteral("Excel 工作簿 (*.xlsx)"));
    if (!file) return;
    {
        THourglass hourglass;
        ExportOrdersToExcel(odrHOrderInfoDataProvider(), *file);
    }
    ShowPromptMessage("订单已导出到 " + file->string());
}

void TUIOrderHandler::SetTitle() {
    if (!titleDialog_) titleDialog_ = std::make_unique<TUIOrderHandlerTitleSetting>(this);
    if (titleDialog_->ShowCustomModal(columns_) != QDialog::Accepted) return;
    NumberOrderTitles(columns_);
    SaveOrderTitles(columns_, OptionsSetFilePath());
    RebuildColumns();
}

void TUIOrderHandler::Setting() {
    std::vector<std::string> printers = InstalledQueues().names;
    TUIOrderHandlerSetting dialog(std::move(printers), ConfigureFilePath(), this);
    if (dialog.ShowCustomModal() == QDialog::Accepted)
        panel_->ApplyCreateTimeSetting(LoadOrderTimeSettingFromConfigFile());
}

TUIOrderHandlerSearchProduct& TUIOrderHandler::ProductDialog() {
    if (!productDialog_) productDialog_ = std::make_unique<TUIOrderHandlerSearchProduct>(odrHDataProvider(), this);
    return *productDialog_;
}

void TUIOrderHandler::SearchProduct() {
    TUIOrderHandlerSearchProduct& dialog = ProductDialog();
    if (dialog.ShowCustomModal() == QDialog::Accepted) panel_->SetSelectedProducts(dialog.GetSelectedProducts());
}

void TUIOrderHandler::ResetProduct() {
    panel_->ResetProduct();
}

void TUIOrderHandler::ReadCard() {
    if (const auto cardNo = ReadMemberCard(this)) panel_->SetMemberCardNo(*cardNo);
}

void TUIOrderHandler::ClearSearch() {
    panel_->ClearTexts();
    panel_->FocusOrderCode();
}

} // namespace kav::orderhandler
