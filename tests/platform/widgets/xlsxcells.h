#pragma once
// Reads back the cells of an .xlsx file the way a user's spreadsheet program sees them, for the tests
// of everything that exports to Excel: the first worksheet's cells with their shared or inline strings
// resolved and the number format each cell shows with. The file is unpacked with the unzip program.

#include <QString>
#include <map>
#include <utility>

namespace kav::test {

struct XlsxCell {
    QString text;         // the string, or the stored number as written ("12.5")
    bool number = false;  // a numeric cell (dates are numbers with a date format)
    bool boolean = false; // a Boolean cell ("1" or "0")
    QString format;       // the number format code ("0.00", "yyyy-mm-dd"); empty for General
    bool bold = false;
};

// Cells by (row, column), both counted from 0. Raises std::runtime_error when the file cannot be
// unpacked or read.
std::map<std::pair<int, int>, XlsxCell> ReadXlsxCells(const QString& file);
// The name of the first worksheet.
QString ReadXlsxSheetName(const QString& file);

} // namespace kav::test
