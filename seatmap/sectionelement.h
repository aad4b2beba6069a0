#pragma once
// TKavSectionElement: an element of a venue map with a window of its own: a section block, a free
// text or another kind a package registers (elementregistry.h). In design mode the mouse moves it and
// resizes it by its eight handles; a double click edits it through its kind's editor; a click turns
// its four outer borders on. It draws itself at 96 dpi; OutputTo draws it anywhere else (printing,
// pictures) at any resolution and zoom.
//
// The element's frame (Frame, SetFrameBox) is its geometry in the owner, in pixels of 96 dpi. Only one
// element of an owner has the focus (HasFocus) at a time.
//
// Threading: GUI thread only.

#include "seatmap/elementbase.h"

#include <QWidget>
#include <memory>

namespace kav {

class TKavSectionElement;

// What edits an element kind; Show answers whether the user confirmed a change.
class TKavElementEditor {
public:
    virtual ~TKavElementEditor() = default;
    virtual bool Show(TKavSectionElement* /*element*/) { return false; }
};

class TKavSectionElement : public QWidget, public TKavElementBase {
    Q_OBJECT

public:
    explicit TKavSectionElement(QWidget* parent = nullptr);

    bool HasFocus() const { return hasFocus_; }
    void SetHasFocus(bool focus);
    // Takes the focus from the other elements of the same owner.
    void SetElementFocus();

    // The kind's editor, when it has one: true when the user confirmed a change (OnContentChange
    // then follows).
    bool Edit();
    virtual std::unique_ptr<TKavElementEditor> GetEditor() { return nullptr; }

    TKavDragBox DragState() const { return dragState_; }

signals:
    void OnClick();
    void OnFocus();
    void OnResize();
    void OnContentChange();

protected:
    void Changed() override { update(); }
    void FrameChanged() override;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool hasFocus_ = false;
    TKavDragBox dragState_ = TKavDragBox::dbNone;
    QPoint dragStart_{-1, -1};
    bool clickPending_ = false;
};

} // namespace kav
