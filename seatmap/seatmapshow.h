#pragma once
// TKavSeatMapShow: one section of a venue as a grid of seat cells, with the stage box, optional row
// numbers, a design grid with 5/10 guide lines, selection by click or rubber-band drag, and a popup menu
// that zooms. The control owns the cell array but does not load it; whoever fills the cells listens to
// the signals.
//
// Keyboard: the arrow keys move a focus cell (outside design view from seat to seat, over empty places),
// Space toggles it, Shift with an arrow moves and selects the cell moved to. Each key selection raises
// the same signals as the mouse. The focus cell is drawn with a dotted frame while the control has the
// focus, and described in the control's accessible description (by default floor, row, seat and price
// level; SetCellDescriber gives a fuller text).
//
// Each cell is painted as DrawCell of the seat map configuration paints it (through a cache of painted
// cells). The control reads the process's
// configuration (_SeatMapConfig) when it is created, so a bad "SEATMAP.CFG" raises EKavSeatMapConfig
// from the constructor; SetConfig substitutes another configuration, which must outlive the control.
//
// Threading: GUI thread only.

#include "seatmap/cellsprites.h"
#include "seatmap/kavcolor.h"
#include "seatmap/seatgrid.h"

#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QMenu;

namespace kav {

class TKavSeatMapConfig;

class TKavSeatMapShow : public QWidget {
    Q_OBJECT

public:
    static constexpr TColor MapBackground = 0x00DEEBEF;
    static constexpr TColor StageColor = clMaroon;

    explicit TKavSeatMapShow(QWidget* parent = nullptr);
    ~TKavSeatMapShow() override;

    TKavSeatMapConfig& Config() const { return *config_; }
    void SetConfig(TKavSeatMapConfig& config);

    // Grid size: RowCount 1..100 (default 40), ColCount 1..150 (default 60), ColWidth 10..50 (default 10);
    // out-of-range values are ignored. RowHeight is always MulDiv(ColWidth, 6, 5).
    int RowCount() const { return grid_.RowCount(); }
    void SetRowCount(int value);
    int ColCount() const { return grid_.ColCount(); }
    void SetColCount(int value);
    int ColWidth() const { return grid_.ColWidth(); }
    void SetColWidth(int value);
    int RowHeight() const { return grid_.RowHeight(); }

    // AutoZoom (default on): the cell size follows the control size. AutoSize (default off): the control
    // size follows the grid. Turning one on turns the other off.
    bool AutoZoom() const { return autoZoom_; }
    void SetAutoZoom(bool value);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);

    // Design view: every cell but locked ones can be selected, the design grid is drawn. Leaving it also
    // turns ShowIndicator off.
    bool InDesign() const { return grid_.InDesign(); }
    void SetInDesign(bool value);
    bool ShowIndicator() const { return showIndicator_; }
    void SetShowIndicator(bool value);
    // Where the stage is: 0 left, 1 right, 2 centre (default).
    int IndicatorLocation() const { return indicatorLocation_; }
    void SetIndicatorLocation(int value);
    TColor GridColor() const { return gridColor_; }
    void SetGridColor(TColor value);
    TColor Line5Color() const { return line5Color_; }
    void SetLine5Color(TColor value);
    TColor Line10Color() const { return line10Color_; }
    void SetLine10Color(TColor value);
    bool ShowRowNo() const { return showRowNo_; }
    void SetShowRowNo(bool value);

    // "1" shows seat numbers on seats and row numbers at the row ends; also stored in the configuration.
    const std::string& ShowSeatNo() const { return showSeatNo_; }
    void SetShowSeatNo(const std::string& value);
    const std::string& WorkState() const { return workState_; }
    void SetWorkState(const std::string& value);
    // A stage the section places itself, in cells (x: left margin, y: top margin, width: length,
    // height: width), drawn instead of the standard stage box; none for the standard box.
    const std::optional<QRect>& CustomStage() const { return customStage_; }
    void SetCustomStage(std::optional<QRect> cells);
    const std::string& SectionName() const { return sectionName_; }
    void SetSectionName(const std::string& value);
    // The seat data's "IsEntrepreneur" value: "Y" or "P" switch seat marks on, "P" with plain shapes.
    const std::string& EntrepreneurFlag() const { return entrepreneurFlag_; }
    void SetEntrepreneurFlag(const std::string& value);

    // Counted from the cells, whoever changed them.
    int SelectedCellCount() const { return grid_.SelectedCellCount(); }
    // The selected cells, row by row, left to right.
    std::vector<TKavCellPos> SelectedCells() const { return grid_.SelectedCells(); }
    // The last cell selected in design view; it may have been unselected since.
    int Row() const { return grid_.Row(); }
    int Col() const { return grid_.Col(); }

    // The keyboard's focus cell ({0, 0} for none) and the text that describes a cell to assistive
    // technology. Setting the focus cell outside the grid does nothing.
    TKavCellPos FocusCell() const { return grid_.FocusCell(); }
    void SetFocusCell(int row, int col);
    using TCellDescriber = std::function<QString(int row, int col)>;
    // Null restores the default description.
    void SetCellDescriber(TCellDescriber describer);
    QString DescribeCell(int row, int col) const;

    // The cell array, 1-based, MaxRowCount x MaxColCount whatever the grid size; outside it Cells raises
    // std::out_of_range. Call RePaintCells after changing cells.
    TKavCellInfo& Cells(int row, int col) { return grid_.Cell(row, col); }
    const TKavCellInfo& Cells(int row, int col) const { return grid_.Cell(row, col); }
    const TKavSeatGrid& Grid() const { return grid_; }
    // The cells and selection, for loading them; the grid's size goes through the setters above.
    TKavSeatGrid& CellGrid() { return grid_; }

    // Cell (row, col) in client coordinates.
    QRect CellRect(int row, int col) const;
    // The stage box and the section caption beside it, in client coordinates.
    QRect ArenaRect() const;
    // The stage box alone, in client coordinates.
    QRect StageRect() const { return StageBox().translated(contentsRect().topLeft()); }

    void ClearSelection();
    void RePaintCells();
    void CheckSize();
    void DoIncSeatMap();
    void DoDecSeatMap();
    void DoRestoreSeatMap();
    // Applies a click (both points equal) or a drag between two points in client coordinates.
    void SelectCellInRect(int X1, int Y1, int X2, int Y2);

    QMenu* PopupMenu() const { return popupMenu_; }
    QSize sizeHint() const override;

signals:
    void OnMouseOverCell(int ACol, int ARow);
    // Each cell the user toggles outside design view.
    void OnSelectACell(int ACol, int ARow, bool Selected);
    // After a click or drag has been applied, with the clamped rectangle.
    void OnSelectCells(int ACol1, int ACol2, int ARow1, int ARow2);
    void OnSelectionChange();
    // The keyboard's focus cell moved.
    void OnFocusCell(int ACol, int ARow);

protected:
    virtual void DoSelectionChange();
    virtual void DoMouseOverCell(int X, int Y);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QPoint Origin() const { return contentsRect().topLeft(); }
    void InnerDrawCell(QPainter& painter, int row, int col) const;
    void DrawCells(QPainter& painter, const QRegion& region) const;
    void DrawGrid(QPainter& painter) const;
    void DawIndicatorLocation(QPainter& painter) const;
    void DrawRows(QPainter& painter) const;
    void DrawArena(QPainter& painter) const;
    void DrawRubberBand(QPainter& painter) const;
    QRect StageBox() const;
    QRect SectionCaptionRect() const;
    QString SectionCaption() const;
    QRegion RubberBandRegion() const;
    void ResizeTo(int width, int height);
    void DrawFocusCell(QPainter& painter) const;
    // Applies a click on the cell, as the mouse would.
    void ClickCell(int row, int col);
    void FocusMoved(TKavCellPos previous);
    void AnnounceFocusCell();

    TKavSeatGrid grid_;
    mutable TKavCellSprites sprites_;
    TKavSeatMapConfig* config_;
    QMenu* popupMenu_;
    bool autoZoom_ = true;
    bool autoSize_ = false;
    bool showIndicator_ = false;
    int indicatorLocation_ = 2;
    TColor gridColor_ = clGray;
    TColor line5Color_ = clGreen;
    TColor line10Color_ = clMaroon;
    bool showRowNo_ = false;
    std::string showSeatNo_;
    std::string workState_ = "S";
    std::string sectionName_;
    std::optional<QRect> customStage_;
    std::string entrepreneurFlag_;
    bool dragging_ = false;
    QPoint dragStart_;
    QPoint dragCurrent_;
    TCellDescriber describer_;
};

} // namespace kav
