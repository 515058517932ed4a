// The main window: a modeless dialog from template 129. Its procedure hands every message
// to a named handler; what the handlers do lives in the files beside this one.
#pragma once
#include <windows.h>

// What the main window keeps beyond AppState, reached from the window itself.
struct MainWindowState {
    // Set from the moment a job command starts its job until the job's completion message.
    bool jobRunning;
};

// Creates the main window from template 129, shows it and returns 1; 0 when it could not
// be created.
int CreateMainWindow(HINSTANCE instance, int showCommand);
INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The state of the main window; null while there is none.
MainWindowState* MainState();
// A control of the main window by its id.
HWND MainControl(int id);
