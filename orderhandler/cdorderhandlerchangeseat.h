#pragma once
// TCDOrderHandlerChangeSeat: the data module of the order split window. It loads the order's
// section, seats, prices and, for suite orders, the suite terms into the datasets the composite seat
// map is bound to, checks that the picked seats may leave the order (whole suites for suite orders,
// never every seat), builds the seat rows and the count and money per price level, and asks the
// background reclaim service to split them off into a new order.
//
// The seats that leave are the map's selected seats that are booked by this order; the server checks
// them again. Messages go through the dialog functions; a remote failure ends the split with an error
// message and the seats are read again, since the refusal may come from seats that changed. Every
// remote call goes through the client given, which must outlive the module.
//
// Threading: GUI thread only.

#include "host/kavcontext.h"
#include "orderhandler/odrhsplitrules.h"
#include "platform/core/datetime.h"
#include "platform/dataset/clientdataset.h"
#include "rpc/pelioclient.h"

#include <QObject>
#include <optional>
#include <string>

class QAction;

namespace kav {
class TActionUpdater;
class TKavSeatMapCompositeShow;
} // namespace kav

namespace kav::orderhandler {

// The statements the split sends through the data pipe, values quoted.
std::string SplitReloadOrderSQL(const std::string& nodeCode, const std::string& orderCode,
                                const std::string& productCode);
std::string SplitSuiteValuesSQL(const std::string& productCode, const std::string& saleClassCode);
std::string SplitOrderDiscountSQL(const std::string& orderCode);
std::string SplitProductSQL(const std::string& nodeCode, const std::string& productCode);
std::string SplitPlaceSQL(const std::string& nodeCode, const std::string& placeCode);

// The order values the split works with, from the order's database row.
struct TChangeSeatOrder {
    std::string productCode, isSuite, orderCode, createGroup, createUser, sectionCode, saleClassCode,
        clientType, orderStatus, payModeCode, payeeGroup, memberId, orderFrom;
    TDateTime createTime = 0;
    int seatCount = 0;
};

class TCDOrderHandlerChangeSeat : public QObject {
    Q_OBJECT

public:
    explicit TCDOrderHandlerChangeSeat(pelio::TPelioClient& client, QObject* parent = nullptr);
    ~TCDOrderHandlerChangeSeat() override;

    // Stores the session context text and loads the module's context from it.
    void SetContext(const std::string& text);
    const std::string& Context() const { return context_.GetAsString(); }

    // The order's database row (a select * of KAV_ORDER_SHOW): its values are copied, and the row is
    // sent along with the split.
    void SetOrderRow(const TClientDataSet& orderRow);
    const TChangeSeatOrder& Order() const { return order_; }

    // Reads everything the map needs and shows the order's seats on `map`, which must outlive the
    // module; only this order's booked seats can be picked.
    void InitializationChangeSeat(TKavSeatMapCompositeShow& map);
    // "场馆 yyyy-mm-dd hh:mm 演出" of the order's performance.
    const std::string& ProductText() const { return productText_; }

    QAction* actRefreshSeat() const { return refresh_; }
    QAction* actClearSelected() const { return clear_; }
    QAction* actExecute() const { return execute_; }
    TActionUpdater& Updater() const { return *updater_; }

    // The split behind actExecute: the new order's code when one was made.
    std::optional<std::string> Execute();

    TClientDataSet& Section() { return section_; }
    TClientDataSet& Seat() { return seat_; }
    TClientDataSet& Price() { return price_; }
    TClientDataSet& Kind() { return kind_; }
    TClientDataSet& SeatName() { return seatName_; }
    TClientDataSet& ReclaimSeatData() { return reclaimSeatData_; }
    TClientDataSet& ReclaimCountAndMoney() { return reclaimCountAndMoney_; }
    const std::string& SeatCodeList() const { return seatCodeList_; }

signals:
    // The split made the order `orderCode`; the window closes.
    void Split(const QString& orderCode);

private:
    void RefreshSeat();
    void ClearSelected();
    void ExecuteAction();
    void LoadPrices();
    void LoadKinds();
    void LoadSuite();
    // The seats that leave: the picked booked seats of the order, or for a suite order with one suite
    // (and orders paid by member card) every seat of the order.
    void FillSeatNames();
    bool CanReclaim();
    void GetReclaimSeatData();
    void GetReclaimCountAndMoney();
    void ShowElapsed(std::int64_t milliseconds);

    pelio::TPelioClient& client_;
    TKavContext context_;
    TChangeSeatOrder order_;
    TClientDataSet orderRow_;
    std::string placeCode_;
    std::string productText_;
    TSuiteTerms suite_;
    int suiteCount_ = 0;
    TKavSeatMapCompositeShow* map_ = nullptr;

    TClientDataSet section_, seat_, price_, kind_, orderSeats_, seatName_, seatInfo_, orderDiscount_,
        reclaimSeatData_, reclaimCountAndMoney_, product_, place_, suiteTable_;
    std::string seatCodeList_;

    QAction* refresh_;
    QAction* clear_;
    QAction* execute_;
    TActionUpdater* updater_;
};

} // namespace kav::orderhandler
