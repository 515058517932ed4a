#include "app/main_window.h"

#include <cstdlib>

#include "app/app_state.h"
#include "app/closing.h"
#include "app/drop_files.h"
#include "app/job_completion.h"
#include "app/main_commands.h"
#include "app/main_init.h"
#include "app/position_commands.h"
#include "app/software_position.h"
#include "controls/grid_control.h"
#include "jobs/job_thread.h"
#include "resources/resource.h"

MainWindowState* MainState()
{
    if (g_app.mainWindow == nullptr)
        return nullptr;
    return reinterpret_cast<MainWindowState*>(GetWindowLongPtrA(g_app.mainWindow, DWLP_USER));
}

HWND MainControl(int id)
{
    return GetDlgItem(g_app.mainWindow, id);
}

int CreateMainWindow(HINSTANCE instance, int showCommand)
{
    g_app.instance = instance;
    HWND window = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    if (window == nullptr || !IsWindow(window))
        return 0;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return 1;
}

static BOOL OnInitDialog(HWND window)
{
    MainWindowState* state = static_cast<MainWindowState*>(calloc(1, sizeof(MainWindowState)));
    if (state == nullptr) {
        DestroyWindow(window);
        return FALSE;
    }
    SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    return InitMainWindow(window);
}

// Notifications are looked at apart from the command ids, and only from the control that
// sends them: the grid's GCN_DELETEKEY has the code of the combo box's CBN_SELENDOK.
static void OnNotification(WORD control, WORD code, LPARAM lParam)
{
    if (control == IDC_POSITION_GRID && code == GCN_SELCHANGE)
        OnGridSelectionChanged(LOWORD(lParam));
    else if (control == IDC_POSITION_GRID && code == GCN_TEXTSET)
        OnGridTextSet(LOWORD(lParam), HIWORD(lParam));
    else if (control == IDC_POSITION_SELECTOR && code == CBN_SELENDOK)
        SelectSoftwarePosition();
}

static void OnCommand(WPARAM wParam, LPARAM lParam)
{
    RunMainCommand(LOWORD(wParam));
    OnNotification(LOWORD(wParam), HIWORD(wParam), lParam);
}

static void OnNcDestroy(HWND window)
{
    free(reinterpret_cast<MainWindowState*>(GetWindowLongPtrA(window, DWLP_USER)));
    SetWindowLongPtrA(window, DWLP_USER, 0);
}

static bool IsJobCompletion(UINT message)
{
    return message > kJobMessageBase && message <= kJobMessageBase + kJobEraseDevice;
}

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(window);
    case WM_COMMAND:
        OnCommand(wParam, lParam);
        return TRUE;
    case WM_DROPFILES:
        OnDropFiles(window, reinterpret_cast<HDROP>(wParam));
        return TRUE;
    case WM_DESTROY:
        OnMainWindowDestroyed(window);
        return TRUE;
    case WM_NCDESTROY:
        OnNcDestroy(window);
        return FALSE;
    }
    if (IsJobCompletion(message)) {
        OnJobCompleted(message - kJobMessageBase, lParam);
        return TRUE;
    }
    return FALSE;
}
