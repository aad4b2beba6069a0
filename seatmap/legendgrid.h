#pragma once
// TKavLegendGrid: one of the seat map's legends, a small table painted by itself: fixed column
// widths, rows 17 pixels high one pixel apart, no scroll bars, texts in "Arial Narrow" on the map's
// background; a text padded with blanks on the left is a number and is drawn at the cell's right.
// A cell holds a text, or a seat sample painted the way the map paints a seat (DrawCell in work state
// "S"), in a square at its left with the text beside it in "宋体".
//
// The configuration given must outlive the grid. GUI thread only.

#include <QWidget>
#include <optional>
#include <string>
#include <vector>

namespace kav {

class TKavSeatMapConfig;

// What a legend sample shows: the flags and codes DrawCell takes, and the text inside the sample.
struct TKavLegendSample {
    bool Selected = false;
    bool ShowMarks = false;
    bool PlainShapes = false;
    std::string PriceLevel;
    std::string Status = "F";
    std::string Kind = "N";
    std::string Text;
};

class TKavLegendGrid : public QWidget {
    Q_OBJECT

public:
    static constexpr int RowHeight = 17;
    static constexpr int RowPitch = RowHeight + 1;

    TKavLegendGrid(TKavSeatMapConfig& config, std::vector<int> columnWidths, QWidget* parent = nullptr);

    void SetConfig(TKavSeatMapConfig& config);
    // Empties every cell.
    void SetRowCount(int rows);
    int RowCount() const { return rows_; }
    int ColCount() const { return static_cast<int>(widths_.size()); }

    // Cells outside the grid are ignored (set) or empty (read).
    void SetText(int row, int col, std::string text);
    std::string Text(int row, int col) const;
    void SetSample(int row, int col, TKavLegendSample sample);
    std::optional<TKavLegendSample> Sample(int row, int col) const;

    // Rows times their pitch, as wide as the columns (or as the widget when it is set wider).
    QSize sizeHint() const override;
    QRect CellRect(int row, int col) const;

signals:
    // A row was clicked with the left button (rows count from 0, the header included).
    void RowClicked(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Cell {
        std::string text;
        std::optional<TKavLegendSample> sample;
    };
    Cell* At(int row, int col);
    const Cell* At(int row, int col) const;

    TKavSeatMapConfig* config_;
    std::vector<int> widths_;
    int rows_ = 0;
    std::vector<Cell> cells_;
};

} // namespace kav
