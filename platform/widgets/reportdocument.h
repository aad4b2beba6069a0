#pragma once
// A built report: its pages as lists of drawing commands in millimetres from the page's top left corner.
// The same document is painted on screen, into a PDF and onto a printer (reportoutput.h), and tests read
// its content and geometry directly.

#include "platform/widgets/reportlayout.h"

#include <QRectF>
#include <string>
#include <string_view>
#include <vector>

namespace kav {

struct TDrawCommand {
    enum class Kind { Text, Line, Box };
    Kind kind = Kind::Text;
    QRectF rect;      // Text and Box; a Line runs from topLeft to bottomRight
    std::string text; // Text: UTF-8, one line; painted smaller when it would not fit the width
    TReportFont font; // Text
    TReportAlign align = TReportAlign::Left;
    double lineWidth = 0.2; // Line and Box
};

struct TReportPage {
    std::vector<TDrawCommand> commands; // in painting order
};

struct TReportDocument {
    std::string title;
    double pageWidth = 210, pageHeight = 297; // as printed (landscape already swapped)
    bool landscape = false;
    std::vector<TReportPage> pages;

    // The page's texts in painting order, one per line.
    std::string PageText(std::size_t page) const;
    // The text commands of a page holding exactly `text`.
    std::vector<const TDrawCommand*> FindTexts(std::size_t page, std::string_view text) const;
};

} // namespace kav
