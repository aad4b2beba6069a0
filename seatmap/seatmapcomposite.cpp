#include "seatmap/seatmapcomposite.h"

#include "dialogs/kavdialog.h"
#include "platform/core/money.h"
#include "platform/dataset/clientdataset.h"
#include "platform/dataset/rowreader.h"
#include "platform/widgets/hourglass.h"
#include "seatmap/legendgrid.h"
#include "seatmap/seatinfopanel.h"
#include "seatmap/seatmapconfig.h"
#include "seatmap/uiseatcopyshow.h"
#include "seatmap/uiseateditorshow.h"
#include "seatmap/uiseatmoveshow.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <optional>
#include <stdexcept>
#include <type_traits>

namespace kav {
namespace {

constexpr int kLegendGap = 10;
constexpr int kPlainKindRows = 7; // kinds shown when the seat data asks for plain shapes ("P")

void Require(const TClientDataSet* dataSet, const char* what) {
    if (!dataSet || !dataSet->Active())
        throw std::logic_error(std::string("KavSeatMapShow: ") + what + " needs an open dataset");
}

bool IsOpen(const TClientDataSet* dataSet) {
    return dataSet && dataSet->Active();
}

// The seats of a price level are counted for letters "A" to "N"; "L" marks map-only seats and has
// no TOTALSEATS of its own.
bool CountedLevel(char letter) {
    return letter >= 'A' && letter <= 'N';
}

std::string PadLeft(std::string text, std::size_t width) {
    if (text.size() < width) text.insert(0, width - text.size(), ' ');
    return text;
}

// The price level of a price row when it is exactly one letter that takes TOTALSEATS, else 0.
char TotalSeatsLevel(const std::string& level) {
    return level.size() == 1 && CountedLevel(level[0]) && level[0] != 'L' ? level[0] : '\0';
}

} // namespace

TKavSeatMapCompositeShow::TKavSeatMapCompositeShow(QWidget* parent)
    : QWidget(parent), map_(new TKavSeatMapShow), scrollBox_(new QScrollArea(this)),
      sidePanel_(new QFrame(this)), line_(new QLabel(this)) {
    setObjectName(QStringLiteral("SeatMapComposite"));
    map_->setObjectName(QStringLiteral("SeatMap"));
    scrollBox_->setObjectName(QStringLiteral("ScrollBox"));
    scrollBox_->setWidget(map_);
    scrollBox_->setFrameShape(QFrame::NoFrame);

    line_->setObjectName(QStringLiteral("line"));
    line_->setCursor(Qt::PointingHandCursor);
    line_->installEventFilter(this);

    auto* side = static_cast<QFrame*>(sidePanel_);
    side->setObjectName(QStringLiteral("SidePanel"));
    side->setFrameStyle(QFrame::Box | QFrame::Plain);
    side->setAutoFillBackground(true);
    QPalette palette = side->palette();
    palette.setColor(QPalette::Window, ToQColor(clBtnFace));
    side->setPalette(palette);
    BuildLegends();
    prompt_ = new QLabel(sidePanel_);
    prompt_->setObjectName(QStringLiteral("Prompt"));
    prompt_->setWordWrap(true);
    coordinate_ = new QLabel(sidePanel_);
    coordinate_->setObjectName(QStringLiteral("Coordinate"));

    infoPanel_ = new TKavSeatInfoPanel(this);
    infoPanel_->move(150, 0);
    infoPanel_->hide();

    connect(map_, &TKavSeatMapShow::OnMouseOverCell, this, &TKavSeatMapCompositeShow::ShowSeatInformation);
    connect(map_, &TKavSeatMapShow::OnSelectionChange, this, &TKavSeatMapCompositeShow::SelectionChanged);
    connect(map_, &TKavSeatMapShow::OnFocusCell, this, [this](int col, int row) {
        const QRect cell = map_->CellRect(row, col);
        scrollBox_->ensureVisible(cell.center().x(), cell.center().y(), cell.width(), cell.height());
    });
    map_->SetCellDescriber([this](int row, int col) { return DescribeCell(row, col); });
    for (TKavLegendGrid* legend : {priceLegend_, kindLegend_})
        connect(legend, &TKavLegendGrid::RowClicked, this,
                [this, legend](int row) { LegendRowClicked(legend, row); });
    map_->installEventFilter(this);
    resize(800, 600);
}

TKavSeatMapCompositeShow::~TKavSeatMapCompositeShow() = default;

void TKavSeatMapCompositeShow::BuildLegends() {
    TKavSeatMapConfig& config = map_->Config();
    const auto legend = [&](const char* name, std::vector<int> widths) {
        auto* grid = new TKavLegendGrid(config, std::move(widths), sidePanel_);
        grid->setObjectName(QString::fromLatin1(name));
        return grid;
    };
    priceLegend_ = legend("PriceLegend", {24, 22, 26, 46});
    totalLegend_ = legend("TotalLegend", {46, 26, 46});
    commonLegend_ = legend("CommonLegend", {128});
    statusLegend_ = legend("StatusLegend", {130});
    kindLegend_ = legend("KindLegend", {130});
    ArrangeLegend(false);
}

void TKavSeatMapCompositeShow::SetConfig(TKavSeatMapConfig& config) {
    map_->SetConfig(config);
    for (TKavLegendGrid* grid : {priceLegend_, totalLegend_, commonLegend_, statusLegend_, kindLegend_})
        grid->SetConfig(config);
    ArrangeLegend(map_->EntrepreneurFlag() == "Y");
}

void TKavSeatMapCompositeShow::SetRemarkSource(TClientDataSet* dataSet) {
    remark_ = dataSet;
    infoPanel_->SetRemarkShown(dataSet != nullptr);
}

void TKavSeatMapCompositeShow::SetInDesign(bool value) {
    map_->SetInDesign(value);
    map_->SetShowIndicator(value);
    ArrangeLegend(map_->EntrepreneurFlag() == "Y");
}

void TKavSeatMapCompositeShow::SetPrompt(const std::string& text) {
    prompt_->setText(QString::fromStdString(text));
}

void TKavSeatMapCompositeShow::UpdateSection() {
    Require(section_, "UpdateSection");
    map_->SetRowCount(section_->FieldByName("CELLROWS").AsInteger());
    map_->SetColCount(section_->FieldByName("CELLCOLUMNS").AsInteger());
    const std::string style = section_->FieldByName("STYLE").AsString();
    map_->SetIndicatorLocation(style.empty() || style[0] < '0' || style[0] > '9' ? 2 : style[0] - '0');
    LayOut();
    priceList_.clear();
    map_->SetSectionName(section_->FieldByName("CNAME").AsString());
    ClearSelection();
}

void TKavSeatMapCompositeShow::UpdateSeat() {
    Require(seat_, "UpdateSeat");
    const TField* flag = seat_->FindField("IsEntrepreneur");
    const std::string entrepreneur = flag && !seat_->IsEmpty() ? flag->AsString() : std::string();
    const TKavSeatLoadResult result = LoadSeatCells(map_->CellGrid(), *seat_, filter_);
    skipped_ = result.Skipped;
    deletions_.clear();
    history_.Clear();
    map_->SetEntrepreneurFlag(entrepreneur);
    ArrangeLegend(entrepreneur == "Y");
    map_->RePaintCells();
    SelectionChanged();
}

void TKavSeatMapCompositeShow::ClearSelection() {
    selectNum_.fill(0);
    map_->ClearSelection();
}

int TKavSeatMapCompositeShow::GetSelectNumByPriceLevel(const std::string& level) const {
    return level.size() == 1 && CountedLevel(level[0]) ? selectNum_[static_cast<std::size_t>(level[0] - 'A')]
                                                       : 0;
}

// Legends, top to bottom: the price levels with their counts and the totals below them, then 10
// pixels lower the selected and sold samples, the statuses (only with full marks) and the kinds.
void TKavSeatMapCompositeShow::ArrangeLegend(bool full) {
    FillPriceLegend();
    totalLegend_->SetRowCount(1);
    totalLegend_->SetText(0, 0, "总计");

    commonLegend_->SetRowCount(2);
    TKavLegendSample selected;
    selected.Selected = true;
    commonLegend_->SetSample(0, 0, selected);
    commonLegend_->SetText(0, 0, "选定的座位");
    TKavLegendSample sold;
    sold.Status = "O";
    commonLegend_->SetSample(1, 0, sold);
    commonLegend_->SetText(1, 0, map_->WorkState() == "C" ? "已检票" : "已售");

    static const std::pair<const char*, const char*> kStatuses[] = {
        {"B", "预订"}, {"G", "赠票"}, {"A", "打印中"}, {"C", "已检票"}};
    statusLegend_->SetRowCount(4);
    for (int row = 0; row < 4; ++row) {
        TKavLegendSample sample;
        sample.ShowMarks = true;
        sample.Status = kStatuses[row].first;
        statusLegend_->SetSample(row, 0, sample);
        statusLegend_->SetText(row, 0, kStatuses[row].second);
    }

    const bool plain = map_->EntrepreneurFlag() == "P";
    const TKavSeatMapConfig& config = map_->Config();
    const int kinds = plain ? kPlainKindRows : static_cast<int>(TKavSeatMapConfig::KindCodes.size());
    kindLegend_->SetRowCount(kinds);
    for (int row = 0; row < kinds; ++row) {
        TKavLegendSample sample;
        sample.ShowMarks = true;
        sample.PlainShapes = plain;
        sample.PriceLevel = "0";
        sample.Kind = config.GetKindCode(row);
        kindLegend_->SetSample(row, 0, sample);
        kindLegend_->SetText(row, 0, config.GetKindName(row));
    }

    const QRect inside = static_cast<QFrame*>(sidePanel_)->contentsRect();
    int top = inside.top();
    const auto place = [&](TKavLegendGrid* grid, bool visible) {
        grid->setVisible(visible);
        if (!visible) return;
        grid->setGeometry(inside.left(), top, inside.width(), grid->sizeHint().height());
        top += grid->sizeHint().height();
    };
    place(priceLegend_, true);
    top -= 1;
    place(totalLegend_, true);
    top += kLegendGap;
    place(commonLegend_, true);
    place(statusLegend_, full);
    place(kindLegend_, full || plain);
    CalculateTotalPrice();
}

// One row per price level with a positive price, in the price data's order.
void TKavSeatMapCompositeShow::FillPriceLegend() {
    priceList_.clear();
    std::vector<std::pair<char, std::string>> rows;
    if (IsOpen(price_)) {
        TField* level = price_->FindField("PRICELEVEL");
        TField* price = price_->FindField("PRICE");
        if (level && price) {
            TRowReader reader(*price_);
            std::string levelText, priceText;
            for (int row = 0; row < reader.RowCount(); ++row) {
                reader.ReadText(row, level->Index(), levelText);
                reader.ReadText(row, price->Index(), priceText);
                // Design view lists the map-only levels too, so that seats can be given them.
                if (levelText.empty() ||
                    (!InDesign() && (priceText.empty() || reader.ReadFloat(row, price->Index()) <= 0)))
                    continue;
                priceList_.push_back(levelText[0]);
                rows.emplace_back(levelText[0], priceText);
            }
        }
    }
    priceLegend_->SetRowCount(1 + static_cast<int>(rows.size()));
    const char* headers[] = {"等级", "票价", "数量", "金额"};
    for (int col = 0; col < 4; ++col)
        priceLegend_->SetText(0, col, headers[col]);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        TKavLegendSample swatch;
        swatch.ShowMarks = true;
        swatch.PriceLevel = std::string(1, rows[i].first);
        swatch.Text = swatch.PriceLevel;
        priceLegend_->SetSample(row, 0, swatch);
        priceLegend_->SetText(row, 1, "    " + rows[i].second);
    }
}

void TKavSeatMapCompositeShow::SelectionChanged() {
    if (!InDesign()) CountSelection();
    if (IsOpen(price_)) WriteTotalSeats();
    CalculateTotalPrice();
    emit OnSelectionChange();
}

// Counted from the cells themselves, so the counts cannot drift from what is selected.
void TKavSeatMapCompositeShow::CountSelection() {
    selectNum_.fill(0);
    for (const TKavCellPos& pos : map_->SelectedCells()) {
        const TKavCellInfo& cell = map_->Cells(pos.Row, pos.Col);
        if (cell.CellStatus != TKavCellStatus::kavcsNone && CountedLevel(cell.PriceLevel))
            ++selectNum_[static_cast<std::size_t>(cell.PriceLevel - 'A')];
    }
}

void TKavSeatMapCompositeShow::WriteTotalSeats() {
    TField* level = price_->FindField("PRICELEVEL");
    TField* total = price_->FindField("TOTALSEATS");
    if (!level || !total) return;
    const TBookmark current = price_->GetBookmark();
    price_->DisableControls();
    try {
        for (price_->First(); !price_->Eof(); price_->Next()) {
            const char letter = TotalSeatsLevel(level->AsString());
            if (letter == '\0') continue;
            const int count = selectNum_[static_cast<std::size_t>(letter - 'A')];
            if (!total->IsNull() && total->AsInteger() == count) continue;
            price_->Edit();
            total->SetAsInteger(count);
            price_->Post();
        }
    } catch (...) {
        price_->EnableControls();
        throw;
    }
    if (current != 0 && price_->BookmarkValid(current)) price_->GotoBookmark(current);
    price_->EnableControls();
}

// Count and amount of each priced level into its legend row (the row of its letter in PriceList),
// and the totals. Amounts are whole cents: a price of 84.50 for three seats is 253.50.
void TKavSeatMapCompositeShow::CalculateTotalPrice() {
    totalCount_ = 0;
    totalCents_ = 0;
    if (IsOpen(price_) && price_->FindField("PRICELEVEL") && price_->FindField("PRICE")) {
        const int level = price_->FieldByName("PRICELEVEL").Index();
        const int price = price_->FieldByName("PRICE").Index();
        TRowReader reader(*price_);
        std::string levelText;
        for (int row = 0; row < reader.RowCount(); ++row) {
            reader.ReadText(row, level, levelText);
            const char letter = TotalSeatsLevel(levelText);
            const int count = letter == '\0' ? 0 : selectNum_[static_cast<std::size_t>(letter - 'A')];
            const std::int64_t cents = count * Cents(reader.ReadFloat(row, price));
            totalCount_ += count;
            totalCents_ += cents;
            const std::size_t at = levelText.size() == 1 ? priceList_.find(levelText[0]) : std::string::npos;
            if (at == std::string::npos) continue;
            priceLegend_->SetText(static_cast<int>(at) + 1, 2, PadLeft(std::to_string(count), 6));
            priceLegend_->SetText(static_cast<int>(at) + 1, 3, PadLeft(ShortMoneyText(cents), 15));
        }
    }
    totalLegend_->SetText(0, 1, PadLeft(std::to_string(totalCount_), 6));
    totalLegend_->SetText(0, 2, PadLeft(ShortMoneyText(totalCents_), 15));
}

void TKavSeatMapCompositeShow::GatherSelectedSeat() {
    Require(seat_, "GatherSelectedSeat");
    GatherSelectedSeats(map_->Grid(), *seat_);
}

void TKavSeatMapCompositeShow::GatherSeatInformation() {
    Require(seat_, "GatherSeatInformation");
    THourglass hourglass;
    GatherSeatCells(map_->CellGrid(), *seat_, onNewSeatRecord_, deletions_);
}

void TKavSeatMapCompositeShow::ChangeSelectedSeats(const std::function<void(TKavCellInfo&)>& change) {
    for (const TKavCellPos& pos : map_->SelectedCells())
        if (TKavCellInfo& cell = map_->Cells(pos.Row, pos.Col); cell.CellStatus != TKavCellStatus::kavcsNone)
            change(cell);
    ClearSelection();
}

void TKavSeatMapCompositeShow::SetPriceLevel(const std::string& level) {
    DesignCommand([&] {
        ChangeSelectedSeats([&](TKavCellInfo& cell) {
            if (!level.empty()) cell.PriceLevel = level[0];
        });
    });
}

void TKavSeatMapCompositeShow::SetCellKind(const std::string& kind) {
    DesignCommand([&] {
        ChangeSelectedSeats([&](TKavCellInfo& cell) {
            if (!kind.empty()) cell.Kind = kind[0];
        });
    });
}

void TKavSeatMapCompositeShow::LockSelectedCells() {
    ChangeSelectedSeats([](TKavCellInfo& cell) { cell.CellStatus = TKavCellStatus::kavcsLocked; });
}

bool TKavSeatMapCompositeShow::IsSelectSameFloor() const {
    std::optional<std::int16_t> floor;
    for (const TKavCellPos& pos : map_->SelectedCells()) {
        const TKavCellInfo& cell = map_->Cells(pos.Row, pos.Col);
        if (cell.CellStatus == TKavCellStatus::kavcsNone) continue;
        if (floor && *floor != cell.FloorNo) return false;
        floor = cell.FloorNo;
    }
    return true;
}

bool TKavSeatMapCompositeShow::IsConflict(int floor, int row, const std::string& description, bool addition,
                                          int seat) const {
    return IsConflict(floor, row, description, addition, seat, map_->Col(), map_->Row());
}

bool TKavSeatMapCompositeShow::IsConflict(int floor, int row, const std::string&, bool addition, int seat,
                                          int exceptCol, int exceptRow) const {
    return IsSeatConflict(map_->Grid(), floor, row, addition, seat, {exceptRow, exceptCol});
}

bool TKavSeatMapCompositeShow::CanBeReplace(int col, int row) const {
    return kav::CanBeReplace(map_->Grid(), col, row);
}

bool TKavSeatMapCompositeShow::ClearACell(int col, int row, bool forgetSeat) {
    if (!kav::ClearACell(map_->CellGrid(), col, row, forgetSeat)) return false;
    map_->update(map_->CellRect(row, col));
    return true;
}

bool TKavSeatMapCompositeShow::CopyACell(int col, int row, int newCol, int newRow) {
    if (!kav::CopyACell(map_->CellGrid(), col, row, newCol, newRow)) return false;
    map_->update(map_->CellRect(newRow, newCol));
    return true;
}

bool TKavSeatMapCompositeShow::MoveACell(int col, int row, int newCol, int newRow) {
    if (!kav::MoveACell(map_->CellGrid(), col, row, newCol, newRow)) return false;
    map_->update(map_->CellRect(row, col));
    map_->update(map_->CellRect(newRow, newCol));
    return true;
}

template <class Command>
auto TKavSeatMapCompositeShow::DesignCommand(Command&& command) -> decltype(command()) {
    history_.Begin(map_->Grid(), deletions_);
    const auto finish = [this] {
        const bool changed = history_.Commit(map_->Grid(), deletions_);
        ClearSelection();
        if (changed) emit OnLayoutChange();
    };
    if constexpr (std::is_void_v<decltype(command())>) {
        command();
        finish();
    } else {
        auto result = command();
        finish();
        return result;
    }
}

bool TKavSeatMapCompositeShow::EditSelectedSeat(const TKavSeatIdentity& identity) {
    const std::vector<TKavCellPos> selected = map_->SelectedCells();
    if (selected.size() != 1) return false;
    const TKavCellPos pos = selected.front();
    if (IsSeatConflict(map_->Grid(), identity.FloorNo, identity.RowNo, identity.IsAddition, identity.SeatNo,
                       pos))
        return false;
    return DesignCommand([&] { return EditSeat(map_->CellGrid(), pos, identity); });
}

int TKavSeatMapCompositeShow::MoveSelectedCells(const TKavSeatMove& move) {
    return DesignCommand([&] { return kav::MoveSelectedCells(map_->CellGrid(), move); });
}

int TKavSeatMapCompositeShow::CopySelectedCells(const TKavSeatCopy& copy) {
    return DesignCommand([&] {
        return kav::CopySelectedCells(map_->CellGrid(), copy,
                                      [this](int floor, int row) { return RowNameOf(floor, row); });
    });
}

int TKavSeatMapCompositeShow::DeleteSelectedSeats() {
    return DesignCommand([&] {
        int emptied = 0;
        for (const TKavCellPos& pos : map_->SelectedCells()) {
            const TKavCellInfo& cell = map_->Cells(pos.Row, pos.Col);
            emptied += HoldsSeat(cell) && cell.CellStatus != TKavCellStatus::kavcsLocked ? 1 : 0;
        }
        for (std::int32_t code : kav::DeleteSelectedCells(map_->CellGrid()))
            deletions_.insert(code);
        return emptied;
    });
}

void TKavSeatMapCompositeShow::ShowEditor() {
    const std::vector<TKavCellPos> selected = map_->SelectedCells();
    if (selected.size() != 1) {
        ShowPromptMessage("请仅选择一个单元格!!!", "操作提示");
        return;
    }
    const TKavCellInfo& cell = map_->Cells(selected.front().Row, selected.front().Col);
    TKavSeatIdentity seat;
    seat.FloorNo = cell.FloorNo;
    seat.RowNo = cell.RowNo;
    seat.SeatNo = cell.SeatNo;
    seat.IsAddition = cell.IsAddition;
    seat.Description = cell.Description;
    const std::string sectionCode = IsOpen(section_) && section_->FindField("SECTIONCODE")
                                        ? section_->FieldByName("SECTIONCODE").AsString()
                                        : "";
    const auto identity = TUISeatEditorShow::Ask(this, EditorChoices(), sectionCode, seat, !HoldsSeat(cell));
    if (identity && !EditSelectedSeat(*identity)) ShowWarningMessage("该座位已经存在!!", "警告");
}

void TKavSeatMapCompositeShow::MoveSelectedCells() {
    if (SelectedCellCount() == 0) {
        ShowPromptMessage("请先选择单元格", "操作提示");
        return;
    }
    if (const auto move = TUISeatMoveShow::Ask(this)) MoveSelectedCells(*move);
}

void TKavSeatMapCompositeShow::CopySelectedCells() {
    if (SelectedCellCount() == 0) {
        ShowPromptMessage("请先选择单元格", "操作提示");
        return;
    }
    if (const auto copy = TUISeatCopyShow::Ask(this)) CopySelectedCells(*copy);
}

void TKavSeatMapCompositeShow::DeleteSelectedCells() {
    if (SelectedCellCount() == 0) {
        ShowPromptMessage("请先选择座位!", "操作提示");
        return;
    }
    if (ShowConfirmMessage("您确实要删除选中的座位吗?", "请确认") == 6) DeleteSelectedSeats();
}

void TKavSeatMapCompositeShow::Undo() {
    if (!history_.Undo(map_->CellGrid(), deletions_)) return;
    map_->RePaintCells();
    SelectionChanged();
    emit OnLayoutChange();
}

void TKavSeatMapCompositeShow::Redo() {
    if (!history_.Redo(map_->CellGrid(), deletions_)) return;
    map_->RePaintCells();
    SelectionChanged();
    emit OnLayoutChange();
}

TKavSeatEditorChoices TKavSeatMapCompositeShow::EditorChoices() {
    TKavSeatEditorChoices choices;
    if (IsOpen(section_) && section_->FindField("SECTIONCODE") && section_->FindField("CNAME")) {
        TRowReader reader(*section_);
        const int code = section_->FieldByName("SECTIONCODE").Index(),
                  name = section_->FieldByName("CNAME").Index();
        std::string codeText, nameText;
        for (int row = 0; row < reader.RowCount(); ++row) {
            reader.ReadText(row, code, codeText);
            reader.ReadText(row, name, nameText);
            choices.Sections.emplace_back(codeText, nameText);
        }
    }
    if (!IsOpen(floor_)) return choices;
    const TBookmark floorMark = floor_->GetBookmark();
    floor_->DisableControls();
    for (floor_->First(); !floor_->Eof(); floor_->Next()) {
        TKavSeatEditorChoices::Floor floor;
        floor.FloorNo = floor_->FieldByName("FLOORNO").AsInteger();
        floor.Name = floor_->FieldByName("NAME").AsString();
        if (IsOpen(row_)) {
            TRowReader rows(*row_);
            const int number = row_->FieldByName("ROWNO").Index(), name = row_->FieldByName("NAME").Index();
            std::string nameText;
            for (int row = 0; row < rows.RowCount(); ++row) {
                rows.ReadText(row, name, nameText);
                floor.Rows.emplace_back(rows.ReadInteger(row, number), nameText);
            }
        }
        choices.Floors.push_back(std::move(floor));
    }
    if (floorMark != 0 && floor_->BookmarkValid(floorMark)) floor_->GotoBookmark(floorMark);
    floor_->EnableControls();
    return choices;
}

std::string TKavSeatMapCompositeShow::RowNameOf(int floor, int row) {
    if (!IsOpen(floor_) || !IsOpen(row_)) return {};
    const TBookmark floorMark = floor_->GetBookmark();
    floor_->DisableControls();
    row_->DisableControls();
    std::string name;
    if (floor_->Locate("FLOORNO", {std::int64_t{floor}}) && row_->Locate("ROWNO", {std::int64_t{row}}))
        name = row_->FieldByName("NAME").AsString();
    if (floorMark != 0 && floor_->BookmarkValid(floorMark)) floor_->GotoBookmark(floorMark);
    row_->EnableControls();
    floor_->EnableControls();
    return name;
}

void TKavSeatMapCompositeShow::LegendRowClicked(TKavLegendGrid* legend, int row) {
    if (!InDesign() || row < 0) return;
    if (legend == priceLegend_ && row >= 1 && row <= static_cast<int>(priceList_.size()))
        SetPriceLevel(std::string(1, priceList_[static_cast<std::size_t>(row - 1)]));
    else if (legend == kindLegend_ && row < static_cast<int>(TKavSeatMapConfig::KindCodes.size()))
        SetCellKind(map_->Config().GetKindCode(row));
}

void TKavSeatMapCompositeShow::CacheNames(TKavCellInfo& cell) {
    if (!cell.RowName.empty() || !IsOpen(section_) || !IsOpen(floor_) || !IsOpen(row_)) return;
    section_->DisableControls();
    floor_->DisableControls();
    row_->DisableControls();
    cell.SectionName = section_->FieldByName("CNAME").AsString();
    if (floor_->Locate("FLOORNO", {std::int64_t{cell.FloorNo}}))
        cell.FloorName = floor_->FieldByName("NAME").AsString();
    if (row_->Locate("ROWNO", {std::int64_t{cell.RowNo}}))
        cell.RowName = row_->FieldByName("NAME").AsString();
    row_->EnableControls();
    floor_->EnableControls();
    section_->EnableControls();
}

// "A 级 (680元)" with the level's mark, or "A 级" when the price data has no price for the level. The
// price data is left on its first row.
std::string TKavSeatMapCompositeShow::PriceTextOf(char level, std::string* mark) {
    std::string text = level == '\0' ? std::string() : std::string(1, level) + " 级";
    if (mark) mark->clear();
    if (!IsOpen(price_) || level == '\0') return text;
    price_->DisableControls();
    if (price_->Locate("PRICELEVEL", {std::string(1, level)})) {
        if (const TField& price = price_->FieldByName("PRICE"); !price.IsNull())
            text += " (" + price.AsString() + "元)";
        if (mark && price_->FindField("PRICEMARK")) *mark = price_->FieldByName("PRICEMARK").AsString();
    }
    price_->First();
    price_->EnableControls();
    return text;
}

void TKavSeatMapCompositeShow::ShowSeatInformation(int col, int row) {
    if (!map_->Grid().InGrid(row, col)) return;
    coordinate_->setText(QStringLiteral("%1,%2").arg(row).arg(col));
    TKavCellInfo& cell = map_->Cells(row, col);
    if (cell.CellStatus == TKavCellStatus::kavcsNone) {
        infoPanel_->Clear();
        infoPanel_->hide();
        return;
    }
    CacheNames(cell);
    infoPanel_->SetValue(TKavSeatInfoPanel::Section, cell.SectionName);
    infoPanel_->SetValue(TKavSeatInfoPanel::Floor, cell.FloorName);
    infoPanel_->SetValue(TKavSeatInfoPanel::Row, cell.RowName);
    infoPanel_->SetValue(TKavSeatInfoPanel::Seat,
                         (cell.IsAddition ? "加" : "") + std::to_string(cell.SeatNo) + "座");
    std::string mark;
    infoPanel_->SetValue(TKavSeatInfoPanel::Price, PriceTextOf(cell.PriceLevel, &mark));
    infoPanel_->SetValue(TKavSeatInfoPanel::PriceMark, mark);
    std::string remark;
    if (IsOpen(remark_)) {
        remark_->DisableControls();
        if (remark_->Locate("SeatCode", {std::int64_t{cell.SeatCode}}))
            remark = remark_->FieldByName("reservelog").AsString();
        remark_->EnableControls();
    }
    infoPanel_->SetValue(TKavSeatInfoPanel::Remark, remark);
    PlaceInfoPanel(map_->CellRect(row, col));
    infoPanel_->show();
    infoPanel_->raise();
}

// Below and right of the cell, or above or left of it where the panel would run out of the composite.
void TKavSeatMapCompositeShow::PlaceInfoPanel(const QRect& cellInMap) {
    const QRect cell(map_->mapTo(this, cellInMap.topLeft()), cellInMap.size());
    int top = cell.bottom() + 1;
    if (top + infoPanel_->height() > height() - 10) top = cell.top() - infoPanel_->height() - 20;
    int left = cell.right() + 10;
    if (left + infoPanel_->width() > width()) left = cell.left() - infoPanel_->width() - 10;
    infoPanel_->move(std::max(0, left), std::max(0, top));
}

QString TKavSeatMapCompositeShow::DescribeCell(int row, int col) {
    if (!map_->Grid().InGrid(row, col)) return {};
    TKavCellInfo& cell = map_->Cells(row, col);
    if (cell.CellStatus == TKavCellStatus::kavcsNone)
        return QStringLiteral("第%1行第%2列 无座位").arg(row).arg(col);
    CacheNames(cell);
    const std::string floor = cell.FloorName.empty() ? std::to_string(cell.FloorNo) + "楼" : cell.FloorName;
    const std::string rowName = cell.RowName.empty() ? std::to_string(cell.RowNo) + "排" : cell.RowName;
    std::string text = floor + " " + rowName + " " + (cell.IsAddition ? "加" : "") +
                       std::to_string(cell.SeatNo) + "座 " + PriceTextOf(cell.PriceLevel, nullptr);
    if (cell.Selected) text += " 已选定";
    if (cell.CellStatus == TKavCellStatus::kavcsLocked) text += " 不可选";
    return QString::fromStdString(text);
}

void TKavSeatMapCompositeShow::ToggleSidePanel() {
    sidePanel_->setVisible(!sidePanel_->isVisible());
    LayOut();
}

// The side panel at the left, the 4-pixel line beside it (or at the left edge when the panel is
// hidden), and the scroll box with the map filling the rest.
void TKavSeatMapCompositeShow::LayOut() {
    const bool side = !sidePanel_->isHidden();
    sidePanel_->setGeometry(0, 0, SidePanelWidth, height());
    const int lineLeft = side ? SidePanelWidth : 1;
    line_->setGeometry(lineLeft, 0, 4, height());
    const int boxLeft = lineLeft + 4;
    scrollBox_->setGeometry(boxLeft, 1, std::max(0, width() - boxLeft - 1), std::max(0, height() - 3));
    prompt_->setGeometry(2, height() - 58, SidePanelWidth - 4, 36);
    coordinate_->setGeometry(2, height() - 20, SidePanelWidth - 4, 16);
    map_->SetAutoZoom(true);
    map_->resize(scrollBox_->viewport()->size());
    map_->CheckSize();
}

void TKavSeatMapCompositeShow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void TKavSeatMapCompositeShow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(ToQColor(clGray));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

bool TKavSeatMapCompositeShow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == line_ && event->type() == QEvent::MouseButtonRelease) {
        ToggleSidePanel();
        return true;
    }
    if (watched == map_ && event->type() == QEvent::Leave) infoPanel_->hide();
    return QWidget::eventFilter(watched, event);
}

} // namespace kav
