#include "seatmap/seatediting.h"

namespace kav {

namespace {

// One cell's step in a direction.
struct Delta {
    int col = 0, row = 0;
};

Delta DeltaOf(char direction) {
    switch (direction) {
    case 'L':
        return {-1, 0};
    case 'R':
        return {1, 0};
    case 'T':
        return {0, -1};
    case 'B':
        return {0, 1};
    default:
        return {};
    }
}

// Visits the cells of the grid so that a block moving by `reach` cells in the direction always moves
// into room it has already left: against the direction, skipping the cells that cannot go that far.
void Walk(const TKavSeatGrid& grid, char direction, int reach,
          const std::function<void(int col, int row)>& visit) {
    const int rows = grid.RowCount(), cols = grid.ColCount();
    switch (direction) {
    case 'L':
        for (int row = 1; row <= rows; ++row)
            for (int col = reach + 1; col <= cols; ++col)
                visit(col, row);
        break;
    case 'R':
        for (int row = 1; row <= rows; ++row)
            for (int col = cols - reach; col >= 1; --col)
                visit(col, row);
        break;
    case 'T':
        for (int row = reach + 1; row <= rows; ++row)
            for (int col = 1; col <= cols; ++col)
                visit(col, row);
        break;
    case 'B':
        for (int row = rows - reach; row >= 1; --row)
            for (int col = 1; col <= cols; ++col)
                visit(col, row);
        break;
    default:
        break;
    }
}

bool SelectedSeat(const TKavCellInfo& cell) {
    return cell.Selected && HoldsSeat(cell);
}

} // namespace

bool HoldsSeat(const TKavCellInfo& cell) {
    return cell.CellStatus != TKavCellStatus::kavcsNone;
}

bool IsSeatConflict(const TKavSeatGrid& grid, int floor, int row, bool addition, int seat,
                    TKavCellPos except) {
    for (int r = 1; r <= grid.RowCount(); ++r)
        for (int c = 1; c <= grid.ColCount(); ++c) {
            if (r == except.Row && c == except.Col) continue;
            const TKavCellInfo& cell = grid.Cell(r, c);
            if (HoldsSeat(cell) && cell.FloorNo == floor && cell.RowNo == row && cell.SeatNo == seat &&
                cell.IsAddition == addition)
                return true;
        }
    return false;
}

bool CanBeReplace(const TKavSeatGrid& grid, int col, int row) {
    return grid.InGrid(row, col) && !HoldsSeat(grid.Cell(row, col));
}

bool CopyACell(TKavSeatGrid& grid, int col, int row, int newCol, int newRow) {
    if (!grid.InGrid(row, col) || !CanBeReplace(grid, newCol, newRow)) return false;
    const TKavCellInfo& source = grid.Cell(row, col);
    TKavCellInfo& target = grid.Cell(newRow, newCol);
    target.SeatCode = source.SeatCode;
    target.PriceLevel = source.PriceLevel;
    target.FloorNo = source.FloorNo;
    target.CellStatus = source.CellStatus;
    target.Kind = source.Kind;
    target.RowNo = source.RowNo;
    target.SeatNo = source.SeatNo;
    target.IsAddition = source.IsAddition;
    target.Description = source.Description;
    target.SectionName = source.SectionName;
    target.FloorName = source.FloorName;
    target.RowName = source.RowName;
    return true;
}

bool ClearACell(TKavSeatGrid& grid, int col, int row, bool forgetSeat) {
    if (!grid.InGrid(row, col)) return false;
    TKavCellInfo& cell = grid.Cell(row, col);
    cell.CellStatus = TKavCellStatus::kavcsNone;
    if (forgetSeat) cell.SeatCode = 0;
    return true;
}

bool MoveACell(TKavSeatGrid& grid, int col, int row, int newCol, int newRow) {
    if (!CopyACell(grid, col, row, newCol, newRow)) return false;
    // The moved seat keeps its sale status: it is the same seat.
    grid.Cell(newRow, newCol).SeatStatus = grid.Cell(row, col).SeatStatus;
    return ClearACell(grid, col, row, true);
}

int MoveSelectedCells(TKavSeatGrid& grid, const TKavSeatMove& move) {
    const Delta d = DeltaOf(move.Direction);
    if (move.Step < 1 || (d.col == 0 && d.row == 0)) return 0;
    int moved = 0;
    Walk(grid, move.Direction, move.Step, [&](int col, int row) {
        if (SelectedSeat(grid.Cell(row, col)) &&
            MoveACell(grid, col, row, col + d.col * move.Step, row + d.row * move.Step))
            ++moved;
    });
    return moved;
}

int CopySelectedCells(TKavSeatGrid& grid, const TKavSeatCopy& copy, const TKavRowNameOf& rowNameOf) {
    const Delta d = DeltaOf(copy.Direction);
    if (copy.Step < 1 || copy.Times < 1 || (d.col == 0 && d.row == 0)) return 0;
    const bool seats = copy.Entity != 'R';
    const int highest = seats ? KavMaxSeatNo : KavMaxRowNo;
    int copies = 0;
    Walk(grid, copy.Direction, copy.Step * copy.Times, [&](int col, int row) {
        const TKavCellInfo& source = grid.Cell(row, col);
        if (!SelectedSeat(source)) return;
        int v = seats ? source.SeatNo : source.RowNo;
        for (int k = 1; k <= copy.Times; ++k) {
            v += copy.Increment;
            if (v < 1 || v > highest) return;
            const int rowNo = seats ? source.RowNo : v;
            const int seatNo = seats ? v : source.SeatNo;
            if (IsSeatConflict(grid, source.FloorNo, rowNo, source.IsAddition, seatNo)) return;
            const int targetCol = col + d.col * k * copy.Step, targetRow = row + d.row * k * copy.Step;
            if (!CopyACell(grid, col, row, targetCol, targetRow)) continue;
            TKavCellInfo& target = grid.Cell(targetRow, targetCol);
            target.SeatCode = 0;
            target.SeatNo = static_cast<std::int16_t>(seatNo);
            if (!seats) {
                target.RowNo = static_cast<std::int16_t>(rowNo);
                target.RowName = rowNameOf ? rowNameOf(source.FloorNo, rowNo) : std::string();
            }
            target.Kind = 'N';
            target.SeatStatus = 'F';
            target.CellStatus = TKavCellStatus::kavcsNormal;
            ++copies;
        }
    });
    return copies;
}

std::vector<std::int32_t> DeleteSelectedCells(TKavSeatGrid& grid) {
    std::vector<std::int32_t> deleted;
    for (const TKavCellPos& pos : grid.SelectedCells()) {
        if (!grid.InGrid(pos.Row, pos.Col)) continue;
        TKavCellInfo& cell = grid.Cell(pos.Row, pos.Col);
        if (!HoldsSeat(cell) || cell.CellStatus == TKavCellStatus::kavcsLocked) continue;
        if (cell.SeatCode != 0) deleted.push_back(cell.SeatCode);
        ClearACell(grid, pos.Col, pos.Row, true);
        cell.RowName.clear();
    }
    return deleted;
}

bool EditSeat(TKavSeatGrid& grid, TKavCellPos pos, const TKavSeatIdentity& identity) {
    if (!grid.InGrid(pos.Row, pos.Col)) return false;
    if (IsSeatConflict(grid, identity.FloorNo, identity.RowNo, identity.IsAddition, identity.SeatNo, pos))
        return false;
    TKavCellInfo& cell = grid.Cell(pos.Row, pos.Col);
    if (!HoldsSeat(cell)) {
        cell.CellStatus = TKavCellStatus::kavcsNormal;
        cell.SeatCode = 0;
        cell.PriceLevel = 'A';
        cell.Kind = 'N';
        cell.SeatStatus = 'F';
    }
    cell.FloorNo = identity.FloorNo;
    cell.RowNo = identity.RowNo;
    cell.SeatNo = identity.SeatNo;
    cell.IsAddition = identity.IsAddition;
    cell.Description = identity.Description;
    cell.SectionName = identity.SectionName;
    cell.FloorName = identity.FloorName;
    cell.RowName = identity.RowName;
    return true;
}

bool SameCell(const TKavCellInfo& a, const TKavCellInfo& b) {
    return a.SeatCode == b.SeatCode && a.PriceLevel == b.PriceLevel && a.FloorNo == b.FloorNo &&
           a.CellStatus == b.CellStatus && a.Kind == b.Kind && a.SeatStatus == b.SeatStatus &&
           a.RowNo == b.RowNo && a.SeatNo == b.SeatNo && a.IsAddition == b.IsAddition &&
           a.SectionName == b.SectionName && a.FloorName == b.FloorName && a.RowName == b.RowName &&
           a.Description == b.Description;
}

} // namespace kav
