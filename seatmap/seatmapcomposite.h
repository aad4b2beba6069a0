#pragma once
// TKavSeatMapCompositeShow: the seat map the screens place on their forms. It binds a seat map
// control (TKavSeatMapShow) to six datasets the screen fills and keeps, loads one section's seats into
// the cells, shows the legends (price levels with the selected seats' count and amount, totals,
// selected and sold samples, sales statuses, seat kinds), a floating panel about the seat under the
// mouse, and keeps the count of selected seats per price level. It hands the selection back by
// marking the seat rows (GatherSelectedSeat) and, in design view, writes the edited cells back into
// the seat rows (GatherSeatInformation). It never talks to a server.
//
// Design view is a drawing board: ShowEditor, MoveSelectedCells, CopySelectedCells and
// DeleteSelectedCells ask for what to do in their dialogs and change the cells only; a click on a
// row of the price or kind legend gives the selected seats that level or kind. Every such command can
// be undone and redone until the screen clears the history (ClearHistory; UpdateSeat clears it too).
// Seats the user deleted leave the seat rows at the next GatherSeatInformation, so a failed gather
// never loses a deletion.
//
// The sources, each optional until an operation needs it:
//   section  CNAME, CELLROWS, CELLCOLUMNS, STYLE (stage: 0 left, 1 right, 2 centre) of the current row
//   floor    FLOORNO, NAME          row  ROWNO, NAME (searched after the floor, so a row dataset nested
//                                         in the floor dataset is searched within the seat's floor)
//   seat     X, Y, SEATCODE and the seat fields of seatbinding.h; SELECTED; IsEntrepreneur ("Y" shows
//            statuses and kinds, "P" kind colours and flags on plain shapes)
//   price    PRICELEVEL, PRICE, PRICEMARK, TOTALSEATS (written: the selected seats of the level)
//   remark   SeatCode, reservelog
// The datasets are not owned; each must outlive the composite or be unset first. Pointers into a
// dataset's nested tables (the floors of a section, the rows of a floor) become invalid when the outer
// dataset is reloaded: set them again afterwards.
//
// Calling UpdateSeat or GatherSelectedSeat without an open seat dataset, or UpdateSection without an
// open section dataset, is a bug of the screen and raises std::logic_error; data errors of the
// datasets raise EDatabaseError.
//
// Threading: GUI thread only.

#include "seatmap/seatbinding.h"
#include "seatmap/seatedithistory.h"
#include "seatmap/seatediting.h"
#include "seatmap/seatmapshow.h"

#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <string>

class QLabel;
class QScrollArea;

namespace kav {

class TClientDataSet;
class TKavLegendGrid;
class TKavSeatInfoPanel;

class TKavSeatMapCompositeShow : public QWidget {
    Q_OBJECT

public:
    static constexpr int SidePanelWidth = 130;

    explicit TKavSeatMapCompositeShow(QWidget* parent = nullptr);
    ~TKavSeatMapCompositeShow() override;

    TKavSeatMapShow& Map() const { return *map_; }
    // Paints with `config` instead of the process's configuration; it must outlive the composite.
    void SetConfig(TKavSeatMapConfig& config);

    TClientDataSet* SectionSource() const { return section_; }
    void SetSectionSource(TClientDataSet* dataSet) { section_ = dataSet; }
    TClientDataSet* FloorSource() const { return floor_; }
    void SetFloorSource(TClientDataSet* dataSet) { floor_ = dataSet; }
    TClientDataSet* RowSource() const { return row_; }
    void SetRowSource(TClientDataSet* dataSet) { row_ = dataSet; }
    TClientDataSet* SeatSource() const { return seat_; }
    void SetSeatSource(TClientDataSet* dataSet) { seat_ = dataSet; }
    TClientDataSet* PriceSource() const { return price_; }
    void SetPriceSource(TClientDataSet* dataSet) { price_ = dataSet; }
    TClientDataSet* RemarkSource() const { return remark_; }
    // A remark source adds the remark line to the information panel.
    void SetRemarkSource(TClientDataSet* dataSet);

    // Which seats may be picked: a filter expression over the seat rows (empty: every seat). Takes
    // effect at the next UpdateSeat.
    const std::string& Filter() const { return filter_; }
    void SetFilter(const std::string& filter) { filter_ = filter; }
    const std::string& WorkState() const { return Map().WorkState(); }
    void SetWorkState(const std::string& state) { Map().SetWorkState(state); }
    void SetShowSeatNo(const std::string& value) { Map().SetShowSeatNo(value); }
    bool ShowRowNumber() const { return Map().ShowRowNo(); }
    void SetShowRowNumber(bool value) { Map().SetShowRowNo(value); }
    bool InDesign() const { return Map().InDesign(); }
    // Also switches the design view's guide lines.
    void SetInDesign(bool value);
    void SetPrompt(const std::string& text);

    // The section's grid size and stage position from the current section row; clears the selection.
    void UpdateSection();
    // Loads the seats of the seat dataset into the cells, arranges the legends and repaints.
    void UpdateSeat();
    // Seat rows the last UpdateSeat could not place because their cell lies outside the grid.
    int SkippedSeatCount() const { return skipped_; }

    void ClearSelection();
    int SelectedCellCount() const { return Map().SelectedCellCount(); }
    int GetSelectedCellCount() const { return SelectedCellCount(); }
    // Selected seats of a price level letter "A".."N" (0 for any other text).
    int GetSelectNumByPriceLevel(const std::string& level) const;
    // The priced levels of the price legend, one letter each, in the price data's order.
    const std::string& PriceList() const { return priceList_; }
    int TotalCount() const { return totalCount_; }
    std::int64_t TotalCents() const { return totalCents_; }

    // The seat rows' SELECTED: "Y" for the selected seats, "N" for the others.
    void GatherSelectedSeat();
    // Design view: writes every cell of the grid back into the seat rows (seatbinding.h), with the
    // hourglass cursor. `onNewRecord` fills the screen's own fields of a new seat row.
    void GatherSeatInformation();
    void SetOnNewSeatRecord(std::function<void(TClientDataSet&)> onNewRecord) {
        onNewSeatRecord_ = std::move(onNewRecord);
    }

    void IncSeatMap() { Map().DoIncSeatMap(); }
    void DecSeatMap() { Map().DoDecSeatMap(); }

    // Every selected cell that holds a seat gets the first letter of the argument (nothing for an
    // empty argument) as its price level or kind, or becomes locked; then the selection is cleared.
    // Level and kind changes are design commands (undoable).
    void SetPriceLevel(const std::string& level);
    void SetCellKind(const std::string& kind);
    void LockSelectedCells();
    // All selected seats lie on one floor (true without a selection).
    bool IsSelectSameFloor() const;
    // Another cell than (exceptCol, exceptRow) holds a seat with these floor, row and seat numbers and
    // addition flag; the description is not compared. The first form leaves out the map's current cell.
    bool IsConflict(int floor, int row, const std::string& description, bool addition, int seat) const;
    bool IsConflict(int floor, int row, const std::string& description, bool addition, int seat,
                    int exceptCol, int exceptRow) const;
    // (col, row) lies in the grid and holds no seat.
    bool CanBeReplace(int col, int row) const;
    // Empties the cell (and forgets its seat code when `forgetSeat`); false outside the grid.
    bool ClearACell(int col, int row, bool forgetSeat);
    // The cell operations of the design commands (seatediting.h).
    bool CopyACell(int col, int row, int newCol, int newRow);
    bool MoveACell(int col, int row, int newCol, int newRow);

    // ---- design commands with their dialogs and messages
    // Edits the one selected cell in the seat editor; a seat another cell already has is refused
    // with a warning and nothing changes.
    void ShowEditor();
    void MoveSelectedCells();
    void CopySelectedCells();
    // Asks for confirmation; locked seats stay.
    void DeleteSelectedCells();
    // ---- the same without dialogs: each returns what it changed and clears the selection
    bool EditSelectedSeat(const TKavSeatIdentity& identity);
    int MoveSelectedCells(const TKavSeatMove& move);
    int CopySelectedCells(const TKavSeatCopy& copy);
    int DeleteSelectedSeats();
    // What the seat editor's lists offer: the section, its floors and each floor's rows.
    TKavSeatEditorChoices EditorChoices();
    // The row's name in the floor and row data; empty when it has none.
    std::string RowNameOf(int floor, int row);
    // Seats deleted in design view and not gathered away yet.
    const TKavSeatCodes& PendingDeletions() const { return deletions_; }

    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    void Undo();
    void Redo();
    void ClearHistory() { history_.Clear(); }

    // The information panel's look-up for a cell of the map, as the mouse triggers it; the panel shows
    // beside the cell while it holds a seat.
    void ShowSeatInformation(int col, int row);
    // The text read to assistive technology for a cell: floor, row and seat names, level and price.
    QString DescribeCell(int row, int col);

    TKavSeatInfoPanel& InfoPanel() const { return *infoPanel_; }
    TKavLegendGrid& PriceLegend() const { return *priceLegend_; }
    TKavLegendGrid& TotalLegend() const { return *totalLegend_; }
    TKavLegendGrid& CommonLegend() const { return *commonLegend_; }
    TKavLegendGrid& StatusLegend() const { return *statusLegend_; }
    TKavLegendGrid& KindLegend() const { return *kindLegend_; }
    QWidget& SidePanel() const { return *sidePanel_; }
    const QLabel& PromptLabel() const { return *prompt_; }
    const QLabel& CoordinateLabel() const { return *coordinate_; }

signals:
    // The selection changed and the counts, the price data's TOTALSEATS and the legends follow it.
    void OnSelectionChange();
    // A design command, undo or redo changed the cells.
    void OnLayoutChange();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLegends();
    void ArrangeLegend(bool full);
    void FillPriceLegend();
    void SelectionChanged();
    void CountSelection();
    void WriteTotalSeats();
    void CalculateTotalPrice();
    void LayOut();
    // Applies `change` to every selected cell that holds a seat, then clears the selection.
    void ChangeSelectedSeats(const std::function<void(TKavCellInfo&)>& change);
    // Runs a design command on the cells as one undoable step, then clears the selection.
    template <class Command> auto DesignCommand(Command&& command) -> decltype(command());
    void LegendRowClicked(TKavLegendGrid* legend, int row);
    void ToggleSidePanel();
    // Names of the cell's section, floor and row, looked up once per load.
    void CacheNames(TKavCellInfo& cell);
    void PlaceInfoPanel(const QRect& cellInMap);
    std::string PriceTextOf(char level, std::string* mark);

    TClientDataSet* section_ = nullptr;
    TClientDataSet* floor_ = nullptr;
    TClientDataSet* row_ = nullptr;
    TClientDataSet* seat_ = nullptr;
    TClientDataSet* price_ = nullptr;
    TClientDataSet* remark_ = nullptr;
    std::string filter_;
    std::function<void(TClientDataSet&)> onNewSeatRecord_;
    TKavSeatCodes deletions_;
    TKavSeatEditHistory history_;

    std::string priceList_;
    std::array<int, 'N' - 'A' + 1> selectNum_{};
    int totalCount_ = 0;
    std::int64_t totalCents_ = 0;
    int skipped_ = 0;

    TKavSeatMapShow* map_;
    QScrollArea* scrollBox_;
    QWidget* sidePanel_;
    QLabel* line_;
    TKavLegendGrid* priceLegend_;
    TKavLegendGrid* totalLegend_;
    TKavLegendGrid* commonLegend_;
    TKavLegendGrid* statusLegend_;
    TKavLegendGrid* kindLegend_;
    QLabel* prompt_;
    QLabel* coordinate_;
    TKavSeatInfoPanel* infoPanel_;
};

} // namespace kav
