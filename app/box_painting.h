// The main window's text boxes (status, file info, device info) paint a change a moment
// after it is made, once for all the changes of that moment.
#pragma once
#include <windows.h>

// Subclasses the edit control; it stays subclassed until it is destroyed. False when it
// could not be subclassed, and the box then paints as it always does.
bool PaintChangesTogether(HWND box);
