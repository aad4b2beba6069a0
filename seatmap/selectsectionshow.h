#pragma once
// TKavSelectSectionShow: the element model without a window of its own, for maps that only show many
// section blocks. It has no mouse handling, no focus and no editor; its owner draws it with OutputTo
// (and PaintDragBorder where it wants the frame). Kinds register in their own registry
// (RegisterSelectSection, elementregistry.h). The owner (a QObject) frees it.
//
// Threading: GUI thread only.

#include "seatmap/elementbase.h"

#include <QObject>

namespace kav {

class TKavSelectSectionShow : public QObject, public TKavElementBase {
    Q_OBJECT

public:
    explicit TKavSelectSectionShow(QObject* owner = nullptr);

    bool Edit() { return false; }

signals:
    // A visible property changed: the owner repaints the element.
    void OnChange();
    void OnResize();

protected:
    void Changed() override { emit OnChange(); }
    void FrameChanged() override { emit OnResize(); }
};

} // namespace kav
