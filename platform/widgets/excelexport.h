#pragma once
// The Excel export shared by the windows: a table of labelled columns, or the visible fields of a
// dataset, written as a real .xlsx workbook (libxlsxwriter) of one worksheet.
//
// The first row holds the column titles (a dataset's display labels), bold, frozen and with an auto
// filter; every later row is one table row. Cells keep their kind: texts (CJK included) as strings,
// numbers as numbers, money as numbers shown with two decimals, date-times as Excel dates ("yyyy-mm-dd
// hh:mm:ss", or "yyyy-mm-dd" for a date column), Booleans as Booleans; a null value is an empty cell.
// Column widths follow the longest text of each column, CJK characters counting double.
//
// The workbook is written to a temporary file beside the target and renamed over it, so a failed
// export leaves an earlier file as it was. Failures raise EExcelExport naming the file and the reason:
// the folder cannot be written, more rows than a worksheet holds (1,048,575 below the titles), more
// than 16,384 columns, or a text longer than the 32,767 characters of a cell.
//
// Threading: none; an exporter belongs to one thread. Datasets are read on that thread.

#include "platform/dataset/fieldvalue.h"

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace kav {

class TClientDataSet;

class EExcelExport : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TExcelKind {
    Text,
    Integer,
    Number,   // shown as Excel's General format
    Money,    // two decimals
    Date,     // days since 1899-12-30, shown as a date
    DateTime, // days since 1899-12-30, shown as a date and time
    Boolean,
};

struct TExcelColumn {
    std::string title;
    TExcelKind kind = TExcelKind::Text;
};

// Values are converted to the column's kind when written: a number in a text column is written as its
// text, a text in a number column as the number it spells (or as text when it spells none).
struct TExcelTable {
    std::vector<TExcelColumn> columns;
    std::vector<std::vector<FieldValue>> rows; // a shorter row leaves its last cells empty
};

class TExcelExport {
public:
    // The worksheet's name; Excel allows at most 31 characters and none of []:*?/\ (they are replaced).
    std::string SheetName = "Sheet1";

    void ExportTable(const TExcelTable& table, const std::filesystem::path& file) const;
    // The visible fields of the dataset's view (its filter, range, master link and order), with their
    // display labels as titles. Currency and BCD fields are money; date-time fields dates. The cursor
    // is back on its row afterwards.
    void ExportDataSet(TClientDataSet& dataSet, const std::filesystem::path& file) const;

    // The table ExportDataSet writes.
    static TExcelTable TableOf(TClientDataSet& dataSet);
};

} // namespace kav
