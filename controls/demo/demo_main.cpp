// Shows the grid set up as the main window sets it up, and the text progress bar at 40 %
// with a caption, so the controls can be looked at without a device.
#include <windows.h>

#include <cstdio>

#include "controls/demo/demo_resource.h"
#include "controls/grid_control.h"
#include "controls/register_controls.h"
#include "controls/text_progress.h"

enum { kPositions = 8 };

static void SetUpGrid(HWND grid)
{
    SendMessageA(grid, GCM_CLEARSTYLE, GS_MULTISELECT | GS_ROWNUMBERS | GS_COLUMNLETTERS, 0);
    SendMessageA(grid, GCM_SETCOLOR, GCC_READONLYBK, 0xFFFFFF);
    SendMessageA(grid, GCM_SETSIZE, kPositions, 2);
    SendMessageA(grid, GCM_SETCOLWIDTH, 0, 25);
    SendMessageA(grid, GCM_SETCOLWIDTH, 1, 350);
    GridSetCellText("File Selection", 15, grid, 0, 1);
    GridSetCellText("Device Content", 15, grid, 0, 2);
    SendMessageA(grid, GCM_SETTITLEHEIGHT, 0, 0);
    for (int row = 1; row <= kPositions; ++row) {
        SendMessageA(grid, GCM_SETREADONLY, WPARAM(DWORD(MAKELONG(row, 2))), 1);
        SendMessageA(grid, GCM_SETROWHEIGHT, WPARAM(row), 18);
        char header[8];
        snprintf(header, sizeof(header), "%X", row - 1);
        GridSetCellText(header, sizeof(header), grid, row, 0);
    }
    // A few positions as a layout might hold them.
    GridSetCellText("C:\\Tunes\\stock.bin", 260, grid, 1, 1);
    GridSetCellText("C:\\Tunes\\stock.bin", 260, grid, 1, 2);
    GridSetCellText("C:\\Tunes\\economy 2.bin", 260, grid, 2, 1);
    GridSetCellText("C:\\Tunes\\track day.bin", 260, grid, 4, 2);
}

static void SetUpProgress(HWND bar)
{
    SendMessageA(bar, PBM_SETRANGE32, 0, 100);
    SendMessageA(bar, PBM_SETPOS, 40, 0);
    SendMessageA(bar, PBM_SETBKCOLOR, 0, RGB(255, 255, 255));
    SendMessageA(bar, TXPM_SETTEXTCOLOR, 0, LPARAM(kTextProgressDefaultColor));
    SendMessageA(bar, WM_SETTEXT, 0, LPARAM("Writing position 1... 40 %"));
}

static void ShowNotice(HWND dialog, int code, LPARAM cell)
{
    char text[96];
    snprintf(text, sizeof(text), "Grid notification %d, cell (%d, %d)", code, int(LOWORD(cell)), int(HIWORD(cell)));
    SetDlgItemTextA(dialog, IDC_DEMO_NOTICE, text);
}

static INT_PTR CALLBACK DemoDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetUpGrid(GetDlgItem(dialog, IDC_DEMO_GRID));
        SetUpProgress(GetDlgItem(dialog, IDC_DEMO_PROGRESS));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_DEMO_GRID)
            ShowNotice(dialog, HIWORD(wParam), lParam);
        else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (!RegisterControlClasses(instance))
        return 1;
    return int(DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_CONTROLS_DEMO), nullptr, DemoDialogProc, 0));
}
