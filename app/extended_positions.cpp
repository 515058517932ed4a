// "View Extended Positions": the grid and the selector between positions 0 to 7 and 0 to F.
#include <windows.h>

#include <cstdio>

#include "app/app_state.h"
#include "app/grid_rows.h"
#include "app/main_window.h"
#include "app/position_selector.h"
#include "app/prompts.h"
#include "app/software_position.h"
#include "controls/grid_control.h"
#include "resources/resource.h"

static const char kExtendedActiveText[] =
    "An extended position is currently active. Please switch to a position between 0 and 7 or select "
    "\x91"
    "Chip Off"
    "\x92"
    " before disabling extended positions.";

// Rows 9 to 16 come fresh from the grid: their header, colour and read-only column, and
// what the tables in memory hold for them, since Write All writes those files whether
// the grid shows them or not.
static void SetUpExtendedRows(HWND grid)
{
    for (int row = 9; row <= 16; ++row) {
        char header[4];
        snprintf(header, sizeof header, "%X", unsigned(row - 1));
        GridSetCellText(header, sizeof header, grid, row, 0);
        SendMessageA(grid, GCM_SETCELLBKCOLOR, MAKELONG(row, 1), 0xE6FFFF);
        SendMessageA(grid, GCM_SETCELLBKCOLOR, MAKELONG(row, 2), 0xE6FFFF);
        SendMessageA(grid, GCM_SETREADONLY, MAKELONG(row, 2), 1);
    }
    FillFileSelectionRows(9, 16);
    FillDeviceContentRows(9, 16);
}

void ToggleExtendedPositions()
{
    HWND selector = MainControl(IDC_POSITION_SELECTOR);
    int data = SelectorCurrentData(selector);
    if (g_app.positionCount == 16 && data >= 8 && data <= 15) {
        AskUser(kExtendedActiveText, "User Input Required", MB_OK | MB_ICONINFORMATION);
        return;
    }
    g_app.positionCount = g_app.positionCount == 8 ? 16 : 8;
    FillPositionSelector(selector);
    SelectSelectorData(selector, data);
    HWND grid = MainControl(IDC_POSITION_GRID);
    SendMessageA(grid, GCM_SETSIZE, WPARAM(g_app.positionCount), 2);
    HMENU menu = GetMenu(g_app.mainWindow);
    if (g_app.positionCount == 16) {
        SetUpExtendedRows(grid);
        CheckMenuItem(menu, IDM_VIEW_EXTENDED, MF_BYCOMMAND | MF_CHECKED);
        SendMessageA(grid, GCM_REDRAW, 0, 0);
    } else {
        CheckMenuItem(menu, IDM_VIEW_EXTENDED, MF_BYCOMMAND | MF_UNCHECKED);
    }
}
