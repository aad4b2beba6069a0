#pragma once
// TUIOrderHandler ("订单处理"): the order handler's main window, where a box-office seller finds orders
// (exactly by order code or password, or by customer, performance, status, source and time) and acts on
// the one selected in the grid: take payment and print ("订单取票"), cancel, split, edit the customer,
// load and show its seats, print its shipping list or statement, send its text message again, export the
// list to Excel.
//
// Each action has a rule, run whenever the event loop goes idle, that enables it exactly while it can
// run; a disabled action tells why in its tool tip. Every action has a shortcut (shown in the window's
// menus and tool tips): F2 exact search, F3 detail search, Enter on a row "订单取票", Esc clears the search
// fields.
//
// The window reads through the order handler package (odrhpackage.h): its context, providers, rights
// object, member system and sale core. The snap-in hands it the shell's context; each handing re-reads
// the rights and re-initialises the search panel and the columns (PrepareShow), keeping the rights
// cache and the exact-search result.
//
// Failures: the action methods raise what their remote calls raise, and EodrSearchCondition for a
// detail search the user's rights refuse; the actions as the user triggers them show such a failure
// in the message dialogs. Printing, text-message and export failures are shown by the methods.
//
// Threading: GUI thread only.

#include "orderhandler/odrhorderwindows.h"
#include "orderhandler/odrhrecords.h"

#include <QWidget>
#include <map>
#include <memory>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QTreeView;

namespace kav {
class TActionUpdater;
class TKavCSnapIn;
} // namespace kav

namespace kav::orderhandler {

class TOrderGridModel;
class TOrderSearchPanel;
class TUIOrderHandlerSearchProduct;
class TUIOrderHandlerTitleSetting;

class TUIOrderHandler final : public QWidget {
    Q_OBJECT

public:
    explicit TUIOrderHandler(QWidget* parent = nullptr);
    ~TUIOrderHandler() override;

    // The window's context component; the snap-in hands it the shell's context at each Execute.
    TKavCSnapIn& SnapInContext() const noexcept { return *snapIn_; }

    // What showing the window does: rights, member system, look-ups, search controls and columns.
    void PrepareShow();
    // When the create-time range is unlimited, asks for the performances at once (run after showing).
    void NarrowUnlimitedSearch();

    void SearchOrderByPrecision();
    void SearchOrderByDetail();
    // "查询订单" of the button bar: the exact search when a code or password is given, else the detail one.
    void SearchOrder();
    void OrderHandler();
    void CancelOrder();
    void ChangeSeat();
    void ModifyOrderCustomerInfo();
    void GetOrderSeatInfo();
    void SearchSeats();
    void PrintShippingList();
    void PrintShippingListSet();
    void PrintNote();
    void AgainPrintInfo();
    void ResendMessage();
    void ExportExcel();
    void SetTitle();
    void Setting();
    void SearchProduct();
    void ResetProduct();
    void ReadCard();
    void ClearSearch();

    TOrderSearchPanel& SearchPanel() const noexcept { return *panel_; }
    TOrderGridModel& Grid() const noexcept { return *model_; }
    QTreeView& GridView() const noexcept { return *grid_; }
    // The order of the grid's current row; null when none is selected.
    TodrHOrderInfoRecord* SelectedOrder() const;
    void SelectRow(int row);
    const TOrderTitleInfoList& Columns() const noexcept { return columns_; }
    const TodrHOrderInfoList& ExactSearchResult() const noexcept { return exactResult_; }
    QString ResultCaption() const;
    // Runs every action's rule now.
    void UpdateActions();

private:
    QAction* MakeAction(const char* name, const QString& caption, const QKeySequence& shortcut,
                        void (TUIOrderHandler::*run)(), const QString& statusTip = {});
    void BuildActions();
    void BuildLayout();
    void BuildRules();
    void ContextChanged(const std::string& text);
    void ClearGrid();
    void ShowResult(std::unique_ptr<TodrHOrderInfoList> orders);
    void ShowCaption(const QString& text, bool nothingFound = false);
    void CurrentRowChanged();
    void HeaderClicked(int section);
    void RebuildColumns();
    void MoveToResults();
    int SelectedRow() const;
    // The reason the selected order's product refuses the right, empty when it allows it.
    QString ProductRight(const TodrHOrderInfoRecord& order, bool cancel);
    QString CustomerInfoRule() const;
    TUIOrderHandlerSearchProduct& ProductDialog();

    struct TProductRights {
        bool canExecute = false;
        bool canCancel = false;
        QString failure; // the rights could not be read
    };

    TKavCSnapIn* snapIn_ = nullptr;
    TActionUpdater* updater_ = nullptr;
    TOrderSearchPanel* panel_ = nullptr;
    TOrderGridModel* model_ = nullptr;
    QTreeView* grid_ = nullptr;
    QLabel* caption_ = nullptr;
    QMenu* gridMenu_ = nullptr;
    std::map<std::string, QAction*> actions_;
    std::unique_ptr<TUIOrderHandlerSearchProduct> productDialog_;
    std::unique_ptr<TUIOrderHandlerTitleSetting> titleDialog_;

    TOrderTitleInfoList columns_;
    std::map<std::string, TProductRights> rightsCache_; // by product code
    TodrHOrderInfoList exactResult_;
    bool gridHoldsExactResult_ = false;
    long long seatTotal_ = 0;
    double receivablesTotal_ = 0;
    int sortSection_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    TOrderWindowSession session_;
    bool canToExcel_ = false;
};

// The one order handler window of the process; created and freed by the snap-in.
extern TUIOrderHandler* UIOrderHandler;

} // namespace kav::orderhandler
