// Where cells lie in the client area, which of them are shown, and what lies under a point.
#include "controls/grid_state.h"

// With GS_FILLLASTCOLUMN the last shown column reaches the right edge of the window.
static bool IsLastShownColumn(const GridState& grid, int column)
{
    for (int c = column + 1; c < grid.columnCount; ++c)
        if (grid.widths[c] != 0)
            return false;
    return true;
}

RECT GridCellRect(const GridState& grid, int row, int column)
{
    RECT rect = {0, 0, 0, 0};
    if (!GridCellInside(grid, row, column))
        return rect;
    if (column > 0) {
        rect.left = grid.widths[0];
        for (int c = grid.leftColumn; c < column; ++c)
            rect.left += grid.widths[c];
    }
    rect.right = rect.left + grid.widths[column];
    if ((grid.style & GS_FILLLASTCOLUMN) && column > 0 && IsLastShownColumn(grid, column) &&
        rect.right < grid.clientWidth)
        rect.right = grid.clientWidth;
    rect.top = grid.titleHeight;
    if (row > 0) {
        rect.top += grid.heights[0];
        for (int r = grid.topRow; r < row; ++r)
            rect.top += grid.heights[r];
    }
    rect.bottom = rect.top + grid.heights[row];
    return rect;
}

// Subtracts the sizes from `first` on while the remainder is above 0; the entry subtracted
// last is hit, -1 when none was. Hidden entries (size 0) are never hit: what is left past
// the last shown one belongs to it, not to hidden ones after it.
static int EntryAt(const uint16_t* sizes, int count, int first, int* remainder)
{
    int hit = -1;
    for (int i = first; i < count && *remainder > 0; ++i) {
        if (sizes[i] == 0)
            continue;
        *remainder -= sizes[i];
        hit = i;
    }
    return hit;
}

int GridColumnAtX(const GridState& grid, int x)
{
    if (x <= grid.widths[0])
        return 0;
    int remainder = x - grid.widths[0];
    int hit = EntryAt(grid.widths, grid.columnCount, grid.leftColumn, &remainder);
    if (hit < 0 || (remainder > 1 && !(grid.style & GS_FILLLASTCOLUMN)))
        return -1;
    return hit;
}

int GridRowAtY(const GridState& grid, int y)
{
    if (y <= grid.titleHeight)
        return -1;
    if (y <= grid.titleHeight + grid.heights[0])
        return 0;
    int remainder = y - grid.titleHeight - grid.heights[0];
    int hit = EntryAt(grid.heights, grid.rowCount, grid.topRow, &remainder);
    if (hit < 0 || remainder >= 2)
        return -1;
    return hit;
}

static int NextShown(const uint16_t* sizes, int count, int index, int direction)
{
    int i = index + direction;
    while (i > 0 && i < count && sizes[i] == 0)
        i += direction;
    return i > 0 && i < count && sizes[i] != 0 ? i : 0;
}

int GridNextShownRow(const GridState& grid, int row, int direction)
{
    return NextShown(grid.heights, grid.rowCount, row, direction);
}

int GridNextShownColumn(const GridState& grid, int column, int direction)
{
    return NextShown(grid.widths, grid.columnCount, column, direction);
}

// How many entries from index on, stepping by direction, fit completely into available.
static int PerPage(const uint16_t* sizes, int count, int index, int direction, int available)
{
    int fitted = 0;
    for (int i = index; i > 0 && i < count && available > 0; i += direction) {
        available -= sizes[i];
        ++fitted;
    }
    // The last one counted was cut off; with no room at all, none was counted.
    if (available < 0 && fitted > 0)
        --fitted;
    return fitted;
}

int GridRowsPerPage(const GridState& grid, int row, int direction)
{
    int available = grid.clientHeight - grid.titleHeight - grid.heights[0];
    return PerPage(grid.heights, grid.rowCount, row, direction, available);
}

int GridColumnsPerPage(const GridState& grid, int column, int direction)
{
    return PerPage(grid.widths, grid.columnCount, column, direction, grid.clientWidth - grid.widths[0]);
}

void GridComputeVisibleRanges(GridState& grid)
{
    int available = grid.clientWidth - grid.widths[0];
    int c = grid.leftColumn;
    if (available < 0) {
        grid.state |= GRID_COLSOVERFLOW;
    } else {
        while (c < grid.columnCount && available >= 0)
            available -= grid.widths[c++];
        if (available < 0)
            grid.state |= GRID_COLSOVERFLOW;
        else
            grid.state &= ~GRID_COLSOVERFLOW;
    }
    grid.lastVisibleColumn = uint16_t(c < grid.columnCount - 1 ? c : grid.columnCount - 1);

    available = grid.clientHeight - grid.titleHeight - grid.heights[0];
    if (available < 0) {
        grid.lastVisibleRow = uint16_t(grid.topRow - 1);
        grid.state |= GRID_ROWSOVERFLOW;
        return;
    }
    for (int r = grid.topRow; r < grid.rowCount; ++r) {
        available -= grid.heights[r];
        if (available < 0) {
            grid.lastVisibleRow = uint16_t(r);
            grid.state |= GRID_ROWSOVERFLOW;
            return;
        }
    }
    grid.lastVisibleRow = uint16_t(grid.rowCount - 1);
    grid.state &= ~GRID_ROWSOVERFLOW;
}

int GridShownColumnsUpTo(const GridState& grid, int column)
{
    int shown = 0;
    for (int c = 1; c <= column && c < grid.columnCount; ++c)
        if (grid.widths[c] != 0)
            ++shown;
    return shown;
}

int GridShownDataRows(const GridState& grid)
{
    int shown = 0;
    for (int r = 1; r < grid.rowCount; ++r)
        if (grid.heights[r] != 0)
            ++shown;
    return shown;
}
