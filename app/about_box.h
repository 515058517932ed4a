// The About box (template 103): the program's name and the support contact as a link.
#pragma once
#include <windows.h>

// Modal, owned by the main window.
void ShowAboutBox();
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
