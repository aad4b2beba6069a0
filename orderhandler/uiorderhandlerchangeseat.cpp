#include "orderhandler/uiorderhandlerchangeseat.h"

#include "host/snapin/kavcsnapin.h"
#include "seatmap/seatmapcomposite.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace kav::orderhandler {

namespace {

QToolButton* ButtonFor(QAction* action, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setMinimumWidth(90);
    button->setObjectName(action->objectName() + QStringLiteral("Button"));
    return button;
}

} // namespace

TUIOrderHandlerChangeSeat::TUIOrderHandlerChangeSeat(pelio::TPelioClient& client, QWidget* parent)
    : QDialog(parent), snapIn_(new TKavCSnapIn(this)), module_(new TCDOrderHandlerChangeSeat(client, this)),
      map_(new TKavSeatMapCompositeShow(this)), product_(new QLabel(this)) {
    setObjectName(QStringLiteral("TUIOrderHandlerChangeSeat"));
    setWindowTitle(QStringLiteral("订单处理－拆分订单"));
    setWindowState(Qt::WindowMaximized);
    product_->setObjectName(QStringLiteral("ProductLabel"));

    auto* bar = new QHBoxLayout;
    bar->addWidget(ButtonFor(module_->actRefreshSeat(), this));
    bar->addWidget(ButtonFor(module_->actClearSelected(), this));
    // The split is the window's default button: Enter runs it, as long as the action is enabled.
    QAction* split = module_->actExecute();
    auto* execute = new QPushButton(split->text(), this);
    execute->setObjectName(QStringLiteral("actExecuteButton"));
    execute->setDefault(true);
    execute->setEnabled(split->isEnabled());
    connect(execute, &QPushButton::clicked, split, &QAction::trigger);
    connect(split, &QAction::changed, execute, [execute, split] { execute->setEnabled(split->isEnabled()); });
    bar->addWidget(execute);
    bar->addSpacing(20);
    bar->addWidget(product_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(map_, 1);
    addAction(module_->actRefreshSeat());

    connect(snapIn_, &TKavCSnapIn::ContextChanged, module_, &TCDOrderHandlerChangeSeat::SetContext);
    connect(module_, &TCDOrderHandlerChangeSeat::Split, this, [this](const QString& code) {
        newOrderCode_ = code.toStdString();
        accept();
    });
    resize(1200, 800);
}

TUIOrderHandlerChangeSeat::~TUIOrderHandlerChangeSeat() = default;

void TUIOrderHandlerChangeSeat::InitializationChangeSeat(const TClientDataSet& orderRow) {
    module_->SetOrderRow(orderRow);
    module_->InitializationChangeSeat(*map_);
    product_->setText(QString::fromStdString(module_->ProductText()));
    map_->Map().setFocus();
}

} // namespace kav::orderhandler
