#pragma once
// TUIOrderHandlerOrderSeats: the read-only list of an order's seats ("座位信息查看"): section, floor,
// row, seat, price level and price of each seat, as the order provider last read them (the seat
// rows of TodrHOrderInfoDataProvider::GetOrderSeatsInfo). Order, seat code, status, discount, total
// and seat amount travel along unseen. "关闭" closes it; nothing is written back. GUI thread only.

#include "platform/dataset/clientdataset.h"

#include <QDialog>
#include <string_view>

class QTableView;

namespace kav::orderhandler {

class TUIOrderHandlerOrderSeats : public QDialog {
    Q_OBJECT

public:
    explicit TUIOrderHandlerOrderSeats(QWidget* parent = nullptr);
    ~TUIOrderHandlerOrderSeats() override;

    // Shows the seat rows of the packet. Raises EDatabaseError for a packet that is not one.
    void SetSeatData(std::string_view packet);
    QTableView& Grid() const { return *grid_; }

private:
    TClientDataSet seats_;
    QTableView* grid_;
};

} // namespace kav::orderhandler
