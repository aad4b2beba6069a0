#include "orderhandler/uiorderhandlerorderseats.h"

#include "platform/core/textcodec.h"
#include "platform/widgets/datasetmodel.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

namespace kav::orderhandler {

namespace {

// The columns shown, with their titles; every other column is hidden.
const std::map<std::string, std::string> kTitles = {{"SECTIONNAME", "分区"},    {"FLOORNAME", "楼"},
                                                    {"ROWNAME", "排"},          {"SEATNO", "座"},
                                                    {"PRICELEVEL", "票价等级"}, {"PRICE", "票价"}};

} // namespace

TUIOrderHandlerOrderSeats::TUIOrderHandlerOrderSeats(QWidget* parent)
    : QDialog(parent), grid_(new QTableView(this)) {
    setObjectName(QStringLiteral("TUIOrderHandlerOrderSeats"));
    setWindowTitle(QStringLiteral("座位信息查看"));
    grid_->setObjectName(QStringLiteral("SeatGrid"));
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->verticalHeader()->hide();
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("CloseButton"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_);
    layout->addLayout(buttons);
    resize(560, 420);
}

TUIOrderHandlerOrderSeats::~TUIOrderHandlerOrderSeats() {
    // The model reads the seats; it goes first.
    delete grid_->model();
}

void TUIOrderHandlerOrderSeats::SetSeatData(std::string_view packet) {
    delete grid_->model();
    seats_.SetData(packet);
    for (int i = 0; i < seats_.FieldCount(); ++i) {
        TField& field = seats_.Fields(i);
        const auto title = kTitles.find(AsciiUpper(field.FieldName()));
        field.SetVisible(title != kTitles.end());
        if (title != kTitles.end()) field.SetDisplayLabel(title->second);
    }
    auto* model = new DataSetModel(seats_, grid_);
    grid_->setModel(model);
    grid_->resizeColumnsToContents();
    // The fields' declared widths are those of one-letter codes; the titles must fit too.
    const QFontMetrics metrics(grid_->horizontalHeader()->font());
    for (int column = 0; column < model->columnCount(); ++column) {
        const int title =
            metrics.horizontalAdvance(model->headerData(column, Qt::Horizontal).toString()) + 16;
        grid_->setColumnWidth(column, std::max(grid_->columnWidth(column), title));
    }
}

} // namespace kav::orderhandler
