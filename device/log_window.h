// The window side of the diagnostic log: appending to edit controls, and the log window,
// a top-level window whose edit child receives the lines of a LogSink.
#pragma once
#include <windows.h>

#include "device/log.h"

// Appends text to an edit control; lineBreaks CR LF pairs go first, but only when the
// control already holds text (after clearing it, when clearFirst is set).
void AppendStatusText(HWND edit, const char* text, int lineBreaks, int clearFirst);

// Centres a window on its parent, or on the desktop when parent is null; no resize, no
// change of Z order, no activation.
void CenterWindow(HWND window, HWND parent);

// The log window. Create it with CreateWindowExA, class kLogWindowClass, and the sink as
// the creation parameter; while it exists the sink's lines appear in it.
extern const char kLogWindowClass[];
enum { IDM_LOG_CLEAR = 100 };
bool RegisterLogWindowClass(HINSTANCE instance);
LRESULT CALLBACK LogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
