// Keys: moving the current cell, function keys, editing keys, and typed characters.
#include "controls/grid_state.h"

static bool HasDataRows(const GridState& grid)
{
    return grid.rowCount > 1;
}

static bool ShiftHeld(const GridState& grid)
{
    return (grid.state & GRID_SHIFT) != 0;
}

void GridFinishMove(GridState& grid)
{
    GridNotify(grid, GCN_SELCHANGE, GridCurrentCellWord(grid));
    GridScrollRowIntoView(grid, grid.currentRow);
    GridScrollColumnIntoView(grid, grid.currentColumn);
    GridRepaint(grid);
}

// Shift on a multi-select grid grows the selection; Ctrl with it drags the anchor along by
// the same step; anything else collapses the selection onto the new current cell.
static void MoveTo(GridState& grid, int row, int column)
{
    int rowStep = row - grid.currentRow, columnStep = column - grid.currentColumn;
    grid.currentRow = row;
    grid.currentColumn = column;
    if (!((grid.style & GS_MULTISELECT) && ShiftHeld(grid))) {
        grid.anchorRow = row;
        grid.anchorColumn = column;
    } else if (grid.state & GRID_CTRL) {
        grid.anchorRow = GridClamp(grid.anchorRow + rowStep, 1, grid.rowCount - 1);
        grid.anchorColumn = GridClamp(grid.anchorColumn + columnStep, 1, grid.columnCount > 1 ? grid.columnCount - 1 : 1);
    }
    GridFinishMove(grid);
}

static void MoveVertically(GridState& grid, int direction)
{
    GridCommitEdit(grid);
    if (!HasDataRows(grid) || (direction < 0 && grid.currentRow <= 1))
        return;
    int row = GridNextShownRow(grid, grid.currentRow, direction);
    if (row == 0)
        return;
    MoveTo(grid, GridClamp(row, 1, grid.rowCount - 1), grid.currentColumn);
}

static void MoveHorizontally(GridState& grid, int direction)
{
    GridCommitEdit(grid);
    int column = GridNextShownColumn(grid, grid.currentColumn, direction);
    if (column == 0)
        return;
    MoveTo(grid, grid.currentRow, column);
}

// Page keys move by the rows that fit from the current row and carry only the anchor row,
// and only without Shift.
static void MovePage(GridState& grid, int direction)
{
    GridCommitEdit(grid);
    int last = grid.rowCount - 1;
    if (!HasDataRows(grid) || grid.currentRow == (direction > 0 ? last : 1))
        return;
    long long row = grid.currentRow + (long long)direction * GridRowsPerPage(grid, grid.currentRow, direction);
    grid.currentRow = GridClamp(row, 1, last);
    if (!ShiftHeld(grid))
        grid.anchorRow = grid.currentRow;
    GridFinishMove(grid);
}

static void EditBackspace(GridState& grid)
{
    if (!GridCurrentCellWritable(grid))
        return;
    GridBeginEdit(grid);
    GridEditBackspace(grid);
}

static void GiveFocusToParent(const GridState& grid)
{
    HWND parent = GetParent(grid.window);
    if (parent != nullptr)
        SetFocus(parent);
}

void GridOnKeyDown(GridState& grid, WPARAM key)
{
    if (key < 8 || key > VK_F12)
        return;
    if (key >= VK_F1) {
        GridNotify(grid, WORD(GCN_FKEY1 + (key - VK_F1)), GridCurrentCellWord(grid));
        return;
    }
    switch (key) {
    case VK_TAB: GiveFocusToParent(grid); break;
    case VK_SHIFT: grid.state |= GRID_SHIFT; break;
    case VK_CONTROL: grid.state |= GRID_CTRL; break;
    case VK_ESCAPE: GridCancelEdit(grid); break;
    case VK_NEXT: MovePage(grid, 1); break;
    case VK_PRIOR: MovePage(grid, -1); break;
    case VK_RETURN:
    case VK_DOWN: MoveVertically(grid, 1); break;
    case VK_UP: MoveVertically(grid, -1); break;
    case VK_LEFT: MoveHorizontally(grid, -1); break;
    case VK_RIGHT: MoveHorizontally(grid, 1); break;
    case VK_DELETE:
        GridNotify(grid, GCN_DELETEKEY, GridCurrentCellWord(grid));
        EditBackspace(grid);
        break;
    case VK_BACK: EditBackspace(grid); break;
    }
}

void GridOnKeyUp(GridState& grid, WPARAM key)
{
    if (key == VK_SHIFT)
        grid.state &= ~GRID_SHIFT;
    else if (key == VK_CONTROL)
        grid.state &= ~GRID_CTRL;
}

static void SelectAll(GridState& grid)
{
    if (!HasDataRows(grid) || grid.columnCount <= 1)
        return;  // no data cell to put the current cell on
    grid.currentRow = grid.rowCount - 1;
    grid.currentColumn = grid.columnCount - 1;
    grid.anchorRow = grid.anchorColumn = 1;
    GridRepaint(grid);
}

// Printable characters up to '}' type into a writable cell; Ctrl+A, Ctrl+C and Ctrl+V
// select all, copy and paste. Result 1 for a character the grid does not take.
LRESULT GridOnChar(GridState& grid, WPARAM character)
{
    if (character >= 0x20 && character <= 0x7D && GridCurrentCellWritable(grid)) {
        GridBeginEdit(grid);
        GridEditAppend(grid, char(character));
        return 0;
    }
    switch (character) {
    case 0x01: SelectAll(grid); return 0;
    case 0x03: GridCopy(grid); return 0;
    case 0x16: GridPaste(grid); return 0;
    }
    return 1;
}
