// The program's message loop: shortcuts first, so they work whichever control has the
// focus, then the dialog keys of the windows in dialogWindows.
#pragma once
#include <windows.h>

// One message of the loop: TranslateAcceleratorA against the main window, else
// IsDialogMessageA for each of dialogWindows in the order added, else translated and
// dispatched.
void HandleLoopMessage(MSG* message, HACCEL accelerators);
// Runs until WM_QUIT and returns its wParam (0 if the queue fails).
int RunMessageLoop(HACCEL accelerators);

// The windows whose messages go through IsDialogMessageA; false when the list is full.
bool AddDialogWindow(HWND window);
void RemoveDialogWindow(HWND window);
