#pragma once
// TOrderGridModel: the orders of a search as the order grid shows them. One row per order, one column
// per shown column of the user's column list; the model owns the orders. Cells, sort order and row hints
// come from odrhgridtext.h. Rows are sorted by reordering (stable, so equal values keep the order of the
// search).
//
// Threading: GUI thread only.

#include "orderhandler/odrhrecords.h"

#include <QAbstractTableModel>
#include <memory>
#include <vector>

namespace kav::orderhandler {

class TOrderGridModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit TOrderGridModel(QObject* parent = nullptr);

    // The shown columns of `titles`, in their grid column order.
    void SetColumns(const TOrderTitleInfoList& titles);
    // The column-table index (0-25) shown in grid column `column`.
    int ColumnIndex(int column) const { return columns_.at(static_cast<std::size_t>(column)); }

    // Shows the orders in the list's order, replacing those shown before (which are freed).
    void SetOrders(std::unique_ptr<TodrHOrderInfoList> orders);
    void Clear();
    int OrderCount() const noexcept { return static_cast<int>(rows_.size()); }
    // Null outside 0..OrderCount()-1.
    TodrHOrderInfoRecord* Order(int row) const;
    // Frees the order of that row.
    void RemoveOrder(int row);
    // The row's cells changed (its record was edited in place).
    void OrderChanged(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    std::unique_ptr<TodrHOrderInfoList> orders_;
    std::vector<TodrHOrderInfoRecord*> rows_; // display order
    std::vector<int> columns_;
    std::vector<QString> titles_;
};

} // namespace kav::orderhandler
