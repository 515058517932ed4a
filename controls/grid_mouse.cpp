// The mouse: selecting cells, whole rows and columns, dragging a selection with
// auto-scroll, dragging column and row borders, the cursor over borders, double clicks.
#include "controls/grid_state.h"

enum { kZoneOrdinary = 1, kZoneColumnBorder = 2, kZoneRowBorder = 3 };
enum { kAutoScrollTimer = 1, kAutoScrollPeriod = 10 };

static bool MultiSelect(const GridState& grid)
{
    return (grid.style & GS_MULTISELECT) != 0;
}

static bool BorderDragRuns(const GridState& grid)
{
    return (grid.state & (GRID_COLDRAG | GRID_ROWDRAG)) != 0;
}

static int HitAt(const GridState& grid, bool columns, int at)
{
    return columns ? GridColumnAtX(grid, at) : GridRowAtY(grid, at);
}

// The border under the press belongs to the column (row) left of (above) it: the one hit
// when 8 pixels further on lies another, the one before the hit one when 8 pixels back
// lies another. Before the first one shown on screen lies the header.
static int DraggedIndex(const GridState& grid, bool columns, int at)
{
    int hit = HitAt(grid, columns, at);
    int dragged = -1;
    if (HitAt(grid, columns, at + 8) != hit)
        dragged = hit;
    if (HitAt(grid, columns, at - 8) != hit) {
        int count = columns ? grid.columnCount : grid.rowCount;
        int first = columns ? grid.leftColumn : grid.topRow;
        dragged = hit < 0 ? count - 1 : hit > first ? hit - 1 : 0;
    }
    return dragged;
}

static void StartBorderDrag(GridState& grid, bool columns, int at)
{
    int dragged = DraggedIndex(grid, columns, at);
    if (dragged < 0)
        return;
    uint32_t bit = columns ? GRID_COLDRAG : GRID_ROWDRAG;
    if (!(grid.state & bit)) {
        grid.savedWholeRows = grid.style & GS_WHOLEROWS;
        grid.style &= ~GS_WHOLEROWS;  // a partly shown last row stays drawn while sizes change
    }
    grid.state |= bit;
    grid.dragIndex = uint16_t(dragged);
    grid.dragStartSize = (columns ? grid.widths : grid.heights)[dragged];
    grid.dragStartCoordinate = uint16_t(GridClamp(at, 0, 0xFFFF));
}

static bool HasDataCells(const GridState& grid)
{
    return grid.rowCount > 1 && grid.columnCount > 1;
}

static void SelectBlock(GridState& grid, int anchorRow, int anchorColumn, int row, int column)
{
    grid.anchorRow = anchorRow;
    grid.anchorColumn = anchorColumn;
    grid.currentRow = row;
    grid.currentColumn = column;
    GridFinishMove(grid);
}

// A press on a data cell selects it (Shift on a multi-select grid keeps the anchor); on a
// multi-select grid a header press selects whole columns, whole rows or everything.
static void SelectAt(GridState& grid, int x, int y)
{
    int row = GridRowAtY(grid, y), column = GridColumnAtX(grid, x);
    int lastRow = grid.rowCount - 1, lastColumn = grid.columnCount - 1;
    if (row >= 1 && column >= 1) {
        bool moved = row != grid.currentRow || column != grid.currentColumn;
        if (!(MultiSelect(grid) && (grid.state & GRID_SHIFT))) {
            grid.anchorRow = row;
            grid.anchorColumn = column;
        }
        grid.currentRow = row;
        grid.currentColumn = column;
        GridNotify(grid, GCN_CLICK, GridCurrentCellWord(grid));
        if (moved)
            GridFinishMove(grid);
    } else if (!MultiSelect(grid) || !HasDataCells(grid)) {
        return;
    } else if (row == 0 && column > 0 && grid.hoverZone != kZoneColumnBorder) {
        grid.state |= GRID_COLSELECTDRAG;
        SelectBlock(grid, 1, column, lastRow, column);
    } else if (column == 0 && row > 0 && grid.hoverZone != kZoneRowBorder) {
        grid.state |= GRID_ROWSELECTDRAG;
        SelectBlock(grid, row, 1, row, lastColumn);
    } else if (row == 0 && column == 0 && grid.hoverZone != kZoneRowBorder) {
        SelectBlock(grid, 1, 1, lastRow, lastColumn);
    }
}

void GridOnButtonDown(GridState& grid, int x, int y)
{
    grid.state |= GRID_MOUSEDOWN;
    if (grid.hoverZone == kZoneColumnBorder)
        StartBorderDrag(grid, true, x);
    else if (grid.hoverZone == kZoneRowBorder)
        StartBorderDrag(grid, false, y);
    if (grid.state & GRID_EDITING)
        GridCommitEdit(grid);
    else
        SetFocus(grid.window);
    if (grid.state & GRID_FOCUS)
        SelectAt(grid, x, y);
    else
        SetFocus(grid.window);
    SetCapture(grid.window);
}

static void KillAutoScroll(GridState& grid)
{
    if (grid.autoScrollTimer != 0)
        KillTimer(grid.window, grid.autoScrollTimer);
    grid.autoScrollTimer = 0;
}

// Dragging with the button held moves the current cell (only its column in a whole-column
// drag, only its row in a whole-row drag); outside the window the view scrolls on a timer.
static void DragSelect(GridState& grid, int x, int y, int row, int column)
{
    bool moved = false;
    if (grid.state & GRID_COLSELECTDRAG) {
        if ((moved = column > 0 && column != grid.currentColumn))
            grid.currentColumn = column;
    } else if (grid.state & GRID_ROWSELECTDRAG) {
        if ((moved = row > 0 && row != grid.currentRow))
            grid.currentRow = row;
    } else if (row >= 1 && column >= 1 && (row != grid.currentRow || column != grid.currentColumn)) {
        grid.currentRow = row;
        grid.currentColumn = column;
        moved = true;
    }
    if (moved) {
        GridNotify(grid, GCN_DRAGSELECT, GridCurrentCellWord(grid));
        GridRepaint(grid);
    }

    RECT client;
    GetClientRect(grid.window, &client);
    POINT point = {x, y};
    if (PtInRect(&client, point)) {
        KillAutoScroll(grid);
    } else if (grid.autoScrollTimer == 0) {
        grid.autoScrollTicks = 0;
        grid.autoScrollTimer = SetTimer(grid.window, kAutoScrollTimer, kAutoScrollPeriod, nullptr);
    }
}

static void DragBorder(GridState& grid, bool columns, int at)
{
    int size = grid.dragStartSize + (at - grid.dragStartCoordinate);
    SendMessageA(grid.window, columns ? GCM_SETCOLWIDTH : GCM_SETROWHEIGHT, grid.dragIndex, size < 0 ? 0 : size);
}

static void SetZone(GridState& grid, int zone, const char* cursor)
{
    grid.hoverZone = zone;
    SetCursor(LoadCursorA(nullptr, cursor));
}

// Within 3 pixels of a column border in the header row, or of a row border in the header
// column, the cursor offers sizing (where the style allows it).
static void UpdateHoverZone(GridState& grid, int x, int y, int row, int column)
{
    bool nearColumnBorder = GridColumnAtX(grid, x + 3) != column || GridColumnAtX(grid, x - 3) != column;
    bool nearRowBorder = GridRowAtY(grid, y + 3) != row || GridRowAtY(grid, y - 3) != row;
    if (row == 0 && column >= -1 && nearColumnBorder && !(grid.state & GRID_COLDRAG)) {
        if (grid.hoverZone != kZoneColumnBorder && (grid.style & GS_COLUMNSIZING))
            SetZone(grid, kZoneColumnBorder, IDC_SIZEWE);
    } else if (column == 0 && row > 0 && nearRowBorder && !(grid.state & GRID_ROWDRAG)) {
        if (grid.hoverZone != kZoneRowBorder && (grid.style & GS_ROWSIZING))
            SetZone(grid, kZoneRowBorder, IDC_SIZENS);
    } else if (!BorderDragRuns(grid)) {
        SetZone(grid, kZoneOrdinary, IDC_ARROW);
    }
}

void GridOnMouseMove(GridState& grid, int x, int y)
{
    int row = GridRowAtY(grid, y), column = GridColumnAtX(grid, x);
    if ((grid.state & GRID_MOUSEDOWN) && MultiSelect(grid) && !BorderDragRuns(grid))
        DragSelect(grid, x, y, row, column);
    else if (grid.state & GRID_COLDRAG)
        DragBorder(grid, true, x);
    else if (grid.state & GRID_ROWDRAG)
        DragBorder(grid, false, y);
    UpdateHoverZone(grid, x, y, row, column);
}

static void EndBorderDrag(GridState& grid, uint32_t bit)
{
    if (!(grid.state & bit))
        return;
    grid.state &= ~bit;
    SetZone(grid, kZoneOrdinary, IDC_ARROW);
    grid.style = (grid.style & ~GS_WHOLEROWS) | (grid.savedWholeRows & GS_WHOLEROWS);
    // Widths and heights settled: lay out the scroll bars again and repaint.
    SendMessageA(grid.window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(grid.clientWidth, grid.clientHeight));
}

// Also what losing the mouse capture to another window does, so no drag or timer outlives
// the button.
void GridEndMouseDrags(GridState& grid)
{
    grid.state &= ~(GRID_MOUSEDOWN | GRID_COLSELECTDRAG | GRID_ROWSELECTDRAG);
    EndBorderDrag(grid, GRID_COLDRAG);
    EndBorderDrag(grid, GRID_ROWDRAG);
    KillAutoScroll(grid);
}

void GridOnButtonUp(GridState& grid)
{
    GridEndMouseDrags(grid);
    ReleaseCapture();
}

// A double click on the writable current cell starts editing it; any other tells the parent.
void GridOnDoubleClick(GridState& grid, int x, int y)
{
    int row = GridRowAtY(grid, y), column = GridColumnAtX(grid, x);
    bool onCurrent = row == grid.currentRow && column == grid.currentColumn;
    bool readOnly = (GridCellAt(grid, grid.currentRow, grid.currentColumn).flags & GRID_CELL_READONLY) != 0;
    bool dataRows = grid.rowCount > 1;
    if (!(grid.style & GS_EDITABLE) || readOnly || !onCurrent) {
        if (dataRows)
            GridNotify(grid, GCN_DBLCLK, GridCurrentCellWord(grid));
        return;
    }
    if (!GridCurrentCellWritable(grid))
        return;
    GridScrollRowIntoView(grid, grid.currentRow);
    GridBeginEdit(grid);
    GridRedrawEditBox(grid);
}

// One step every m ticks toward a cursor d pixels outside the edge: m is 8 close to the
// edge, 3 further out and 1 far away.
static int AutoScrollStep(int at, int low, int high, int ticks)
{
    int distance, direction;
    if (at < low) {
        distance = low - at;
        direction = -1;
    } else if (at >= high) {
        distance = at - high;
        direction = 1;
    } else {
        return 0;
    }
    int every = distance < 16 ? 8 : distance < 48 ? 3 : 1;
    return ticks % every == 0 ? direction : 0;
}

// Moves a bar's thumb by step within its range; gives the new position.
static int StepBar(const GridState& grid, int bar, int step)
{
    int low = 1, high = 1;
    GetScrollRange(grid.window, bar, &low, &high);
    int position = GridClamp((long long)GetScrollPos(grid.window, bar) + step, 1, high > 1 ? high : 1);
    SetScrollPos(grid.window, bar, position, FALSE);
    return position;
}

// Only the view moves; the current cell follows with the next mouse move.
void GridOnAutoScrollTick(GridState& grid)
{
    RECT client;
    GetClientRect(grid.window, &client);
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    ScreenToClient(grid.window, &cursor);
    int verticalStep = AutoScrollStep(cursor.y, client.top, client.bottom, grid.autoScrollTicks);
    int horizontalStep = AutoScrollStep(cursor.x, client.left, client.right, grid.autoScrollTicks);
    if (grid.state & GRID_HSCROLLSHOWN) {
        int left = StepBar(grid, SB_HORZ, horizontalStep);
        grid.leftColumn = uint16_t(GridClamp(left, 1, grid.columnCount > 1 ? grid.columnCount - 1 : 1));
    }
    if (grid.state & GRID_VSCROLLSHOWN) {
        int top = StepBar(grid, SB_VERT, verticalStep);
        grid.topRow = uint16_t(GridClamp(top, 1, grid.rowCount > 1 ? grid.rowCount - 1 : 1));
    }
    if (grid.state & (GRID_HSCROLLSHOWN | GRID_VSCROLLSHOWN))
        GridRepaint(grid);
    ++grid.autoScrollTicks;
}
