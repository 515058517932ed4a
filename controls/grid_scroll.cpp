// The two scroll bars: their ranges follow the content before every paint, and scrolling
// requests, the wheel and scroll-into-view move the top row and the left column.
#include "controls/grid_state.h"

void GridReadClientSize(GridState& grid)
{
    RECT client;
    GetClientRect(grid.window, &client);
    grid.clientWidth = uint16_t(client.right > 0 ? client.right : 0);
    grid.clientHeight = uint16_t(client.bottom > 0 ? client.bottom : 0);
}

// One bar: shown while the entries that fit with the last one at the far end are fewer
// than all of them; a thumb at the end of the range stays at the end when the range grows.
static void UpdateBar(GridState& grid, bool vertical)
{
    int bar = vertical ? SB_VERT : SB_HORZ;
    uint32_t shownBit = vertical ? GRID_VSCROLLSHOWN : GRID_HSCROLLSHOWN;
    uint16_t& first = vertical ? grid.topRow : grid.leftColumn;
    int count = vertical ? grid.rowCount : grid.columnCount;
    int fitting = vertical ? GridRowsPerPage(grid, count - 1, -1) : GridColumnsPerPage(grid, count - 1, -1);

    if (fitting < count - 1) {
        // When not even the last one fits, it can still come first, but nothing after it.
        int newMax = count - (fitting > 0 ? fitting : 1);
        bool wasShown = (grid.state & shownBit) != 0;
        int oldMin = 0, oldMax = 0;
        GetScrollRange(grid.window, bar, &oldMin, &oldMax);
        int thumb = GetScrollPos(grid.window, bar);
        if (!wasShown)
            ShowScrollBar(grid.window, bar, TRUE);
        grid.state |= shownBit;
        SetScrollRange(grid.window, bar, 1, newMax, TRUE);
        // A first row past the new end would leave blank space under the last one.
        if ((wasShown && thumb == oldMax) || first > newMax)
            first = uint16_t(newMax);
        SetScrollPos(grid.window, bar, vertical ? first : GridShownColumnsUpTo(grid, first), TRUE);
    } else {
        first = 1;
        SetScrollPos(grid.window, bar, 1, FALSE);
        if (grid.state & shownBit)
            ShowScrollBar(grid.window, bar, FALSE);
        grid.state &= ~shownBit;
    }
}

void GridUpdateLayout(GridState& grid)
{
    // Showing or hiding one bar changes the client area and so what the other must do.
    grid.inLayout = true;
    for (int pass = 0; pass < 3; ++pass) {
        uint32_t shownBefore = grid.state & (GRID_VSCROLLSHOWN | GRID_HSCROLLSHOWN);
        GridComputeVisibleRanges(grid);
        if (!(grid.style & GS_NOVSCROLL))
            UpdateBar(grid, true);
        if (!(grid.style & GS_NOHSCROLL))
            UpdateBar(grid, false);
        GridReadClientSize(grid);
        if ((grid.state & (GRID_VSCROLLSHOWN | GRID_HSCROLLSHOWN)) == shownBefore)
            break;
    }
    GridComputeVisibleRanges(grid);
    grid.inLayout = false;
}

void GridScrollRowIntoView(GridState& grid, int row)
{
    if (row < 1 || row >= grid.rowCount)
        return;
    while (GridCellRect(grid, row, 0).bottom > grid.clientHeight && row != grid.topRow)
        ++grid.topRow;
    while (row < grid.topRow && grid.topRow > 1)
        --grid.topRow;
    GridRepaint(grid);
    SetScrollPos(grid.window, SB_VERT, grid.topRow, TRUE);
}

void GridScrollColumnIntoView(GridState& grid, int column)
{
    if (column < 1 || column >= grid.columnCount)
        return;
    while (GridCellRect(grid, 0, column).right > grid.clientWidth && column != grid.leftColumn)
        ++grid.leftColumn;
    while (column < grid.leftColumn && grid.leftColumn > 1)
        --grid.leftColumn;
    GridRepaint(grid);
    SetScrollPos(grid.window, SB_HORZ, GridShownColumnsUpTo(grid, grid.leftColumn), TRUE);
}

void GridOnVScroll(GridState& grid, int request, int trackPosition)
{
    if (!(grid.state & GRID_VSCROLLSHOWN))
        return;
    int low = 1, high = 1;
    GetScrollRange(grid.window, SB_VERT, &low, &high);
    int p = GetScrollPos(grid.window, SB_VERT);
    int top;
    switch (request) {
    case SB_LINEUP: top = p - 1; break;
    case SB_LINEDOWN: top = p + 1; break;
    case SB_PAGEUP: top = p - GridRowsPerPage(grid, grid.topRow, -1); break;
    // With no row shown the last visible row lies above the top one: stay, never go back.
    case SB_PAGEDOWN: top = grid.lastVisibleRow > p ? grid.lastVisibleRow : p; break;
    case SB_THUMBTRACK: top = trackPosition; break;
    default: return;
    }
    top = GridClamp(top, 1, high > 1 ? high : 1);
    grid.topRow = uint16_t(top);
    SetScrollPos(grid.window, SB_VERT, top, FALSE);
    if (request != SB_THUMBTRACK)
        GridScrollRowIntoView(grid, top);
    GridRepaint(grid);
}

void GridOnHScroll(GridState& grid, int request, int trackPosition)
{
    if (!(grid.state & GRID_HSCROLLSHOWN))
        return;
    int low = 1, high = 1;
    GetScrollRange(grid.window, SB_HORZ, &low, &high);
    int p = GetScrollPos(grid.window, SB_HORZ);
    int thumb;
    int left = grid.leftColumn;
    switch (request) {
    case SB_LINELEFT:
        if (p == low)
            return;
        thumb = p - 1;
        left = left - 1;
        break;
    case SB_LINERIGHT:
        if (p == high)
            return;
        thumb = p + 1;
        left = left + 1;
        break;
    case SB_PAGELEFT:
        if (p == low)
            return;
        thumb = p - GridColumnsPerPage(grid, grid.leftColumn, -1);
        if (thumb < 1)
            thumb = 1;
        left = thumb;
        break;
    case SB_PAGERIGHT:
        if (p == high)
            return;
        thumb = p + GridColumnsPerPage(grid, grid.leftColumn, 1);
        if (thumb >= grid.columnCount || thumb > high)
            thumb = high;
        left = thumb;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        thumb = left = GridClamp(trackPosition, 1, high > 1 ? high : 1);
        break;
    default:
        return;
    }
    grid.leftColumn = uint16_t(GridClamp(left, 1, grid.columnCount > 1 ? grid.columnCount - 1 : 1));
    SetScrollPos(grid.window, SB_HORZ, thumb, FALSE);
    GridRepaint(grid);
}

void GridOnMouseWheel(GridState& grid, int wheelDelta)
{
    if (!(grid.state & GRID_VSCROLLSHOWN))
        return;
    int notches = wheelDelta / WHEEL_DELTA;
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    long long step = lines == WHEEL_PAGESCROLL ? GridRowsPerPage(grid, grid.topRow, 1) : (long long)lines;
    int low = 1, high = 1;
    GetScrollRange(grid.window, SB_VERT, &low, &high);
    long long top = GetScrollPos(grid.window, SB_VERT) - (long long)notches * step;
    top = top < low ? low : top > high ? high : top;
    grid.topRow = uint16_t(top < 1 ? 1 : top);
    SetScrollPos(grid.window, SB_VERT, int(grid.topRow), FALSE);
    GridRepaint(grid);
}
