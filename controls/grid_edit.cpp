// In-place editing of the current cell: the edit text typed over the cell, the box that
// shows it with a caret, and committing or dropping it.
#include <cstdio>
#include <cstring>

#include "controls/grid_state.h"

bool GridCurrentCellWritable(const GridState& grid)
{
    if (!(grid.style & GS_EDITABLE) || grid.rowCount <= 1)
        return false;
    if (grid.currentRow < 1 || grid.currentColumn < 1 || !GridCellInside(grid, grid.currentRow, grid.currentColumn))
        return false;
    return (GridCellAt(grid, grid.currentRow, grid.currentColumn).flags & GRID_CELL_READONLY) == 0;
}

// The caret takes the height of the ascent of the window's default font.
void GridCreateCaret(GridState& grid)
{
    HDC dc = GetDC(grid.window);
    TEXTMETRICA metrics = {};
    if (dc != nullptr && GetTextMetricsA(dc, &metrics))
        grid.caretHeight = uint16_t(GridClamp(metrics.tmAscent, 0, 0xFFFF));
    if (dc != nullptr)
        ReleaseDC(grid.window, dc);
    DWORD width = 0;
    if (!SystemParametersInfoA(SPI_GETCARETWIDTH, 0, &width, 0) || width == 0)
        width = 3;
    CreateCaret(grid.window, nullptr, int(width), grid.caretHeight);
    grid.caretShown = false;
}

void GridDestroyCaret(GridState& grid)
{
    DestroyCaret();
    grid.caretShown = false;
}

static void HideGridCaret(GridState& grid)
{
    if (grid.caretShown)
        HideCaret(grid.window);
    grid.caretShown = false;
}

// The box is only drawn while the current cell is not scrolled off to the top or left.
static bool EditBoxInView(const GridState& grid)
{
    return (grid.state & GRID_EDITING) && grid.currentRow >= grid.topRow && grid.currentColumn >= grid.leftColumn &&
           GridCellInside(grid, grid.currentRow, grid.currentColumn);
}

void GridPlaceCaret(GridState& grid)
{
    if (!EditBoxInView(grid)) {
        HideGridCaret(grid);
        return;
    }
    RECT cell = GridCellRect(grid, grid.currentRow, grid.currentColumn);
    SetCaretPos(cell.right - 8, cell.top + 6 + grid.heights[grid.currentRow] / 2 - grid.caretHeight);
    if (!grid.caretShown && (grid.state & GRID_FOCUS))
        grid.caretShown = ShowCaret(grid.window) != FALSE;
}

// A framed box inside the cell with the edit text right-aligned in it, drawn with the
// context's own pen and brush.
void GridDrawEditBox(const GridState& grid, HDC dc)
{
    if (!EditBoxInView(grid))
        return;
    RECT cell = GridCellRect(grid, grid.currentRow, grid.currentColumn);
    RECT frame = {cell.left + 2, cell.top + 2, cell.right - 2, cell.bottom - 2};
    Rectangle(dc, frame.left, frame.top, frame.right, frame.bottom);
    RECT area = {frame.left + 2, frame.top + 2, frame.right - 2 - 5, frame.bottom - 2};
    HGDIOBJ oldFont = SelectObject(dc, grid.cellFont);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc, grid.colors[GCC_TEXT]);
    DrawTextA(dc, grid.editText, -1, &area, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

// After each keystroke the box is drawn straight onto the window (unless drawing is off).
void GridRedrawEditBox(GridState& grid)
{
    HDC dc = (grid.state & GRID_REDRAWOFF) ? nullptr : GetDC(grid.window);
    if (dc != nullptr) {
        GridDrawEditBox(grid, dc);
        ReleaseDC(grid.window, dc);
    }
    GridPlaceCaret(grid);
}

// Editing always starts from an empty text, whatever the cell holds.
void GridBeginEdit(GridState& grid)
{
    if (grid.state & GRID_EDITING)
        return;
    grid.editText[0] = '\0';
    GridNotify(grid, GCN_BEGINEDIT, GridCurrentCellWord(grid));
    grid.state |= GRID_EDITING;
}

void GridEditAppend(GridState& grid, char character)
{
    size_t length = strnlen(grid.editText, sizeof(grid.editText) - 1);
    if (length > kGridEditMax) {
        MessageBeep(0);
    } else {
        grid.editText[length] = character;
        grid.editText[length + 1] = '\0';
    }
    GridRedrawEditBox(grid);
}

void GridEditBackspace(GridState& grid)
{
    size_t length = strnlen(grid.editText, sizeof(grid.editText) - 1);
    if (length > 0)
        grid.editText[length - 1] = '\0';
    GridRedrawEditBox(grid);
}

// The editing bit is cleared before the parent hears of the commit, so a parent that moves
// the focus from its handler cannot commit the same text twice.
void GridCommitEdit(GridState& grid)
{
    if (!(grid.state & GRID_EDITING))
        return;
    grid.state &= ~GRID_EDITING;
    char text[kGridTextBuffer];
    snprintf(text, sizeof(text), "%s", grid.editText);
    grid.editText[0] = '\0';

    int row = grid.currentRow, column = grid.currentColumn;
    char present[512];
    snprintf(present, sizeof(present), "%s", GridCellText(grid, row, column));
    if (strcmp(present, text) != 0) {
        if (GridCell* cell = GridMutableCell(grid, row, column))
            cell->flags |= GRID_CELL_CHANGED;
        grid.state |= GRID_MODIFIED;
    }
    GridNotify(grid, GCN_ENDEDIT, GridCellWord(row, column));
    GridTextRef ref = {text, sizeof(text)};
    SendMessageA(grid.window, GCM_SETCELLTEXT, WPARAM(GridCellWord(row, column)), LPARAM(&ref));
    GridRepaint(grid);
    HideGridCaret(grid);
}

// Escape: the cell keeps its text.
void GridCancelEdit(GridState& grid)
{
    if (!(grid.state & GRID_EDITING))
        return;
    grid.state &= ~GRID_EDITING;
    grid.editText[0] = '\0';
    HideGridCaret(grid);
    GridRepaint(grid);
    GridNotify(grid, GCN_ENDEDIT, GridCurrentCellWord(grid));
}
