// Setting up the main window when it is created.
#pragma once
#include <windows.h>

// WM_INITDIALOG: settings, command states, icon, title, grid (taking dropped files) and
// selector, then the first hardware search is posted and the last layout reopened.
// Returns TRUE.
BOOL InitMainWindow(HWND window);
// The position grid: positionCount rows of "File Selection" and read-only "Device Content".
void SetupPositionGrid(HWND grid);
