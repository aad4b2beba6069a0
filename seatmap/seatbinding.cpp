#include "seatmap/seatbinding.h"

#include "platform/dataset/clientdataset.h"
#include "platform/dataset/rowreader.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace kav {
namespace {

// The first letter of a text, or the fallback for an empty one.
char FirstLetter(std::string_view text, char fallback) {
    return text.empty() ? fallback : text.front();
}

int Required(TClientDataSet& seats, std::string_view name) {
    return seats.FieldByName(name).Index();
}

int Optional(TClientDataSet& seats, std::string_view name) {
    const TField* field = seats.FindField(name);
    return field ? field->Index() : -1;
}

// The seat codes the filter accepts, sorted.
std::vector<std::int64_t> AcceptedSeatCodes(TClientDataSet& seats, const std::string& filter) {
    TClientDataSet clone;
    clone.CloneCursor(seats);
    clone.SetFilter(filter);
    clone.SetFiltered(true);
    const int code = Required(clone, "SEATCODE");
    TRowReader reader(clone);
    std::vector<std::int64_t> codes;
    codes.reserve(static_cast<std::size_t>(reader.RowCount()));
    for (int row = 0; row < reader.RowCount(); ++row)
        codes.push_back(reader.ReadInteger(row, code));
    std::sort(codes.begin(), codes.end());
    return codes;
}

// Restores the dataset's current row and its controls when the work is done.
class CursorKeeper final {
public:
    explicit CursorKeeper(TClientDataSet& dataSet) : dataSet_(dataSet), bookmark_(dataSet.GetBookmark()) {
        dataSet_.DisableControls();
    }
    ~CursorKeeper() {
        if (bookmark_ != 0 && dataSet_.Active() && dataSet_.BookmarkValid(bookmark_))
            dataSet_.GotoBookmark(bookmark_);
        dataSet_.EnableControls();
    }
    CursorKeeper(const CursorKeeper&) = delete;
    CursorKeeper& operator=(const CursorKeeper&) = delete;

private:
    TClientDataSet& dataSet_;
    TBookmark bookmark_;
};

} // namespace

TKavSeatLoadResult LoadSeatCells(TKavSeatGrid& grid, TClientDataSet& seats, const std::string& filter) {
    for (int row = 1; row <= TKavSeatGrid::MaxRowCount; ++row)
        for (int col = 1; col <= TKavSeatGrid::MaxColCount; ++col) {
            TKavCellInfo& cell = grid.Cell(row, col);
            ClearCell(cell);
            cell.SectionName.clear();
            cell.FloorName.clear();
            cell.Description.clear();
        }
    grid.ClearSelection();

    const int x = Required(seats, "X"), y = Required(seats, "Y"), code = Required(seats, "SEATCODE");
    const int level = Optional(seats, "PRICELEVEL"), kind = Optional(seats, "KIND"),
              status = Optional(seats, "STATUS"), floor = Optional(seats, "FLOORNO"),
              rowNo = Optional(seats, "ROWNO"), seatNo = Optional(seats, "SEATNO"),
              addition = Optional(seats, "ISADDITION"), description = Optional(seats, "DESCRIPTION");
    const bool everySeat = filter.empty();
    const std::vector<std::int64_t> accepted =
        everySeat ? std::vector<std::int64_t>() : AcceptedSeatCodes(seats, filter);

    TRowReader reader(seats);
    TKavSeatLoadResult result;
    std::string scratch;
    const auto letter = [&](int row, int field, char fallback) {
        return field < 0 ? fallback : FirstLetter(reader.TextOf(row, field, scratch), fallback);
    };
    const auto integer = [&](int row, int field) { return field < 0 ? 0 : reader.ReadInteger(row, field); };
    for (int row = 0; row < reader.RowCount(); ++row) {
        reader.FetchAhead(row);
        const int c = reader.ReadInteger(row, x), r = reader.ReadInteger(row, y);
        if (!grid.InGrid(r, c)) {
            ++result.Skipped;
            continue;
        }
        TKavCellInfo& cell = grid.Cell(r, c);
        cell.SeatCode = reader.ReadInteger(row, code);
        cell.PriceLevel = letter(row, level, '\0');
        cell.Kind = letter(row, kind, 'N');
        cell.SeatStatus = letter(row, status, 'F');
        cell.FloorNo = static_cast<std::int16_t>(integer(row, floor));
        cell.RowNo = static_cast<std::int16_t>(integer(row, rowNo));
        cell.SeatNo = static_cast<std::int16_t>(integer(row, seatNo));
        cell.IsAddition = addition >= 0 && reader.TextOf(row, addition, scratch) == "Y";
        if (description >= 0) reader.ReadText(row, description, cell.Description);
        cell.CellStatus = everySeat || std::binary_search(accepted.begin(), accepted.end(), cell.SeatCode)
                              ? TKavCellStatus::kavcsNormal
                              : TKavCellStatus::kavcsLocked;
        ++result.Loaded;
    }
    return result;
}

void GatherSelectedSeats(const TKavSeatGrid& grid, TClientDataSet& seats) {
    TField& x = seats.FieldByName("X");
    TField& y = seats.FieldByName("Y");
    TField& selected = seats.FieldByName("SELECTED");
    CursorKeeper keeper(seats);
    for (seats.First(); !seats.Eof(); seats.Next()) {
        const int row = y.AsInteger(), col = x.AsInteger();
        const char* value = grid.InGrid(row, col) && grid.Cell(row, col).Selected ? "Y" : "N";
        if (selected.AsString() == value) continue;
        seats.Edit();
        selected.SetAsString(value);
        seats.Post();
    }
}

namespace {

std::string LetterText(char letter) {
    return letter == '\0' ? std::string() : std::string(1, letter);
}

// The texts GatherSeatCells writes into kWrittenFields, in that order, for the cell at (row, col).
std::vector<std::string> CellTexts(const TKavCellInfo& cell, int row, int col) {
    return {std::to_string(cell.FloorNo), std::to_string(cell.RowNo), std::to_string(cell.SeatNo),
            cell.IsAddition ? "Y" : "N",  cell.Description,           LetterText(cell.Kind),
            LetterText(cell.PriceLevel),  std::to_string(col),        std::to_string(row)};
}

constexpr const char* kWrittenFields[] = {"FLOORNO", "ROWNO",      "SEATNO", "ISADDITION", "DESCRIPTION",
                                          "KIND",    "PRICELEVEL", "X",      "Y"};

} // namespace

void GatherSeatCells(TKavSeatGrid& grid, TClientDataSet& seats,
                     const std::function<void(TClientDataSet&)>& onNewRecord,
                     const std::set<std::int32_t>& deletions) {
    std::vector<TField*> fields;
    for (const char* name : kWrittenFields)
        fields.push_back(&seats.FieldByName(name));
    TField& code = seats.FieldByName("SEATCODE");
    // Cells given the code of a row appended for them, with the code they had; put back on an error,
    // when the appended rows go with the dataset's other changes.
    std::vector<std::pair<TKavCellInfo*, std::int32_t>> coded;
    try {
        CursorKeeper keeper(seats);
        std::unordered_map<std::int64_t, TBookmark> rowOfSeat;
        for (seats.First(); !seats.Eof(); seats.Next())
            if (!code.IsNull()) rowOfSeat.emplace(code.AsLargeInt(), seats.GetBookmark());
        const auto find = [&](std::int32_t seatCode) -> TBookmark {
            if (seatCode == 0) return 0;
            const auto found = rowOfSeat.find(seatCode);
            return found == rowOfSeat.end() ? 0 : found->second;
        };
        const auto remove = [&](std::int32_t seatCode) {
            if (const TBookmark row = find(seatCode); row != 0 && seats.BookmarkValid(row)) {
                seats.GotoBookmark(row);
                seats.Delete();
                rowOfSeat.erase(seatCode);
            }
        };
        std::set<std::int32_t> held;
        for (int row = 1; row <= grid.RowCount(); ++row)
            for (int col = 1; col <= grid.ColCount(); ++col) {
                TKavCellInfo& cell = grid.Cell(row, col);
                if (cell.CellStatus == TKavCellStatus::kavcsNone) {
                    remove(cell.SeatCode);
                    continue;
                }
                if (cell.SeatCode != 0) held.insert(cell.SeatCode);
                const std::vector<std::string> texts = CellTexts(cell, row, col);
                const TBookmark existing = find(cell.SeatCode);
                if (existing != 0) {
                    seats.GotoBookmark(existing);
                    bool same = true;
                    for (std::size_t i = 0; i < fields.size() && same; ++i)
                        same = fields[i]->AsString() == texts[i];
                    if (same) continue;
                    seats.Edit();
                } else {
                    seats.Append();
                    if (onNewRecord) onNewRecord(seats);
                }
                for (std::size_t i = 0; i < fields.size(); ++i)
                    fields[i]->SetAsString(texts[i]);
                seats.Post();
                if (existing == 0 && !code.IsNull()) {
                    coded.emplace_back(&cell, cell.SeatCode);
                    cell.SeatCode = static_cast<std::int32_t>(code.AsLargeInt());
                    rowOfSeat.emplace(cell.SeatCode, seats.GetBookmark());
                }
            }
        for (std::int32_t seatCode : deletions)
            if (!held.contains(seatCode)) remove(seatCode);
    } catch (...) {
        for (auto [cell, previous] : coded)
            cell->SeatCode = previous;
        if (seats.State() != TDataSetState::dsBrowse && seats.Active()) seats.Cancel();
        seats.CancelUpdates();
        throw;
    }
}

} // namespace kav
