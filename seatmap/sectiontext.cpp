#include "seatmap/sectiontext.h"

#include "seatmap/elementregistry.h"
#include "seatmap/uisectiontexteditorshow.h"

#include <QPainter>
#include <string>

namespace kav {

namespace {

const TKavSectionElementRegistration kTextRegistration{"TESection", "文字1",
                                                       SectionElementClass<TKavSectionText>()};

std::uint8_t ByteOf(const std::string& item) {
    const int value = std::stoi(item);
    if (value < 0 || value > 255) throw std::out_of_range("not a byte: " + item);
    return static_cast<std::uint8_t>(value);
}

} // namespace

TKavSectionText::TKavSectionText(QWidget* parent) : TKavSectionElement(parent) {}

void TKavSectionText::SetInverseColor(bool value) {
    if (value == inverseColor_) return;
    inverseColor_ = value;
    if (InDesign()) update();
}

QString TKavSectionText::DisplayName() const {
    return QString::fromStdString(GetCustomElementDisplayName("TESection"));
}

std::unique_ptr<TKavElementEditor> TKavSectionText::GetEditor() {
    return std::make_unique<TKavSectionTextEditor>();
}

void TKavSectionText::DoDrawContent(QPainter& painter, const QRect& rect, const TElementScale&) {
    if (inverseColor_) {
        painter.setPen(Qt::black);
        painter.fillRect(rect, Qt::black);
        painter.setPen(Qt::white);
    } else {
        painter.setPen(Qt::black);
    }
    painter.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, QString::fromStdString(Caption()));
}

void TKavSectionText::DoBuildExtraString(std::vector<std::string>& items) {
    items.push_back(std::to_string(alignment_));
    items.push_back(std::to_string(vAlignment_));
    items.push_back(inverseColor_ ? "1" : "0");
}

void TKavSectionText::DoBreakExtraString(const std::vector<std::string>& items) {
    alignment_ = items.size() > 0 ? ByteOf(items[0]) : 0;
    vAlignment_ = items.size() > 1 ? ByteOf(items[1]) : 0;
    inverseColor_ = items.size() > 2 && (items[2] == "1" || items[2] == "Y" || items[2] == "T");
}

bool TKavSectionTextEditor::Show(TKavSectionElement* element) {
    auto* text = dynamic_cast<TKavSectionText*>(element);
    if (!text) return false;
    TUISectionTextEditorShow window(text->window());
    return window.Edit(*text);
}

} // namespace kav
