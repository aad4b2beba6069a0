#include "seatmap/seatdialogparts.h"

#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>

namespace kav {

namespace {
constexpr char kDirections[] = {'L', 'T', 'R', 'B'};
const char* const kDirectionCaptions[] = {"向左", "向上", "向右", "向下"};
} // namespace

TKavDirectionGroup::TKavDirectionGroup(QWidget* parent)
    : QGroupBox(parent), buttons_(new QButtonGroup(this)) {
    setObjectName(QStringLiteral("Direction"));
    auto* layout = new QHBoxLayout(this);
    for (int i = 0; i < 4; ++i) {
        auto* button = new QRadioButton(QString::fromUtf8(kDirectionCaptions[i]));
        button->setObjectName(QStringLiteral("Direction%1").arg(QChar::fromLatin1(kDirections[i])));
        buttons_->addButton(button, i);
        layout->addWidget(button);
    }
    SetDirection('L');
}

char TKavDirectionGroup::Direction() const {
    const int id = buttons_->checkedId();
    return id >= 0 && id < 4 ? kDirections[id] : 'L';
}

void TKavDirectionGroup::SetDirection(char direction) {
    int id = 0;
    for (int i = 0; i < 4; ++i)
        if (kDirections[i] == direction) id = i;
    buttons_->button(id)->setChecked(true);
}

QDialogButtonBox* MakeDialogButtons(QDialog& dialog) {
    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(QStringLiteral("确定(&O)"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("Close"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return buttons;
}

QPushButton* OkButtonOf(QDialogButtonBox& buttons) {
    return buttons.findChild<QPushButton*>(QStringLiteral("OK"));
}

} // namespace kav
