#include "seatmap/sectionelement.h"

#include <QMouseEvent>
#include <QPainter>

namespace kav {

TKavSectionElement::TKavSectionElement(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    MutableModel().rect = QRect(0, 0, 64, 32);
    setGeometry(Frame());
    // A click frames the element with its four outer borders.
    connect(this, &TKavSectionElement::OnClick, this, [this] { SetBorder(Border() | ebBox); });
}

void TKavSectionElement::SetHasFocus(bool focus) {
    if (focus == hasFocus_) return;
    hasFocus_ = focus;
    update();
    if (focus) emit OnFocus();
}

void TKavSectionElement::SetElementFocus() {
    setFocus();
    if (QWidget* owner = parentWidget())
        for (auto* other : owner->findChildren<TKavSectionElement*>(Qt::FindDirectChildrenOnly))
            if (other != this) other->SetHasFocus(false);
    SetHasFocus(true);
}

bool TKavSectionElement::Edit() {
    std::unique_ptr<TKavElementEditor> editor = GetEditor();
    if (!editor) return false;
    const bool changed = editor->Show(this);
    editor.reset();
    if (changed) emit OnContentChange();
    return changed;
}

void TKavSectionElement::FrameChanged() {
    setGeometry(Frame());
    update();
    emit OnResize();
}

void TKavSectionElement::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    OutputTo(painter, Frame().topLeft(), TElementScale{});
    if (isEnabled()) PaintDragBorder(painter, rect(), hasFocus_);
}

void TKavSectionElement::mousePressEvent(QMouseEvent* event) {
    if (!isEnabled() || event->button() != Qt::LeftButton) return;
    dragStart_ = event->position().toPoint();
    clickPending_ = true;
    raise();
    SetElementFocus();
}

void TKavSectionElement::mouseMoveEvent(QMouseEvent* event) {
    if (!isEnabled()) return;
    const QPoint mouse = event->position().toPoint();
    if (!(event->buttons() & Qt::LeftButton)) {
        dragState_ = DragZoneAt(mouse.x(), mouse.y(), width(), height());
        setCursor(CursorOfZone(dragState_));
        return;
    }
    if (dragStart_.x() < 0 || !InDesign() || dragState_ == TKavDragBox::dbNone) return;
    if (mouse != dragStart_) clickPending_ = false;
    const TKavDragStep step = DragStep(dragState_, Frame(), dragStart_, mouse);
    const QRect frame = step.Frame;
    if (SetFrameBox(frame.left(), frame.top(), frame.width(), frame.height())) dragStart_ = step.NextStart;
}

void TKavSectionElement::mouseReleaseEvent(QMouseEvent* event) {
    if (!isEnabled() || event->button() != Qt::LeftButton) return;
    dragStart_ = {-1, -1};
    dragState_ = TKavDragBox::dbNone;
    update();
    if (clickPending_) {
        clickPending_ = false;
        emit OnClick();
    }
}

void TKavSectionElement::mouseDoubleClickEvent(QMouseEvent* event) {
    if (isEnabled() && event->button() == Qt::LeftButton) Edit();
}

void TKavSectionElement::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) update();
}

} // namespace kav
