// The text progress bar "KVTEXTPROGRESS": a progress bar that answers the system
// progress-bar messages and draws its window text centred over the bar, optionally in two
// tones (the background colour over the bar, the bar colour elsewhere).
#pragma once
#include <windows.h>
#include <commctrl.h>

extern const char kTextProgressClass[];  // "KVTEXTPROGRESS"

ATOM RegisterTextProgressClass(HINSTANCE instance);
LRESULT CALLBACK TextProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Messages of its own, besides PBM_SETRANGE ... PBM_SETBARCOLOR and PBM_SETBKCOLOR.
enum : UINT {
    TXPM_SETTEXTCOLOR = WM_USER + 300,
    TXPM_GETTEXTCOLOR = WM_USER + 301,
    TXPM_SETVERTICAL = WM_USER + 302,
    TXPM_GETVERTICAL = WM_USER + 303,
    TXPM_GETRANGE = WM_USER + 304,
};

// A text or background colour of this value selects the two-tone caption or the system
// button-face colour.
const COLORREF kTextProgressDefaultColor = 0xFFFFFFFF;
