#pragma once
// TKavSectionText: the free text of a venue map, registered as ("TESection", "文字1"). It draws its
// caption on one line, centred both ways: black on the background, or white on black with
// InverseColor. Alignment and VAlignment are kept in its settings for the layout editors that use
// them; they do not move the text here. Settings text: Alignment|VAlignment|InverseColor ("1"/"0").
//
// TKavSectionTextEditor edits caption, font and colours in the modal text element editor window
// (uisectiontexteditorshow.h).
//
// Threading: GUI thread only.

#include "seatmap/sectionelement.h"

#include <cstdint>

namespace kav {

class TKavSectionText : public TKavSectionElement {
    Q_OBJECT

public:
    explicit TKavSectionText(QWidget* parent = nullptr);

    std::uint8_t Alignment() const { return alignment_; }
    void SetAlignment(std::uint8_t value) { alignment_ = value; }
    std::uint8_t VAlignment() const { return vAlignment_; }
    void SetVAlignment(std::uint8_t value) { vAlignment_ = value; }
    bool InverseColor() const { return inverseColor_; }
    void SetInverseColor(bool value);

    QString DisplayName() const override;
    std::unique_ptr<TKavElementEditor> GetEditor() override;
    void DoDrawContent(QPainter& painter, const QRect& rect, const TElementScale& scale) override;
    void DoBuildExtraString(std::vector<std::string>& items) override;
    void DoBreakExtraString(const std::vector<std::string>& items) override;

private:
    std::uint8_t alignment_ = 0;
    std::uint8_t vAlignment_ = 0;
    bool inverseColor_ = false;
};

class TKavSectionTextEditor : public TKavElementEditor {
public:
    // False for no element or one that is not a text; else whether the window closed with OK.
    bool Show(TKavSectionElement* element) override;
};

} // namespace kav
