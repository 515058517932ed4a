// Dragging the borders of columns and rows to size them, and the cursor that offers it.
#include "controls/grid_state.h"

bool GridBorderDragRuns(const GridState& grid)
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

static void StartDrag(GridState& grid, bool columns, int at)
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

// A press over a border (hover zone 2 or 3) starts dragging it.
void GridStartBorderDrag(GridState& grid, int x, int y)
{
    if (grid.hoverZone == GRID_ZONE_COLUMNBORDER)
        StartDrag(grid, true, x);
    else if (grid.hoverZone == GRID_ZONE_ROWBORDER)
        StartDrag(grid, false, y);
}

static void DragTo(GridState& grid, bool columns, int at)
{
    int size = grid.dragStartSize + (at - grid.dragStartCoordinate);
    SendMessageA(grid.window, columns ? GCM_SETCOLWIDTH : GCM_SETROWHEIGHT, grid.dragIndex, size < 0 ? 0 : size);
}

void GridDragBorder(GridState& grid, int x, int y)
{
    if (grid.state & GRID_COLDRAG)
        DragTo(grid, true, x);
    else if (grid.state & GRID_ROWDRAG)
        DragTo(grid, false, y);
}

static void SetZone(GridState& grid, int zone, const char* cursor)
{
    grid.hoverZone = zone;
    SetCursor(LoadCursorA(nullptr, cursor));
}

// Within 3 pixels of a column border in the header row, or of a row border in the header
// column, the cursor offers sizing (where the style allows it).
void GridUpdateHoverZone(GridState& grid, int x, int y, int row, int column)
{
    bool nearColumnBorder = GridColumnAtX(grid, x + 3) != column || GridColumnAtX(grid, x - 3) != column;
    bool nearRowBorder = GridRowAtY(grid, y + 3) != row || GridRowAtY(grid, y - 3) != row;
    if (row == 0 && column >= -1 && nearColumnBorder && !(grid.state & GRID_COLDRAG)) {
        if (grid.hoverZone != GRID_ZONE_COLUMNBORDER && (grid.style & GS_COLUMNSIZING))
            SetZone(grid, GRID_ZONE_COLUMNBORDER, IDC_SIZEWE);
    } else if (column == 0 && row > 0 && nearRowBorder && !(grid.state & GRID_ROWDRAG)) {
        if (grid.hoverZone != GRID_ZONE_ROWBORDER && (grid.style & GS_ROWSIZING))
            SetZone(grid, GRID_ZONE_ROWBORDER, IDC_SIZENS);
    } else if (!GridBorderDragRuns(grid)) {
        SetZone(grid, GRID_ZONE_ORDINARY, IDC_ARROW);
    }
}

static void EndDrag(GridState& grid, uint32_t bit)
{
    if (!(grid.state & bit))
        return;
    grid.state &= ~bit;
    SetZone(grid, GRID_ZONE_ORDINARY, IDC_ARROW);
    grid.style = (grid.style & ~GS_WHOLEROWS) | (grid.savedWholeRows & GS_WHOLEROWS);
    // Widths and heights settled: lay out the scroll bars again and repaint.
    SendMessageA(grid.window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(grid.clientWidth, grid.clientHeight));
}

void GridEndBorderDrags(GridState& grid)
{
    EndDrag(grid, GRID_COLDRAG);
    EndDrag(grid, GRID_ROWDRAG);
}
