#include "orderhandler/odrhseattree.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace kav::orderhandler {

QTreeWidget* MakeSeatTree(QWidget* parent, const char* objectName, bool withOrderCode) {
    auto* tree = new QTreeWidget(parent);
    tree->setObjectName(QLatin1String(objectName));
    QStringList titles{QStringLiteral("分区"), QStringLiteral("楼层"), QStringLiteral("排"), QStringLiteral("座位号")};
    if (withOrderCode) titles.prepend(QStringLiteral("订单编号"));
    tree->setHeaderLabels(titles);
    tree->setRootIsDecorated(false);
    tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return tree;
}

void FillSeatTree(QTreeWidget& tree, const std::vector<const TodrHSeatInfoRecord*>& seats, bool withOrderCode) {
    tree.clear();
    QList<QTreeWidgetItem*> rows;
    for (const TodrHSeatInfoRecord* seat : seats) {
        QStringList cells{QString::fromStdString(seat->sectionName), QString::fromStdString(seat->floorName),
                          QString::fromStdString(seat->rowName), QString::fromStdString(seat->seatNo)};
        if (withOrderCode) cells.prepend(QString::fromStdString(seat->orderCode));
        auto* row = new QTreeWidgetItem(cells);
        row->setData(0, Qt::UserRole, QString::fromStdString(seat->seatCode));
        rows.append(row);
    }
    tree.addTopLevelItems(rows);
}

void FillSeatTree(QTreeWidget& tree, const TodrHSeatInfoList& seats, bool withOrderCode) {
    std::vector<const TodrHSeatInfoRecord*> all;
    for (const auto& seat : seats)
        all.push_back(seat.get());
    FillSeatTree(tree, all, withOrderCode);
}

} // namespace kav::orderhandler
