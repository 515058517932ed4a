#include "app/main_init.h"

#include <cstdio>

#include "app/app_state.h"
#include "app/box_painting.h"
#include "app/command_state.h"
#include "app/drop_files.h"
#include "app/layout_commands.h"
#include "app/main_title.h"
#include "app/message_loop.h"
#include "app/position_selector.h"
#include "app/settings_file.h"
#include "app/window_seams.h"
#include "controls/grid_control.h"
#include "resources/resource.h"

void SetupPositionGrid(HWND grid)
{
    SendMessageA(grid, GCM_CLEARSTYLE, GS_MULTISELECT | GS_ROWNUMBERS | GS_COLUMNLETTERS, 0);
    SendMessageA(grid, GCM_SETCOLOR, GCC_READONLYBK, 0xFFFFFF);
    SendMessageA(grid, GCM_SETSIZE, WPARAM(g_app.positionCount), 2);
    SendMessageA(grid, GCM_SETCOLWIDTH, 0, 25);
    SendMessageA(grid, GCM_SETCOLWIDTH, 1, 350);
    GridSetCellText("File Selection", 15, grid, 0, 1);
    GridSetCellText("Device Content", 15, grid, 0, 2);
    SendMessageA(grid, GCM_SETTITLEHEIGHT, 0, 0);
    for (int row = 1; row <= g_app.positionCount; ++row) {
        SendMessageA(grid, GCM_SETREADONLY, MAKELONG(row, 2), 1);
        SendMessageA(grid, GCM_SETROWHEIGHT, WPARAM(row), 18);
        char header[4];
        snprintf(header, sizeof header, "%X", unsigned(row - 1));
        GridSetCellText(header, sizeof header, grid, row, 0);
    }
}

static void SetSmallIcon(HWND window)
{
    HICON icon = static_cast<HICON>(LoadImageA(g_app.instance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    if (icon != nullptr)
        SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

BOOL InitMainWindow(HWND window)
{
    AddDialogWindow(window);
    g_app.mainWindow = window;
    g_app.progressWindow = GetDlgItem(window, IDC_PROGRESS);
    ConnectWindowSeams();

    LoadSettings();
    // Only the button: the menu item waits for the first search to finish.
    SetCommandsEnabled(false);
    EnableWindow(GetDlgItem(window, IDC_QUERY_DEVICE), TRUE);
    SetSmallIcon(window);
    UpdateTitle();
    SetupPositionGrid(GetDlgItem(window, IDC_POSITION_GRID));
    static const int kTextBoxes[] = {IDC_STATUS_BOX, IDC_FILE_INFO_BOX, IDC_DEVICE_INFO_BOX};
    for (int box : kTextBoxes)
        PaintChangesTogether(GetDlgItem(window, box));
    AcceptDroppedFiles(window, GetDlgItem(window, IDC_POSITION_GRID));
    HWND selector = GetDlgItem(window, IDC_POSITION_SELECTOR);
    FillPositionSelector(selector);
    SelectSelectorData(selector, kSelectorUnknown);
    // The search starts as soon as the message loop runs.
    PostMessageA(window, WM_COMMAND, IDM_QUERY_DEVICE, 0);
    ReopenLastLayout();
    return TRUE;
}
