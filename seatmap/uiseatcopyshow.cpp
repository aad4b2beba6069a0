#include "seatmap/uiseatcopyshow.h"

#include "platform/widgets/modaldialog.h"
#include "seatmap/seatdialogparts.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>

namespace kav {

namespace {

TKavSeatCopy& Remembered() {
    static TKavSeatCopy values;
    return values;
}

enum EntityId { RowNumbers = 0, SeatNumbers = 1 };

QSpinBox* SpinBox(const char* name, int low, int high) {
    auto* box = new QSpinBox;
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(low, high);
    return box;
}

} // namespace

TUISeatCopyShow::TUISeatCopyShow(QWidget* parent)
    : QDialog(parent), direction_(new TKavDirectionGroup), step_(SpinBox("Step", 1, KavMaxEditStep)),
      entity_(new QButtonGroup(this)), increment_(SpinBox("Increment", -4, 4)),
      times_(SpinBox("Times", 1, KavMaxCopyTimes)) {
    setObjectName(QStringLiteral("TUISeatCopyShow"));
    setWindowTitle(QStringLiteral("复制座位"));
    auto* entities = new QWidget;
    entities->setObjectName(QStringLiteral("Entity"));
    auto* entityLayout = new QHBoxLayout(entities);
    entityLayout->setContentsMargins(0, 0, 0, 0);
    for (auto [id, name, caption] :
         {std::tuple{RowNumbers, "EntityR", "排号"}, std::tuple{SeatNumbers, "EntityS", "座号"}}) {
        auto* button = new QRadioButton(QString::fromUtf8(caption));
        button->setObjectName(QString::fromLatin1(name));
        entity_->addButton(button, id);
        entityLayout->addWidget(button);
    }

    auto* layout = new QGridLayout(this);
    int row = 0;
    layout->addWidget(new QLabel(QStringLiteral("您希望将选中的座位")), row++, 0, 1, 3);
    layout->addWidget(direction_, row++, 0, 1, 3);
    layout->addWidget(new QLabel(QStringLiteral("进行复制：")), row++, 0, 1, 3);
    layout->addWidget(new QLabel(QStringLiteral("复制时间隔为")), row, 0);
    layout->addWidget(step_, row, 1);
    layout->addWidget(new QLabel(QStringLiteral("个单元格！")), row++, 2);
    layout->addWidget(new QLabel(QStringLiteral("并且")), row, 0);
    layout->addWidget(entities, row, 1);
    layout->addWidget(new QLabel(QStringLiteral("依次增加")), row, 2);
    layout->addWidget(increment_, row++, 3);
    layout->addWidget(new QLabel(QStringLiteral("上述复制操作共重复")), row, 0);
    layout->addWidget(times_, row, 1);
    layout->addWidget(new QLabel(QStringLiteral("次") + QStringLiteral(".")), row++, 2);
    layout->addWidget(MakeDialogButtons(*this), row, 0, 1, 4);
    SetValues(Remembered());
}

TKavSeatCopy TUISeatCopyShow::Values() const {
    return {direction_->Direction(), step_->value(), entity_->checkedId() == RowNumbers ? 'R' : 'S',
            increment_->value(), times_->value()};
}

void TUISeatCopyShow::SetValues(const TKavSeatCopy& values) {
    direction_->SetDirection(values.Direction);
    step_->setValue(values.Step);
    entity_->button(values.Entity == 'R' ? RowNumbers : SeatNumbers)->setChecked(true);
    increment_->setValue(values.Increment);
    times_->setValue(values.Times);
}

std::optional<TKavSeatCopy> TUISeatCopyShow::Ask(QWidget* parent) {
    TUISeatCopyShow dialog(parent);
    if (ExecModal(dialog) != QDialog::Accepted) return std::nullopt;
    Remembered() = dialog.Values();
    return Remembered();
}

} // namespace kav
