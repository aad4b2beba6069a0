#pragma once
// TKavElementBase: what both kinds of venue map element share, with or without a window of their own
// (TKavSectionElement, TKavSelectSectionShow): the placed element's model (platform/widgets/
// elementmodel.h), its settings text, drawing onto any canvas at any resolution and zoom, the rules of
// moving and resizing by the eight drag handles, and the drag border.
//
// The settings text (AsString) is a list of items joined by "|"; an item holding a blank, a double
// quote or "|" is written between double quotes with its quotes doubled. Element kinds put their own
// settings in it (DoBuildExtraString, DoBreakExtraString).
//
// Threading: GUI thread only.

#include "platform/widgets/elementmodel.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <string>
#include <vector>

class QPainter;

namespace kav {

class TClientDataSet;

// Where the mouse is over an element, and so what a drag does.
enum class TKavDragBox {
    dbNone,
    dbDrag,
    dbTopLeft,
    dbTopMid,
    dbTopRight,
    dbMidLeft,
    dbMidRight,
    dbBottomLeft,
    dbBottomMid,
    dbBottomRight
};

inline constexpr int KavDragHandleSize = 6;
inline constexpr int KavMinElementSize = 3 * KavDragHandleSize;

// The zone of an element of size w × h under the point (x, y) of the element.
TKavDragBox DragZoneAt(int x, int y, int w, int h);
Qt::CursorShape CursorOfZone(TKavDragBox zone);

// The frame a drag of (dx, dy) in `zone` asks for, and where the drag's start point goes next so
// that the dragged edge stays under the mouse while the element's origin stays put.
struct TKavDragStep {
    QRect Frame;
    QPoint NextStart;
};
TKavDragStep DragStep(TKavDragBox zone, const QRect& frame, QPoint start, QPoint mouse);

// "a|b|\"c d\"" and back.
std::string JoinElementItems(const std::vector<std::string>& items);
std::vector<std::string> SplitElementItems(const std::string& text);

class TKavElementBase {
public:
    virtual ~TKavElementBase() = default;

    const TElementModel& Model() const { return model_; }

    std::string AsString();
    // Reads the element's settings from the text; an error while reading is ignored and keeps what
    // was read before it.
    void SetAsString(const std::string& text);

    const std::string& Caption() const { return model_.caption; }
    void SetCaption(const std::string& caption);
    const TElementFont& ElementFont() const { return model_.font; }
    void SetElementFont(const TElementFont& font);
    int Border() const { return model_.border; }
    void SetBorder(int border);
    bool BorderLeft() const { return model_.border & ebLeft; }
    void SetBorderLeft(bool on) { SetBorderBit(ebLeft, on); }
    bool BorderTop() const { return model_.border & ebTop; }
    void SetBorderTop(bool on) { SetBorderBit(ebTop, on); }
    bool BorderRight() const { return model_.border & ebRight; }
    void SetBorderRight(bool on) { SetBorderBit(ebRight, on); }
    bool BorderBottom() const { return model_.border & ebBottom; }
    void SetBorderBottom(bool on) { SetBorderBit(ebBottom, on); }
    bool BorderLBRT() const { return model_.border & ebLBRT; }
    void SetBorderLBRT(bool on) { SetBorderBit(ebLBRT, on); }
    bool BorderLTRB() const { return model_.border & ebLTRB; }
    void SetBorderLTRB(bool on) { SetBorderBit(ebLTRB, on); }

    // The dataset an element kind bound to data reads (RefreshData); not owned.
    TClientDataSet* DataSource() const { return dataSource_; }
    void SetDataSource(TClientDataSet* dataSet) { dataSource_ = dataSet; }

    // Design mode: the element can be moved and resized; the owner switches it off for display.
    bool InDesign() const { return inDesign_; }
    void SetInDesign(bool inDesign);

    // The element's place in its owner, in pixels of 96 dpi.
    QRect Frame() const { return model_.rect; }
    // Moves and resizes the element, in design mode only, and never below KavMinElementSize in either
    // direction; AdjustFrameSize may correct the size first. False when refused.
    bool SetFrameBox(int left, int top, int width, int height);

    // Draws the element onto any canvas: its content and border lines at `scale`, where the canvas's
    // origin lies at the owner's 96-dpi point `origin`. Nothing is drawn at an unusable scale.
    void OutputTo(QPainter& painter, QPoint origin, const TElementScale& scale);
    // The dotted frame of an element that can be moved, with the eight handles while it has the focus.
    static void PaintDragBorder(QPainter& painter, const QRect& client, bool focused);

    // ---- what element kinds override
    virtual QString DisplayName() const { return {}; }
    virtual void AdjustFrameSize(int& /*width*/, int& /*height*/) {}
    virtual void DoDrawContent(QPainter& /*painter*/, const QRect& /*rect*/, const TElementScale& /*scale*/) {
    }
    virtual void DoBuildExtraString(std::vector<std::string>& /*items*/) {}
    // Reads settings from the items; may raise (a malformed number) after reading some of them.
    virtual void DoBreakExtraString(const std::vector<std::string>& /*items*/) {}
    virtual void RefreshData() {}

protected:
    // A visible property changed: repaint when the element paints itself.
    virtual void Changed() {}
    // The frame was set (SetFrameBox); the widget variant moves its window.
    virtual void FrameChanged() {}
    TElementModel& MutableModel() { return model_; }

private:
    void SetBorderBit(int bit, bool on) { SetBorder(on ? model_.border | bit : model_.border & ~bit); }

    TElementModel model_;
    TClientDataSet* dataSource_ = nullptr;
    bool inDesign_ = true;
};

} // namespace kav
