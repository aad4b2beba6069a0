#pragma once
// TUIOrderHandlerSearchProduct ("订单处理-演出查询"): picks the performances an order search is restricted
// to. It lists the node's performances on sale (status 5 or 6) in a time range, narrowed by class, venue
// and name, each with a tick box; "确定(&O)" hands back the ticked ones.
//
// The range runs from the from-date at 00:00 to the to-date at 00:00: performances on the to-date itself
// are not listed. Headers "演出名称" and "上演时间" sort (a second click reverses); another header
// restores the order of the search.
//
// Threading: GUI thread only; the look-ups are remote calls on it.

#include "orderhandler/odrhdataprovider.h"
#include "orderhandler/odrhtypes.h"

#include <QDialog>
#include <vector>

class QComboBox;
class QDateTimeEdit;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace kav::orderhandler {

class TUIOrderHandlerSearchProduct final : public QDialog {
    Q_OBJECT

public:
    // `provider` must outlive the dialog.
    explicit TUIOrderHandlerSearchProduct(TodrHDataProvider& provider, QWidget* parent = nullptr);

    // Prepares the dialog as at every showing (dates, classes, venues, a first search), then shows it
    // modally: QDialog::Accepted for "确定(&O)", Rejected for "取消(&C)".
    int ShowCustomModal();
    void Prepare();

    void Search();
    void CheckAll(bool checked);
    void Reset();
    // The ticked rows in the list's order; both texts empty when none is ticked.
    TSelectedProducts GetSelectedProducts() const;

private:
    void Fill();
    void HeaderClicked(int column);
    void UpdateOk();

    TodrHDataProvider& provider_;
    std::vector<TProductItem> products_; // in the order of the search
    std::vector<bool> ticked_;
    std::vector<int> shown_; // index into products_ per row
    int sortColumn_ = -1;
    bool descending_ = false;

    QDateTimeEdit* from_ = nullptr;
    QDateTimeEdit* to_ = nullptr;
    QComboBox* classes_ = nullptr;
    QComboBox* places_ = nullptr;
    QLineEdit* name_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace kav::orderhandler
