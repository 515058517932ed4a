// Closing the main window: Close, Exit, Escape and the close box.
#pragma once
#include <windows.h>

// Refused while a job runs; otherwise offers to save a modified layout (Cancel, a
// cancelled Save As or a failed save keep the window open) and destroys the window.
void CloseMainWindow();
// WM_DESTROY: settings.dat is written, the seams and the loop let go of the window, and
// the loop is told to end.
void OnMainWindowDestroyed(HWND window);
