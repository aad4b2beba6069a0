#include "platform/widgets/rolloutgroup.h"

#include <QFrame>
#include <QToolButton>
#include <QVBoxLayout>

namespace kav {

TRollOutGroup::TRollOutGroup(const QString& title, QWidget* parent) : QWidget(parent) {
    header_ = new QToolButton(this);
    header_->setText(title);
    header_->setCheckable(true);
    header_->setChecked(true);
    header_->setAutoRaise(true);
    header_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    header_->setArrowType(Qt::DownArrow);
    QFont bold = header_->font();
    bold.setBold(true);
    header_->setFont(bold);

    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    content_ = frame;

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header_);
    layout->addWidget(content_);
    connect(header_, &QToolButton::toggled, this, &TRollOutGroup::SetExpanded);
}

bool TRollOutGroup::Expanded() const {
    return header_->isChecked();
}

void TRollOutGroup::SetExpanded(bool expanded) {
    header_->setChecked(expanded);
    header_->setArrowType(expanded ? Qt::DownArrow : Qt::RightArrow);
    content_->setVisible(expanded);
}

} // namespace kav
