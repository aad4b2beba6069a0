#pragma once
// TUIOrderHandlerChangeSeat: the order split window ("订单处理－拆分订单"), opened maximised and modal
// for one booked order: a top bar with the data module's three actions and the performance, and the
// order's section as a composite seat map on which only this order's booked seats can be picked. The
// window closes with Accepted once a split made a new order.
//
// The session context reaches the window through its snap-in component (SnapIn()); every change is
// passed to the data module. GUI thread only.

#include "orderhandler/cdorderhandlerchangeseat.h"

#include <QDialog>

class QLabel;

namespace kav {
class TKavCSnapIn;
class TKavSeatMapCompositeShow;
} // namespace kav

namespace kav::orderhandler {

class TUIOrderHandlerChangeSeat : public QDialog {
    Q_OBJECT

public:
    // Remote calls go through `client`, which must outlive the window.
    explicit TUIOrderHandlerChangeSeat(pelio::TPelioClient& client, QWidget* parent = nullptr);
    ~TUIOrderHandlerChangeSeat() override;

    TKavCSnapIn& SnapIn() const { return *snapIn_; }
    TCDOrderHandlerChangeSeat& Module() const { return *module_; }
    TKavSeatMapCompositeShow& SeatMap() const { return *map_; }
    // The code of the order the split made, empty until one was made.
    const std::string& NewOrderCode() const { return newOrderCode_; }

    // Shows the order of `orderRow` (its database row): reads its section and seats onto the map.
    // Raises what the remote calls raise.
    void InitializationChangeSeat(const TClientDataSet& orderRow);

private:
    TKavCSnapIn* snapIn_;
    TCDOrderHandlerChangeSeat* module_;
    TKavSeatMapCompositeShow* map_;
    QLabel* product_;
    std::string newOrderCode_;
};

} // namespace kav::orderhandler
