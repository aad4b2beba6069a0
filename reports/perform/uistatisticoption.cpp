#include "reports/perform/uistatisticoption.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kav::reports {

TUIStatisticOption::TUIStatisticOption(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("UIStatisticOption"));
    setWindowTitle(QStringLiteral("统计选项"));
    byPeriod_ = new QCheckBox(QStringLiteral("按统计期间"), this);
    byPeriod_->setObjectName(QStringLiteral("chkByPeriod"));
    auto* explanation =
        new QLabel(QStringLiteral("设置剩余座位的统计方式是否以统计期间为时间条件进行统计"), this);
    explanation->setWordWrap(true);
    source_ = new QComboBox(this);
    source_->setObjectName(QStringLiteral("cbSaleSource"));
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole)
        ->setObjectName(QStringLiteral("btnOK"));
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("btnCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(byPeriod_);
    layout->addWidget(explanation);
    layout->addWidget(new QLabel(QStringLiteral("销售来源:"), this));
    layout->addWidget(source_);
    layout->addWidget(buttons);
}

void TUIStatisticOption::SetOptions(bool byPeriod, const std::string& saleSource,
                                    const std::string& venueName) {
    byPeriod_->setChecked(byPeriod);
    source_->clear();
    source_->addItems({QStringLiteral("全部"), QString::fromStdString(venueName), QStringLiteral("大麦")});
    const int index = saleSource == "1" ? 1 : saleSource == "2" ? 2 : 0;
    source_->setCurrentIndex(index);
}

bool TUIStatisticOption::ByPeriod() const {
    return byPeriod_->isChecked();
}

std::string TUIStatisticOption::SaleSource() const {
    return std::to_string(std::max(source_->currentIndex(), 0));
}

} // namespace kav::reports
