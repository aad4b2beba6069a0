#include "seatmap/viewer/viewerwindow.h"

#include "platform/dataset/clientdataset.h"
#include "seatmap/pricegridshow.h"
#include "seatmap/seatmapshow.h"
#include "seatmap/viewer/demosection.h"

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QStatusBar>
#include <QToolBar>

namespace kav {

ViewerWindow::ViewerWindow(TKavSeatMapConfig& config, QWidget* parent)
    : QMainWindow(parent), map_(new TKavSeatMapShow) {
    setWindowTitle(QStringLiteral("座位图"));
    map_->setObjectName(QStringLiteral("SeatMap"));
    map_->SetConfig(config);
    FillDemoSection(*map_, 40, 60);
    map_->SetSectionName("一楼A区");
    auto* scroll = new QScrollArea;
    scroll->setWidget(map_);
    setCentralWidget(scroll);
    AddSwitches();
    AddPriceLevels(config);
    connect(map_, &TKavSeatMapShow::OnMouseOverCell, this, &ViewerWindow::ShowCell);
    connect(map_, &TKavSeatMapShow::OnSelectionChange, this, [this] {
        statusBar()->showMessage(QStringLiteral("已选 %1 个座位").arg(map_->SelectedCellCount()));
    });
    resize(1100, 760);
}

void ViewerWindow::AddSwitches() {
    QToolBar* bar = addToolBar(QStringLiteral("显示"));
    const auto toggle = [&](const QString& text, auto apply) {
        QAction* action = bar->addAction(text);
        action->setCheckable(true);
        connect(action, &QAction::toggled, this, apply);
    };
    toggle(QStringLiteral("设计"), [this](bool on) { map_->SetInDesign(on); });
    toggle(QStringLiteral("指示线"), [this](bool on) { map_->SetShowIndicator(on); });
    toggle(QStringLiteral("座号"), [this](bool on) { map_->SetShowSeatNo(on ? "1" : ""); });
    toggle(QStringLiteral("排号"), [this](bool on) { map_->SetShowRowNo(on); });

    const auto choice = [&](const QString& label, const QStringList& values, auto apply) {
        bar->addWidget(new QLabel(label));
        auto* box = new QComboBox;
        box->addItems(values);
        bar->addWidget(box);
        connect(box, &QComboBox::currentTextChanged, this, apply);
    };
    choice(QStringLiteral(" 状态 "), {"S", "M", "R", "C"},
           [this](const QString& v) { map_->SetWorkState(v.toStdString()); });
    choice(QStringLiteral(" 标记 "), {"", "Y", "P"},
           [this](const QString& v) { map_->SetEntrepreneurFlag(v.toStdString()); });
    choice(QStringLiteral(" 舞台 "), {"2", "0", "1"},
           [this](const QString& v) { map_->SetIndicatorLocation(v.toInt()); });
}

void ViewerWindow::AddPriceLevels(TKavSeatMapConfig& config) {
    FillDemoPriceTable(prices_);
    auto* grid = new TKavPriceGridShow(config, this);
    grid->setObjectName(QStringLiteral("PriceGrid"));
    grid->SetDataSet(&prices_);
    grid->verticalHeader()->hide();
    auto* dock = new QDockWidget(QStringLiteral("票价等级"), this);
    dock->setWidget(grid);
    addDockWidget(Qt::RightDockWidgetArea, dock);
}

void ViewerWindow::ShowCell(int col, int row) {
    const TKavCellInfo& cell = map_->Cells(row, col);
    statusBar()->showMessage(QStringLiteral("行 %1 列 %2  排 %3 座 %4  等级 %5 状态 %6")
                                 .arg(row)
                                 .arg(col)
                                 .arg(cell.RowNo)
                                 .arg(cell.SeatNo)
                                 .arg(QChar(cell.PriceLevel))
                                 .arg(QChar(cell.SeatStatus)));
}

} // namespace kav
