// The grid's window class: registration, the window procedure and the standard messages.
#include <cstdio>
#include <cstring>

#include <windowsx.h>

#include "controls/grid_state.h"
#include "controls/offscreen.h"

const char kGridControlClass[] = "KVGRIDCONTROL";

LRESULT GridOnGridMessage(GridState& grid, UINT message, WPARAM wParam, LPARAM lParam);

static LRESULT OnNcCreate(HWND window, WPARAM wParam, LPARAM lParam)
{
    GridState* grid = GridCreateState(window);
    if (grid == nullptr)
        return FALSE;
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(grid));
    return DefWindowProcA(window, WM_NCCREATE, wParam, lParam) ? TRUE : FALSE;
}

static LRESULT OnCreate(GridState& grid, const CREATESTRUCTA* create)
{
    grid.controlId = UINT(GetWindowLongPtrA(grid.window, GWLP_ID));
    SendMessageA(grid.window, WM_SETTEXT, 0, LPARAM(create->lpszName));
    return 0;
}

static void OnSetText(GridState& grid, const char* text)
{
    if (text == nullptr)
        text = "";
    size_t length = strnlen(text, kGridTitleMax + 1);
    if (length > kGridTitleMax)
        text = "Title too long (300 chars max)";
    snprintf(grid.title, sizeof(grid.title), "%s", text);

    grid.titleHeight = 0;
    if (grid.title[0] != '\0') {
        int lines = 1;
        for (const char* p = grid.title; *p != '\0'; ++p)
            lines += *p == '\n';
        HDC dc = GetDC(grid.window);
        HGDIOBJ oldFont = SelectObject(dc, grid.titleFont);
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc, grid.title, int(strlen(grid.title)), &size);
        SelectObject(dc, oldFont);
        ReleaseDC(grid.window, dc);
        double height = size.cy * 1.2 * lines;
        grid.titleHeight = uint16_t(height < 65535 ? height : 65535);
    }
    GridRepaint(grid);
    SendMessageA(grid.window, WM_SIZE, SIZE_MAXIMIZED, MAKELONG(100, 100));
}

static void OnSetFont(GridState& grid, HFONT font)
{
    if (font == nullptr)
        return;
    if (grid.ownCellFont != nullptr && grid.ownCellFont != font)
        DeleteObject(grid.ownCellFont);
    grid.ownCellFont = nullptr;
    grid.cellFont = font;
    GridRepaint(grid);
}

static void SetStateBit(GridState& grid, uint32_t bit, bool on)
{
    if (on)
        grid.state |= bit;
    else
        grid.state &= ~bit;
}

static void OnSize(GridState& grid)
{
    GridReadClientSize(grid);
    // Scroll bars shown or hidden during layout resize the client area; the paint that
    // runs the layout already uses the new size.
    if (!grid.inLayout)
        SendMessageA(grid.window, GCM_REDRAW, 0, 0);
}

static void PaintGrid(HDC dc, void* grid)
{
    GridPaint(*static_cast<GridState*>(grid), dc);
}

static void OnPaint(GridState& grid, HDC given)
{
    if (grid.state & GRID_REDRAWOFF) {
        ValidateRect(grid.window, nullptr);
        return;
    }
    GridUpdateLayout(grid);
    PaintWindow(grid.window, given, PaintGrid, &grid);
}

// The focus bit decides the selection and frame colours; the caret exists while the grid
// has the focus and shows only while a cell is edited.
static void OnSetFocus(GridState& grid)
{
    grid.state |= GRID_FOCUS;
    GridNotify(grid, GCN_SETFOCUS, 0);
    GridCreateCaret(grid);
    GridRepaint(grid);
}

// An edit in progress is kept, not lost, when the focus goes elsewhere.
static void OnKillFocus(GridState& grid)
{
    GridDestroyCaret(grid);
    grid.state &= ~(GRID_FOCUS | GRID_SHIFT | GRID_CTRL);
    GridNotify(grid, GCN_KILLFOCUS, 0);
    GridCommitEdit(grid);
    GridRepaint(grid);
}

static LRESULT OnNcDestroy(HWND window, GridState* grid)
{
    SetWindowLongPtrA(window, 0, 0);
    GridDestroyState(grid);
    return 0;
}

LRESULT CALLBACK GridControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        return OnNcCreate(window, wParam, lParam);
    GridState* grid = GridStateOf(window);
    if (grid == nullptr)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message >= GCM_SETSTYLE && message <= GCM_GETCELLRECT)
        return GridOnGridMessage(*grid, message, wParam, lParam);
    switch (message) {
    case WM_CREATE:
        return OnCreate(*grid, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_SETTEXT:
        OnSetText(*grid, reinterpret_cast<const char*>(lParam));
        return 0;
    case WM_SETFONT:
        OnSetFont(*grid, reinterpret_cast<HFONT>(wParam));
        return 0;
    case WM_ENABLE:
        SetStateBit(*grid, GRID_DISABLED, wParam == 0);
        GridRepaint(*grid);
        return 0;
    case WM_SETREDRAW:
        SetStateBit(*grid, GRID_REDRAWOFF, wParam == 0);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTALLKEYS | DLGC_DEFPUSHBUTTON | DLGC_WANTCHARS;
    case WM_MOUSEACTIVATE:
        SetFocus(window);
        return MA_ACTIVATE;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        OnPaint(*grid, reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_PRINTCLIENT:
        if (wParam != 0)
            OnPaint(*grid, reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_SIZE:
        OnSize(*grid);
        return 0;
    case WM_VSCROLL:
        SetFocus(window);
        GridOnVScroll(*grid, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_HSCROLL:
        SetFocus(window);
        GridOnHScroll(*grid, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        GridOnMouseWheel(*grid, GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    case WM_SETFOCUS:
        OnSetFocus(*grid);
        return 0;
    case WM_KILLFOCUS:
        OnKillFocus(*grid);
        return 0;
    case WM_KEYDOWN:
        GridOnKeyDown(*grid, wParam);
        return 0;
    case WM_KEYUP:
        GridOnKeyUp(*grid, wParam);
        return 0;
    case WM_CHAR:
        return GridOnChar(*grid, wParam);
    case WM_LBUTTONDOWN:
        GridOnButtonDown(*grid, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_MOUSEMOVE:
        GridOnMouseMove(*grid, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
        GridOnButtonUp(*grid);
        return 0;
    case WM_LBUTTONDBLCLK:
        GridOnDoubleClick(*grid, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != window)
            GridEndMouseDrags(*grid);
        return 0;
    case WM_TIMER:
        if (wParam == grid->autoScrollTimer && wParam != 0)
            GridOnAutoScrollTick(*grid);
        return 0;
    case WM_NCDESTROY:
        return OnNcDestroy(window, grid);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

ATOM RegisterGridControlClass(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS;
    // Owners may read the first 4 bytes; the state pointer needs all of a pointer's width.
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.lpfnWndProc = GridControlProc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
    wc.lpszClassName = kGridControlClass;
    return RegisterClassA(&wc);
}

LRESULT GridGetCellText(char* buffer, uint32_t bufferSize, HWND grid, int row, int column)
{
    GridTextRef ref = {buffer, bufferSize};
    return SendMessageA(grid, GCM_GETCELLTEXT, WPARAM(DWORD(MAKELONG(row, column))), LPARAM(&ref));
}

LRESULT GridSetCellText(const char* text, uint32_t size, HWND grid, int row, int column)
{
    GridTextRef ref = {const_cast<char*>(text), size};
    return SendMessageA(grid, GCM_SETCELLTEXT, WPARAM(DWORD(MAKELONG(row, column))), LPARAM(&ref));
}
