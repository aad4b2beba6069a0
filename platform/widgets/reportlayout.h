#pragma once
// Report layouts: what a report engine (reportengine.h) prints where. A layout is a JSON file of our own
// format, described in docs/report-layout.md: the page, a default font, the data alias the report walks,
// column sets (a template of cells repeated per key, such as one cell per price level), and bands of
// elements: title, page header, group headers and footers, detail, summary and page footer, each band
// optionally followed by nested bands over a detail dataset. Lengths are millimetres; fonts are points.
//
// Loading checks the whole structure: a file that cannot be read, is not JSON, or holds an unknown
// band, element type, alignment or format, a missing or negative size, or a column set that is not
// declared, raises EReportLayout whose message names the file and the place in it. References to data
// (aliases, fields, parameters) are checked when a report is built, against the data it is given.

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kav {

class EReportLayout : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TReportFont {
    std::string family;
    double size = 9; // points
    bool bold = false;
    friend bool operator==(const TReportFont&, const TReportFont&) = default;
};

enum class TReportAlign { Left, Center, Right };

// How a value is written: Auto follows the field's type (integers plain, floats and money with two
// decimals, date-times "yyyy-mm-dd hh:mm", Booleans "是"/"否", texts as they are).
enum class TValueFormat { Auto, Text, Integer, Money, Number, Date, DateTime, Minutes };

struct TReportElement {
    enum class Kind {
        Text,    // `text` with [#PAGE], [#PAGES] and [$NAME] or [$NAME|fallback] (a parameter) filled in
        Field,   // `name`: a field of the band's dataset, current row
        Param,   // `name`: a parameter
        Sum,     // `name`: a field summed over the band's rows (group, nested table or whole report)
        Line,    // from (x, y) to (x + w, y + h)
        Box,     // the rectangle's frame
        Columns, // `elements` repeated for each kept key of the column set `columnSet`
    };
    Kind kind = Kind::Text;
    double x = 0, y = 0, w = 0, h = 0;
    std::string text;
    std::string name; // may hold "{key}" inside a column set
    TValueFormat format = TValueFormat::Auto;
    bool blankZero = false; // a zero value prints nothing
    std::string across;     // Field, Param, Sum: added up over every key of this column set
    TReportAlign align = TReportAlign::Left;
    std::optional<double> fontSize;
    std::optional<bool> bold;
    bool frame = false;                   // text elements: a frame around the cell
    double lineWidth = 0.2;               // Line, Box and frames
    std::string columnSet;                // Columns
    std::vector<TReportElement> elements; // Columns: the cell template, laid out for the set's cellWidth
};

struct TNestedReport;

struct TReportBand {
    bool present = false; // declared in the layout
    double height = 0;
    std::vector<TReportElement> elements;
    std::vector<TNestedReport> nested; // printed after the band, in order
};

// The rows of `dataset` (following its master link, as positioned by the report) printed after a band:
// header and footer only when it has rows.
struct TNestedReport {
    std::string dataset;
    TReportBand header, detail, footer;
};

struct TReportGroup {
    std::vector<std::string> fields; // a new group starts where any of them changes
    TReportBand header, footer;
    bool repeatHeader = false; // printed again at the top of a page the group continues on
};

// A cell template repeated across a horizontal area once per kept key: a key is kept when one of the
// keepWhenNonZero fields ("{key}" replaced) is non-zero in some row of the report's dataset. Kept keys
// share the area, each at most maxCellWidth wide; templates are scaled from cellWidth to that width. A set
// that follows another starts where that one's kept cells end, instead of at x.
struct TReportColumnSet {
    std::string name;
    std::vector<std::string> keys;
    std::vector<std::string> keepWhenNonZero;
    double x = 0, width = 0, cellWidth = 0, maxCellWidth = 0;
    std::string follows;
};

struct TReportLayout {
    std::string source; // the file, for messages
    std::string title;
    double pageWidth = 210, pageHeight = 297; // as printed: landscape swaps them
    bool landscape = false;
    double marginLeft = 10, marginTop = 10, marginRight = 10, marginBottom = 10;
    TReportFont font;
    std::string dataset; // the alias the report walks
    std::vector<TReportColumnSet> columnSets;
    TReportBand titleBand, pageHeader, detail, summary, pageFooter;
    std::vector<TReportGroup> groups; // outermost first

    const TReportColumnSet* FindColumnSet(std::string_view name) const;
};

TReportLayout ParseReportLayout(std::string_view json, const std::string& source);
TReportLayout LoadReportLayout(const std::filesystem::path& file);

} // namespace kav
