// The grid's own messages (GCM_): what owners set and read.
#include <cstring>

#include "controls/grid_state.h"

static int RowOf(WPARAM cell) { return LOWORD(cell); }
static int ColumnOf(WPARAM cell) { return HIWORD(cell); }

// Checked messages: a cell outside the grid is reported to the parent and refused.
static bool CheckCell(const GridState& grid, WPARAM cell)
{
    if (GridCellInside(grid, RowOf(cell), ColumnOf(cell)))
        return true;
    GridNotify(grid, GCN_BADCELL, 0);
    return false;
}

static void SetFlag(GridCell* cell, uint32_t flag, bool on)
{
    if (cell == nullptr)
        return;
    if (on)
        cell->flags |= flag;
    else
        cell->flags &= ~flag;
}

// GS_AUTOSIZE: widen the column, and for several lines heighten the row, to fit the text.
static void AutoSize(GridState& grid, int row, int column, const char* text, uint32_t length)
{
    HDC dc = GetDC(grid.window);
    HGDIOBJ oldFont = SelectObject(dc, row == 0 ? grid.headerFont : grid.cellFont);
    int width = 0, lineHeight = 0, lines = 1;
    const char* line = text;
    for (uint32_t i = 0; i <= length; ++i) {
        if (i < length && text[i] != '\n')
            continue;
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc, line, int(text + i - line), &size);
        width = size.cx > width ? size.cx : width;
        lineHeight = size.cy > lineHeight ? size.cy : lineHeight;
        if (i < length) {
            ++lines;
            line = text + i + 1;
        }
    }
    SelectObject(dc, oldFont);
    ReleaseDC(grid.window, dc);
    int needed = (grid.style & GS_ELLIPSIS) && row != 0 ? lineHeight + 5 : lines * lineHeight + 5;
    if (lines > 1 && grid.heights[row] < needed)
        SendMessageA(grid.window, GCM_SETROWHEIGHT, WPARAM(row), needed);
    if (grid.widths[column] < width + 5)
        SendMessageA(grid.window, GCM_SETCOLWIDTH, WPARAM(column), width + 5);
}

static LRESULT OnSetCellText(GridState& grid, WPARAM cell, const GridTextRef* ref)
{
    if (ref == nullptr || ref->text == nullptr || ref->size == 0)
        return 0;
    if (!CheckCell(grid, cell))
        return 0;
    int row = RowOf(cell), column = ColumnOf(cell);
    uint32_t length = uint32_t(strnlen(ref->text, ref->size));
    if (length == ref->size)
        length = 0;  // no terminator within the allowed size: stored empty
    if (!GridStoreText(grid, row, column, ref->text, length))
        return 0;
    RECT rect = GridCellRect(grid, row, column);
    InvalidateRect(grid.window, &rect, FALSE);
    if ((grid.style & GS_AUTOSIZE) && length > 0)
        AutoSize(grid, row, column, ref->text, length);
    GridNotify(grid, GCN_TEXTSET, GridCellWord(row, column));
    return 1;
}

static LRESULT OnGetCellText(GridState& grid, WPARAM cell, const GridTextRef* ref)
{
    if (ref == nullptr)
        return 0;
    if (!CheckCell(grid, cell))
        return 0;
    if (ref->text != nullptr && ref->size > 0) {
        const char* text = GridCellText(grid, RowOf(cell), ColumnOf(cell));
        size_t length = strnlen(text, ref->size - 1);
        memcpy(ref->text, text, length);
        ref->text[length] = '\0';
    }
    return 1;
}

static void OnReset(GridState& grid)
{
    GridClearTexts(grid);
    GridResize(grid, 0, grid.columnCount - 1);
    grid.currentRow = grid.anchorRow = 1;
    grid.topRow = 1;
    grid.leftColumn = 1;
    InvalidateRect(grid.window, nullptr, TRUE);
}

static void OnSetGridSize(GridState& grid, WPARAM rows, LPARAM columns)
{
    unsigned dataRows = unsigned(rows > WPARAM(kGridMaxDataRows) ? WPARAM(kGridMaxDataRows) : rows);
    unsigned dataColumns = unsigned(GridClamp(columns, 0, kGridMaxDataColumns));
    GridResize(grid, dataRows, dataColumns);
    SendMessageA(grid.window, WM_SIZE, SIZE_MAXIMIZED, MAKELONG(100, 100));
}

static void OnSelectCell(GridState& grid, WPARAM row, LPARAM column)
{
    if (row == 0 || row >= grid.rowCount || column <= 0 || column >= grid.columnCount)
        return;
    grid.currentRow = grid.anchorRow = int(row);
    grid.currentColumn = grid.anchorColumn = int(column);
    GridScrollRowIntoView(grid, int(row));
    GridScrollColumnIntoView(grid, int(column));
    GridRepaint(grid);
}

static LRESULT OnGetSelection(const GridState& grid, DWORD* anchor, DWORD* current)
{
    if (anchor != nullptr)
        *anchor = DWORD(GridCellWord(grid.anchorRow, grid.anchorColumn));
    if (current != nullptr)
        *current = DWORD(GridCurrentCellWord(grid));
    return 1;
}

// Unlike the other positions, a selection set from outside is brought into the grid, so
// nothing that walks the selection later can leave the cell table.
static void OnSetSelection(GridState& grid, WPARAM anchor, LPARAM current)
{
    int lastRow = grid.rowCount > 1 ? grid.rowCount - 1 : 1;
    int lastColumn = grid.columnCount > 1 ? grid.columnCount - 1 : 1;
    grid.anchorRow = GridClamp(RowOf(anchor), 1, lastRow);
    grid.anchorColumn = GridClamp(ColumnOf(anchor), 1, lastColumn);
    grid.currentRow = GridClamp(RowOf(WPARAM(current)), 1, lastRow);
    grid.currentColumn = GridClamp(ColumnOf(WPARAM(current)), 1, lastColumn);
    GridRepaint(grid);
}

// A column width or row height; while that direction's bar is shown its range becomes the
// count of shown columns or rows until the next paint works it out again.
static void SetWidthOrHeight(GridState& grid, bool column, WPARAM index, LPARAM size)
{
    if (index >= (column ? grid.columnCount : grid.rowCount))
        return;
    (column ? grid.widths : grid.heights)[index] = uint16_t(GridClamp(size, 0, 0xFFFF));
    if (grid.state & (column ? GRID_HSCROLLSHOWN : GRID_VSCROLLSHOWN)) {
        int shown = column ? GridShownColumnsUpTo(grid, grid.columnCount - 1) : GridShownDataRows(grid);
        SetScrollRange(grid.window, column ? SB_HORZ : SB_VERT, 1, shown > 1 ? shown : 1, TRUE);
    }
    GridRepaint(grid);
}

static void OnSetTitleHeight(GridState& grid, WPARAM height)
{
    grid.titleHeight = uint16_t(height > 0xFFFF ? 0xFFFF : height);
    GridScrollRowIntoView(grid, grid.currentRow);
    GridScrollColumnIntoView(grid, grid.currentColumn);
    GridRepaint(grid);
}

static void OnClearAllChanged(GridState& grid)
{
    for (int r = 0; r < grid.rowCount; ++r)
        if (grid.rows[r] != nullptr)
            for (int c = 0; c < grid.columnCount; ++c)
                grid.rows[r][c].flags &= ~GRID_CELL_CHANGED;
}

static void OnSetCellAlign(GridState& grid, WPARAM cell, LPARAM align)
{
    GridCell* target = GridMutableCell(grid, RowOf(cell), ColumnOf(cell));
    if (target == nullptr)
        return;
    target->flags = (target->flags & ~(GRID_CELL_ALIGNBITS | GRID_CELL_OWNALIGN)) | GridEncodeAlign(uint32_t(align));
    GridRepaint(grid);
}

static void OnSetMarkRange(GridState& grid, WPARAM first, LPARAM second)
{
    grid.markRow1 = LOWORD(first);
    grid.markColumn1 = HIWORD(first);
    grid.markRow2 = LOWORD(second);
    grid.markColumn2 = HIWORD(second);
    GridRepaint(grid);
}

static LRESULT OnGetCellRect(const GridState& grid, WPARAM cell, RECT* rect)
{
    if (rect != nullptr && GridCellInside(grid, RowOf(cell), ColumnOf(cell)))
        *rect = GridCellRect(grid, RowOf(cell), ColumnOf(cell));
    return 1;
}

static void SetFont(GridState& grid, HFONT& slot, WPARAM font)
{
    if (font != 0)
        slot = reinterpret_cast<HFONT>(font);
    GridRepaint(grid);
}

// Unchecked cell messages: a cell outside the grid reads as a fresh cell and takes no writes.
LRESULT GridOnGridMessage(GridState& grid, UINT message, WPARAM wParam, LPARAM lParam)
{
    const GridTextRef* ref = reinterpret_cast<const GridTextRef*>(lParam);
    switch (message) {
    case GCM_SETSTYLE:
        grid.style = wParam == 0 ? 0 : grid.style | uint32_t(wParam);
        if (lParam != 0)
            GridRepaint(grid);
        return 0;
    case GCM_GETSTYLE:
        return grid.style;
    case GCM_CLEARSTYLE:
        grid.style &= ~uint32_t(wParam);
        if (lParam != 0)
            GridRepaint(grid);
        return 0;
    case GCM_SETCELLTEXT:
        return OnSetCellText(grid, wParam, ref);
    case GCM_GETCELLTEXT:
        return OnGetCellText(grid, wParam, ref);
    case GCM_RESET:
        OnReset(grid);
        return 0;
    case GCM_SETSIZE:
        OnSetGridSize(grid, wParam, lParam);
        return 0;
    case GCM_SELECTCELL:
        OnSelectCell(grid, wParam, lParam);
        return 0;
    case GCM_GETCELLTYPE:
        return CheckCell(grid, wParam) ? GridClassifyText(GridCellText(grid, RowOf(wParam), ColumnOf(wParam))) : 0;
    case GCM_SETREADONLY: {
        if (!CheckCell(grid, wParam))
            return -1;
        GridCell* cell = GridMutableCell(grid, RowOf(wParam), ColumnOf(wParam));
        SetFlag(cell, GRID_CELL_READONLY, lParam != 0);
        return cell != nullptr ? 0 : -1;
    }
    case GCM_GETREADONLY:
        if (!CheckCell(grid, wParam))
            return -1;
        return GridCellAt(grid, RowOf(wParam), ColumnOf(wParam)).flags & GRID_CELL_READONLY;
    case GCM_GETCELLCHANGED:
        return GridCellAt(grid, RowOf(wParam), ColumnOf(wParam)).flags & GRID_CELL_CHANGED;
    case GCM_SETCELLCHANGED:
        SetFlag(GridMutableCell(grid, RowOf(wParam), ColumnOf(wParam)), GRID_CELL_CHANGED, lParam != 0);
        return 0;
    case GCM_CLEARALLCHANGED:
        OnClearAllChanged(grid);
        if (lParam != 0)
            GridRepaint(grid);
        return 0;
    case GCM_SETCELLBKCOLOR:
    case GCM_SETCELLTEXTCOLOR:
        if (GridCell* cell = GridMutableCell(grid, RowOf(wParam), ColumnOf(wParam)))
            (message == GCM_SETCELLBKCOLOR ? cell->background : cell->textColor) = COLORREF(lParam) & 0xFFFFFF;
        return 0;
    case GCM_GETCELLBKCOLOR:
        return GridCellAt(grid, RowOf(wParam), ColumnOf(wParam)).background;
    case GCM_GETCELLTEXTCOLOR:
        return GridCellAt(grid, RowOf(wParam), ColumnOf(wParam)).textColor;
    case GCM_GETROWCOUNT:
        return grid.rowCount - 1;
    case GCM_GETCOLCOUNT:
        return grid.columnCount - 1;
    case GCM_GETCURROW:
        return grid.currentRow;
    case GCM_GETCURCOL:
        return grid.currentColumn;
    case GCM_GETSELECTION:
        return OnGetSelection(grid, reinterpret_cast<DWORD*>(wParam), reinterpret_cast<DWORD*>(lParam));
    case GCM_SETSELECTION:
        OnSetSelection(grid, wParam, lParam);
        return 0;
    case GCM_REDRAW:
        GridRedrawNow(grid);
        return 0;
    case GCM_SETCOLWIDTH:
        SetWidthOrHeight(grid, true, wParam, lParam);
        return 0;
    case GCM_GETCOLWIDTH:
        return wParam < grid.columnCount ? grid.widths[wParam] : 0;
    case GCM_SETROWHEIGHT:
        SetWidthOrHeight(grid, false, wParam, lParam);
        return 0;
    case GCM_GETROWHEIGHT:
        return wParam < grid.rowCount ? grid.heights[wParam] : 0;
    case GCM_SETTITLEHEIGHT:
        OnSetTitleHeight(grid, wParam);
        return 0;
    case GCM_SETTITLEFONT:
        SetFont(grid, grid.titleFont, wParam);
        return 0;
    case GCM_SETHEADERFONT:
        SetFont(grid, grid.headerFont, wParam);
        return 0;
    case GCM_GETMODIFIED:
        return (grid.state & GRID_MODIFIED) ? 1 : 0;
    case GCM_SETMODIFIED:
        grid.state = wParam != 0 ? grid.state | GRID_MODIFIED : grid.state & ~GRID_MODIFIED;
        return 0;
    case GCM_SETCELLALIGN:
        OnSetCellAlign(grid, wParam, lParam);
        return 0;
    case GCM_GETCELLALIGN:
        return GridDecodeAlign(GridCellAt(grid, RowOf(wParam), ColumnOf(wParam)).flags);
    case GCM_SETMARKRANGE:
        OnSetMarkRange(grid, wParam, lParam);
        return 0;
    case GCM_SETCOLOR:
        if (wParam < GCC_COUNT)
            grid.colors[wParam] = COLORREF(lParam);
        GridRepaint(grid);
        return 0;
    case GCM_GETCOLOR:
        return wParam < GCC_COUNT ? grid.colors[wParam] : 0;
    case GCM_GETCELLTEXTSIZE:
        if (wParam > 0xFFFF || lParam < 0 || lParam > 0xFFFF)
            return 0;
        return GridCellAt(grid, int(wParam), int(lParam)).textSize;
    case GCM_GETCELLRECT:
        return OnGetCellRect(grid, wParam, reinterpret_cast<RECT*>(lParam));
    case GCM_COPY:
        return GridCopy(grid);
    case GCM_PASTE:
        return GridPaste(grid);
    }
    // 335 is unused.
    return 0;
}
