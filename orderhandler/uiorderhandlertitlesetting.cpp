#include "orderhandler/uiorderhandlertitlesetting.h"

#include "platform/widgets/modaldialog.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kav::orderhandler {

TUIOrderHandlerTitleSetting::TUIOrderHandlerTitleSetting(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("UIOrderHandlerTitleSetting"));
    setWindowTitle(QStringLiteral("销售信息显示设置"));

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("lstTitles"));
    list_->setMinimumSize(220, 420);

    up_ = new QPushButton(QStringLiteral("上移"), this);
    up_->setObjectName(QStringLiteral("btnUp"));
    up_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Up));
    up_->setToolTip(QStringLiteral("上移 (Alt+Up)"));
    down_ = new QPushButton(QStringLiteral("下移"), this);
    down_->setObjectName(QStringLiteral("btnDown"));
    down_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Down));
    down_->setToolTip(QStringLiteral("下移 (Alt+Down)"));
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("btnClose"));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(up_);
    buttons->addWidget(down_);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(close);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);

    connect(up_, &QPushButton::clicked, this, &TUIOrderHandlerTitleSetting::MoveUp);
    connect(down_, &QPushButton::clicked, this, &TUIOrderHandlerTitleSetting::MoveDown);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QListWidget::currentRowChanged, this, &TUIOrderHandlerTitleSetting::UpdateButtons);
    connect(list_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        const std::string fieldName = item->data(Qt::UserRole).toString().toStdString();
        if (TOrderTitleInfoRecord* column = columns_.Find(fieldName))
            column->shown = item->checkState() == Qt::Checked;
    });
}

int TUIOrderHandlerTitleSetting::ShowCustomModal(TOrderTitleInfoList& columns) {
    Load(columns);
    const int result = ExecModal(*this);
    if (result == QDialog::Accepted) columns = columns_;
    return result;
}

void TUIOrderHandlerTitleSetting::Load(const TOrderTitleInfoList& columns) {
    columns_ = columns;
    Fill();
    list_->setCurrentRow(0);
    UpdateButtons();
}

void TUIOrderHandlerTitleSetting::Fill() {
    const QSignalBlocker blocker(list_);
    list_->clear();
    for (const auto& column : columns_) {
        auto* item = new QListWidgetItem(QString::fromStdString(column->title), list_);
        item->setData(Qt::UserRole, QString::fromStdString(column->fieldName));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(column->shown ? Qt::Checked : Qt::Unchecked);
    }
}

void TUIOrderHandlerTitleSetting::Swap(int row, int other) {
    auto first = columns_.GetCloneItems(row);
    columns_.SetItems(row, columns_.GetCloneItems(other));
    columns_.SetItems(other, std::move(first));
    const QSignalBlocker blocker(list_);
    QListWidgetItem* item = list_->takeItem(row);
    list_->insertItem(other, item);
    list_->setCurrentRow(other);
    UpdateButtons();
}

void TUIOrderHandlerTitleSetting::MoveUp() {
    const int row = list_->currentRow();
    if (row > 0) Swap(row, row - 1);
}

void TUIOrderHandlerTitleSetting::MoveDown() {
    const int row = list_->currentRow();
    if (row >= 0 && row < list_->count() - 1) Swap(row, row + 1);
}

void TUIOrderHandlerTitleSetting::UpdateButtons() {
    const int row = list_->currentRow();
    up_->setEnabled(row > 0);
    down_->setEnabled(row >= 0 && row < list_->count() - 1);
}

} // namespace kav::orderhandler
