#pragma once
// TReportEngine: lays a report out from a layout (reportlayout.h), the datasets it names by alias and its
// parameters, into pages of drawing commands (reportdocument.h).
//
// The report walks the rows of its main dataset in the dataset's current order (filter, range, index),
// moving the cursor so that datasets linked to it as details follow. Each page gets the page header (the
// title band first on page one) and the page footer at its bottom; "[#PAGE]" and "[#PAGES]" in texts
// become the page's number and the page count. Groups open and close where their fields change value: a
// header before the group's first row, a footer after its last, both seeing the group's rows for their
// sums; a group header is not left alone at the bottom of a page. A band that does not fit on the page
// goes to the next one. Column sets keep a key when one of its keep fields is non-zero in some row.
//
// Build raises EReportLayout, naming the layout file, for an alias, field or parameter the layout names
// and the data does not hold. The datasets must stay open while Build runs and belong to its thread; the
// main dataset's cursor ends on its last row.

#include "platform/dataset/fieldvalue.h"
#include "platform/widgets/reportdocument.h"
#include "platform/widgets/reportlayout.h"

#include <map>
#include <string>

namespace kav {

class TClientDataSet;

class TReportEngine {
public:
    explicit TReportEngine(TReportLayout layout);

    const TReportLayout& Layout() const noexcept { return layout_; }

    // Names are compared ignoring ASCII letter case. A null dataset declares an alias without data: a
    // nested band over it prints nothing.
    void SetDataSet(const std::string& alias, TClientDataSet* dataSet);
    void SetParameter(const std::string& name, FieldValue value);

    TReportDocument Build();

private:
    TReportLayout layout_;
    std::map<std::string, TClientDataSet*> dataSets_;
    std::map<std::string, FieldValue> parameters_;
};

// The text a value prints as in `format`; Auto writes integers plain, floats with two decimals, Booleans
// as "是"/"否" and texts as they are. With blankZero a zero number prints nothing.
std::string FormatReportValue(const FieldValue& value, TValueFormat format, bool blankZero);

} // namespace kav
