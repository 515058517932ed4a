// Drawing the grid: title band, then column by column the header and the cells, then the
// current-cell frame, all into an off-screen bitmap with GS_DOUBLEBUFFER.
#include <cstdio>

#include "controls/grid_state.h"
#include "controls/offscreen.h"

static const UINT kHeaderTextFormat = DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_NOPREFIX | DT_END_ELLIPSIS;

static COLORREF Average(COLORREF a, COLORREF b)
{
    return RGB((GetRValue(a) + GetRValue(b)) / 2, (GetGValue(a) + GetGValue(b)) / 2,
               (GetBValue(a) + GetBValue(b)) / 2);
}

static bool InSpan(int value, int a, int b)
{
    return a <= b ? value >= a && value <= b : value >= b && value <= a;
}

static bool HasFocus(const GridState& grid)
{
    return (grid.state & GRID_FOCUS) != 0;
}

static void FillGray(HDC dc, int left, int top, int right, int bottom)
{
    RECT rect = {left, top, right, bottom};
    if (right > left && bottom > top)
        FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
}

static void DrawText(HDC dc, const char* text, RECT rect, UINT format)
{
    DrawTextExA(dc, const_cast<char*>(text), -1, &rect, format, nullptr);
}

// Header look: a filled box outlined by the context's pen, with an etched edge inside.
static RECT FillEtched(HDC dc, RECT rect, COLORREF background)
{
    HBRUSH brush = CreateSolidBrush(background);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
    DrawEdge(dc, &rect, EDGE_ETCHED, BF_RECT | BF_ADJUST);
    return rect;
}

static void PaintTitle(const GridState& grid, HDC dc)
{
    if (grid.titleHeight == 0)
        return;
    RECT rect = {0, 0, grid.clientWidth, grid.titleHeight};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, (grid.state & GRID_DISABLED) ? kGridDisabledText : grid.colors[GCC_TITLETEXT]);
    SelectObject(dc, grid.titleFont);
    DrawEdge(dc, &rect, EDGE_ETCHED, BF_RECT | BF_MIDDLE | BF_ADJUST);
    DrawText(dc, grid.title, rect, kHeaderTextFormat);
}

static UINT CellTextFormat(const GridState& grid, int row, int column)
{
    UINT format = DT_NOPREFIX | DT_SINGLELINE;
    const GridCell& cell = GridCellAt(grid, row, column);
    if (cell.flags & GRID_CELL_OWNALIGN) {
        uint32_t align = GridDecodeAlign(cell.flags);
        format |= (align & GA_CENTER) ? DT_CENTER : (align & GA_RIGHT) ? DT_RIGHT : DT_LEFT;
        format |= (align & GA_MIDDLE) ? DT_VCENTER : (align & GA_BOTTOM) ? DT_BOTTOM : DT_TOP;
    } else if (column > 0 && GridClassifyText(GridCellText(grid, row, column)) == GRID_TYPE_TEXT) {
        if (grid.style & GS_TEXTRIGHT)
            format |= DT_RIGHT;
    } else {
        format |= DT_VCENTER;
        if (!(grid.style & GS_NUMBERLEFT))
            format |= DT_RIGHT;
    }
    if (grid.style & GS_ELLIPSIS)
        format |= DT_END_ELLIPSIS;
    return format;
}

static void DrawCellText(const GridState& grid, HDC dc, RECT rect, int row, int column, const char* text)
{
    rect.left += 2;
    rect.right -= 2;
    DrawText(dc, text, rect, CellTextFormat(grid, row, column));
}

static COLORREF CellTextColor(const GridState& grid, const GridCell& cell)
{
    if ((grid.style & GS_MARKCHANGED) && (cell.flags & GRID_CELL_CHANGED))
        return grid.colors[GCC_CHANGEDTEXT];
    if (grid.state & GRID_DISABLED)
        return kGridDisabledText;
    if (grid.style & GS_CELLCOLORS)
        return cell.textColor;
    return grid.colors[GCC_TEXT];
}

static COLORREF CellBackground(const GridState& grid, int row, int column)
{
    const GridCell& cell = GridCellAt(grid, row, column);
    bool selected = InSpan(row, grid.anchorRow, grid.currentRow) && InSpan(column, grid.anchorColumn, grid.currentColumn);
    bool markSet = grid.markRow1 || grid.markColumn1 || grid.markRow2 || grid.markColumn2;
    bool marked = markSet && InSpan(row, grid.markRow1, grid.markRow2) && InSpan(column, grid.markColumn1, grid.markColumn2);
    bool cellColors = (grid.style & GS_CELLCOLORS) != 0;
    COLORREF selection = HasFocus(grid) ? kGridSelection : kGridSelectionNoFocus;
    if (selected && (grid.style & GS_SHOWSELECTION)) {
        if (marked)
            return Average(grid.colors[GCC_MARKBK], selection);
        if (cellColors && (grid.style & GS_BLENDSELECTION))
            return Average(cell.background, selection);
        return selection;
    }
    if (marked)
        return grid.colors[GCC_MARKBK];
    bool readOnly = (cell.flags & GRID_CELL_READONLY) != 0;
    if (cellColors)
        return readOnly ? Average(cell.background, grid.colors[GCC_READONLYBK]) : cell.background;
    return readOnly ? grid.colors[GCC_READONLYBK] : grid.colors[GCC_CELLBK];
}

static COLORREF HeaderBackground(const GridState& grid, bool highlighted)
{
    if (!highlighted)
        return grid.colors[GCC_HEADERBK];
    return HasFocus(grid) ? grid.colors[GCC_SELHEADERBK] : kGridSelHeaderNoFocus;
}

static void PaintRowHeader(const GridState& grid, HDC dc, RECT rect, int row)
{
    bool highlighted = (grid.style & GS_ROWHEADERSELECT) && InSpan(row, grid.anchorRow, grid.currentRow);
    FillEtched(dc, rect, HeaderBackground(grid, highlighted));
    char number[16];
    const char* text = GridCellText(grid, row, 0);
    if (grid.style & GS_ROWNUMBERS) {
        snprintf(number, sizeof(number), "%d", row);
        text = number;
    }
    DrawCellText(grid, dc, rect, row, 0, text);
}

static void PaintDataCell(const GridState& grid, HDC dc, RECT rect, int row, int column)
{
    HBRUSH brush = CreateSolidBrush(CellBackground(grid, row, column));
    HPEN pen = CreatePen(PS_SOLID, 1, grid.colors[GCC_GRIDLINE]);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
    DrawCellText(grid, dc, rect, row, column, GridCellText(grid, row, column));
}

static void PaintColumnHeader(const GridState& grid, HDC dc, RECT rect, int column)
{
    char letters[3];
    const char* text = GridCellText(grid, 0, column);
    if ((grid.style & GS_COLUMNLETTERS) && column > 0) {
        GridColumnLetters(column, letters);
        text = letters;
    }
    bool highlighted = (grid.style & GS_COLHEADERSELECT) && column > 0 &&
                       InSpan(column, grid.anchorColumn, grid.currentColumn);
    DrawText(dc, text, FillEtched(dc, rect, HeaderBackground(grid, highlighted)), kHeaderTextFormat);
}

static void PaintColumn(const GridState& grid, HDC dc, int column, int x, bool lastShown)
{
    int top = grid.titleHeight;
    RECT header = {x, top, x + grid.widths[column], top + grid.heights[0]};
    if (lastShown && (grid.style & GS_FILLLASTCOLUMN) && header.right < grid.clientWidth)
        header.right = grid.clientWidth;
    else if (lastShown)
        FillGray(dc, header.right, top, grid.clientWidth, grid.clientHeight);

    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, grid.headerFont);
    SetTextColor(dc, (grid.state & GRID_DISABLED) ? kGridDisabledText : grid.colors[GCC_TEXT]);
    PaintColumnHeader(grid, dc, header, column);

    SelectObject(dc, grid.cellFont);
    int lastRow = grid.lastVisibleRow;
    if ((grid.style & GS_WHOLEROWS) && (grid.state & GRID_VSCROLLSHOWN) && (grid.state & GRID_ROWSOVERFLOW))
        --lastRow;
    int y = header.bottom;
    for (int row = grid.topRow; row <= lastRow && row < grid.rowCount; ++row) {
        if (grid.heights[row] == 0)
            continue;
        RECT cell = {header.left, y, header.right, y + grid.heights[row]};
        SetTextColor(dc, CellTextColor(grid, GridCellAt(grid, row, column)));
        if (column == 0)
            PaintRowHeader(grid, dc, cell, row);
        else
            PaintDataCell(grid, dc, cell, row, column);
        if (row == grid.currentRow && column == grid.currentColumn && (grid.state & GRID_EDITING))
            GridDrawEditBox(grid, dc);
        y = cell.bottom;
    }
    FillGray(dc, header.left, y, header.right, grid.clientHeight);
}

static void PaintFocusFrame(const GridState& grid, HDC dc)
{
    if (grid.rowCount <= 1 || grid.currentRow < grid.topRow || grid.currentRow > grid.lastVisibleRow ||
        grid.currentColumn < grid.leftColumn || grid.currentColumn > grid.lastVisibleColumn)
        return;
    RECT rect = GridCellRect(grid, grid.currentRow, grid.currentColumn);
    HPEN pen = CreatePen(PS_SOLID, HasFocus(grid) ? 3 : 1, grid.colors[GCC_FOCUSFRAME]);
    int oldRop = SetROP2(dc, R2_XORPEN);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    SetROP2(dc, oldRop);
    DeleteObject(pen);
}

static void PaintAll(HDC dc, void* context)
{
    const GridState& grid = *static_cast<const GridState*>(context);
    int saved = SaveDC(dc);
    PaintTitle(grid, dc);
    int lastShown = 0;
    for (int c = grid.leftColumn; c <= grid.lastVisibleColumn; ++c)
        if (grid.widths[c] != 0)
            lastShown = c;
    PaintColumn(grid, dc, 0, 0, lastShown == 0);
    int x = grid.widths[0];
    for (int c = grid.leftColumn; c <= grid.lastVisibleColumn; ++c) {
        if (grid.widths[c] == 0)
            continue;
        PaintColumn(grid, dc, c, x, c == lastShown);
        x += grid.widths[c];
    }
    PaintFocusFrame(grid, dc);
    RestoreDC(dc, saved);
}

void GridPaint(GridState& grid, HDC target)
{
    if (grid.clientWidth == 0 || grid.clientHeight == 0)
        return;
    if (grid.style & GS_DOUBLEBUFFER)
        PaintOffscreen(target, grid.clientWidth, grid.clientHeight, PaintAll, &grid);
    else
        PaintAll(target, &grid);
    GridPlaceCaret(grid);
}
