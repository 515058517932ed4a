// Help > Check Internet for Update...: the "Check For Updates" dialog.
#pragma once
#include <windows.h>

// Help > Check Internet for Update...: runs the dialog modally, owned by the main window;
// returns when it is closed.
void ShowUpdateDialog();

// The dialog's procedure (template 3061); WM_USER + 1 is the worker's completion, WM_USER + 2
// a new status text.
INT_PTR CALLBACK UpdateDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
