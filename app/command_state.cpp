#include "app/command_state.h"

#include <windows.h>

#include "app/app_state.h"
#include "app/main_window.h"
#include "resources/resource.h"

struct CommandIds {
    int button;
    int menuItem;
};

// In the order they are switched; every command that starts a job is here.
static const CommandIds kJobCommands[] = {
    {IDC_MOVE_DOWN, IDM_MOVE_DOWN},
    {IDC_MOVE_UP, IDM_MOVE_UP},
    {IDC_BROWSE, IDM_BROWSE},
    {IDC_QUERY_DEVICE, IDM_QUERY_DEVICE},
    {IDC_ERASE_ALL, IDM_ERASE_DEVICE},
    {IDC_ERASE_SELECTION, IDM_ERASE_SELECTION},
    {IDC_WRITE_ALL, IDM_WRITE_ALL},
    {IDC_WRITE_SELECTION, IDM_WRITE_SELECTION},
    {IDC_VERIFY_SELECTION, IDM_VERIFY_SELECTION},
    {0, IDM_VERIFY_ALL},
};

// The commands that stay usable without hardware.
static const CommandIds kNoHardwareCommands[] = {
    {IDC_QUERY_DEVICE, IDM_QUERY_DEVICE},
    {IDC_POSITION_GRID, 0},
    {IDC_MOVE_DOWN, IDM_MOVE_DOWN},
    {IDC_MOVE_UP, IDM_MOVE_UP},
    {IDC_BROWSE, IDM_BROWSE},
};

static void EnableCommand(const CommandIds& ids, bool enable)
{
    if (ids.button != 0)
        EnableWindow(MainControl(ids.button), enable);
    if (ids.menuItem != 0)
        EnableMenuItem(GetMenu(g_app.mainWindow), UINT(ids.menuItem), MF_BYCOMMAND | (enable ? MF_ENABLED : MF_DISABLED));
}

void SetCommandsEnabled(bool enable)
{
    EnableWindow(MainControl(IDC_POSITION_GRID), enable);
    for (const CommandIds& ids : kJobCommands)
        EnableCommand(ids, enable);
    EnableWindow(MainControl(IDC_POSITION_SELECTOR), enable);
}

static void SetJobRunning(bool running)
{
    if (MainWindowState* state = MainState())
        state->jobRunning = running;
}

void EnterBusyState()
{
    SetCommandsEnabled(false);
    SetJobRunning(true);
}

void EnterNoHardwareState()
{
    SetJobRunning(false);
    SetCommandsEnabled(false);
    for (const CommandIds& ids : kNoHardwareCommands)
        EnableCommand(ids, true);
}

void EnterReadyState()
{
    SetJobRunning(false);
    SetCommandsEnabled(true);
}

bool IsJobRunning()
{
    MainWindowState* state = MainState();
    return state != nullptr && state->jobRunning;
}

void ShowPositionSelectorWindows(uint32_t show)
{
    ShowWindow(MainControl(IDC_POSITION_SELECTOR), show ? SW_SHOW : SW_HIDE);
    ShowWindow(MainControl(IDC_POSITION_SELECTOR_LABEL), show ? SW_SHOW : SW_HIDE);
    CheckMenuItem(GetMenu(g_app.mainWindow), IDM_ALLOW_SOFTWARE_POSITION, MF_BYCOMMAND | (show ? MF_CHECKED : MF_UNCHECKED));
}
