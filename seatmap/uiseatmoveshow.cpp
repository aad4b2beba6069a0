#include "seatmap/uiseatmoveshow.h"

#include "platform/widgets/modaldialog.h"
#include "seatmap/seatdialogparts.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>

namespace kav {

namespace {
TKavSeatMove& Remembered() {
    static TKavSeatMove values;
    return values;
}
} // namespace

TUISeatMoveShow::TUISeatMoveShow(QWidget* parent)
    : QDialog(parent), direction_(new TKavDirectionGroup), step_(new QSpinBox) {
    setObjectName(QStringLiteral("TUISeatMoveShow"));
    setWindowTitle(QStringLiteral("移动座位"));
    step_->setObjectName(QStringLiteral("Step"));
    step_->setRange(1, KavMaxEditStep);
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("您希望将选中的座位")), 0, 0, 1, 3);
    layout->addWidget(direction_, 1, 0, 1, 3);
    layout->addWidget(new QLabel(QStringLiteral("移动")), 2, 0);
    layout->addWidget(step_, 2, 1);
    layout->addWidget(new QLabel(QStringLiteral("个单元格！")), 2, 2);
    layout->addWidget(MakeDialogButtons(*this), 3, 0, 1, 3);
    SetValues(Remembered());
}

TKavSeatMove TUISeatMoveShow::Values() const {
    return {direction_->Direction(), step_->value()};
}

void TUISeatMoveShow::SetValues(const TKavSeatMove& values) {
    direction_->SetDirection(values.Direction);
    step_->setValue(values.Step);
}

std::optional<TKavSeatMove> TUISeatMoveShow::Ask(QWidget* parent) {
    TUISeatMoveShow dialog(parent);
    if (ExecModal(dialog) != QDialog::Accepted) return std::nullopt;
    Remembered() = dialog.Values();
    return Remembered();
}

} // namespace kav
