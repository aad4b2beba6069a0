#include "orderhandler/odrhordermodel.h"

#include "orderhandler/odrhcolumns.h"
#include "orderhandler/odrhgridtext.h"

#include <algorithm>

namespace kav::orderhandler {

TOrderGridModel::TOrderGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void TOrderGridModel::SetColumns(const TOrderTitleInfoList& titles) {
    beginResetModel();
    columns_.clear();
    titles_.clear();
    for (int column = 0;; ++column) {
        const TOrderTitleInfoRecord* title = titles.GetOrderTitleInfoRecord(column);
        if (!title) break;
        columns_.push_back(title->index);
        titles_.push_back(QString::fromStdString(title->title));
    }
    endResetModel();
}

void TOrderGridModel::SetOrders(std::unique_ptr<TodrHOrderInfoList> orders) {
    beginResetModel();
    rows_.clear();
    orders_ = std::move(orders);
    if (orders_) {
        rows_.reserve(static_cast<std::size_t>(orders_->Count()));
        for (const auto& order : *orders_)
            rows_.push_back(order.get());
    }
    endResetModel();
}

void TOrderGridModel::Clear() {
    SetOrders(nullptr);
}

TodrHOrderInfoRecord* TOrderGridModel::Order(int row) const {
    if (row < 0 || row >= OrderCount()) return nullptr;
    return rows_[static_cast<std::size_t>(row)];
}

void TOrderGridModel::RemoveOrder(int row) {
    TodrHOrderInfoRecord* order = Order(row);
    if (!order) return;
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    orders_->Remove(order);
    endRemoveRows();
}

void TOrderGridModel::OrderChanged(int row) {
    if (row < 0 || row >= OrderCount() || columns_.empty()) return;
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

int TOrderGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : OrderCount();
}

int TOrderGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant TOrderGridModel::data(const QModelIndex& index, int role) const {
    const TodrHOrderInfoRecord* order = Order(index.row());
    if (!order || index.column() < 0 || index.column() >= columnCount()) return {};
    const int column = ColumnIndex(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(OrderCellText(*order, column));
    case Qt::ToolTipRole:
        return QString::fromStdString(OrderSeatsHint(*order));
    case Qt::TextAlignmentRole: {
        const TFieldType kind = OrderColumns()[static_cast<std::size_t>(column)].sortKind;
        const bool number = kind == TFieldType::ftInt || kind == TFieldType::ftFlo;
        return QVariant::fromValue(Qt::Alignment(number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    default:
        return {};
    }
}

QVariant TOrderGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return {};
    return titles_[static_cast<std::size_t>(section)];
}

void TOrderGridModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount()) return;
    const int index = ColumnIndex(column);
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<TodrHOrderInfoRecord*> previous;
    previous.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& i : before)
        previous.push_back(Order(i.row()));
    std::stable_sort(rows_.begin(), rows_.end(), [&](const TodrHOrderInfoRecord* a, const TodrHOrderInfoRecord* b) {
        const int c = CompareOrders(*a, *b, index);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    if (!before.isEmpty()) {
        QModelIndexList after;
        after.reserve(before.size());
        for (qsizetype i = 0; i < before.size(); ++i) {
            const auto found = std::find(rows_.begin(), rows_.end(), previous[static_cast<std::size_t>(i)]);
            after.push_back(this->index(static_cast<int>(found - rows_.begin()), before[i].column()));
        }
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace kav::orderhandler
