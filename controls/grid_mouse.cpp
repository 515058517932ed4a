// The mouse: selecting cells, whole rows and columns, dragging a selection, double clicks;
// border dragging and auto-scroll are handed on from here.
#include "controls/grid_state.h"

static bool MultiSelect(const GridState& grid)
{
    return (grid.style & GS_MULTISELECT) != 0;
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
    } else if (row == 0 && column > 0 && grid.hoverZone != GRID_ZONE_COLUMNBORDER) {
        grid.state |= GRID_COLSELECTDRAG;
        SelectBlock(grid, 1, column, lastRow, column);
    } else if (column == 0 && row > 0 && grid.hoverZone != GRID_ZONE_ROWBORDER) {
        grid.state |= GRID_ROWSELECTDRAG;
        SelectBlock(grid, row, 1, row, lastColumn);
    } else if (row == 0 && column == 0 && grid.hoverZone != GRID_ZONE_ROWBORDER) {
        SelectBlock(grid, 1, 1, lastRow, lastColumn);
    }
}

void GridOnButtonDown(GridState& grid, int x, int y)
{
    grid.state |= GRID_MOUSEDOWN;
    GridStartBorderDrag(grid, x, y);
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

// Dragging with the button held moves the current cell (only its column in a whole-column
// drag, only its row in a whole-row drag).
static void DragSelect(GridState& grid, int row, int column)
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
}

void GridOnMouseMove(GridState& grid, int x, int y)
{
    int row = GridRowAtY(grid, y), column = GridColumnAtX(grid, x);
    if ((grid.state & GRID_MOUSEDOWN) && MultiSelect(grid) && !GridBorderDragRuns(grid)) {
        DragSelect(grid, row, column);
        GridFollowWithAutoScroll(grid, x, y);
    } else {
        GridDragBorder(grid, x, y);
    }
    GridUpdateHoverZone(grid, x, y, row, column);
}

// Also what losing the mouse capture to another window does, so no drag or timer outlives
// the button.
void GridEndMouseDrags(GridState& grid)
{
    grid.state &= ~(GRID_MOUSEDOWN | GRID_COLSELECTDRAG | GRID_ROWSELECTDRAG);
    GridEndBorderDrags(grid);
    GridStopAutoScroll(grid);
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

