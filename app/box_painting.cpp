#include "app/box_painting.h"

#include <commctrl.h>

// A job adds a status line in up to four messages from its thread, and a box repaints its
// themed scroll bar after each one; under Wine that is several milliseconds a time, which
// the job waits for. With the box's drawing off while the text changes, the box paints
// once, from a timer, while the job goes on with the device.
namespace {

enum : UINT_PTR { kSubclassId = 1, kRepaintTimer = 0x7B01 };
// Long enough to take a step's outcome and the next step's line together, too short to
// be seen.
enum : UINT { kRepaintDelayMs = 20 };

void RepaintWhole(HWND box)
{
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

LRESULT CALLBACK BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR waiting);

// The subclass's reference data is 1 while a repaint is waiting.
LRESULT ChangeText(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR waiting)
{
    // Turning drawing on again would show a hidden box.
    if ((GetWindowLongA(box, GWL_STYLE) & WS_VISIBLE) == 0)
        return DefSubclassProc(box, message, wParam, lParam);
    // Straight to the default procedure: the edit control of common controls 6 under Wine
    // takes WM_SETREDRAW without passing it on. Turning drawing off also drops what was
    // waiting to be painted; the repaint covers the whole box.
    DefWindowProcA(box, WM_SETREDRAW, FALSE, 0);
    const LRESULT result = DefSubclassProc(box, message, wParam, lParam);
    DefWindowProcA(box, WM_SETREDRAW, TRUE, 0);
    if (waiting)
        return result;
    if (SetTimer(box, kRepaintTimer, kRepaintDelayMs, nullptr) != 0)
        SetWindowSubclass(box, BoxProc, id, 1);
    else
        RepaintWhole(box);
    return result;
}

LRESULT CALLBACK BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR waiting)
{
    switch (message) {
    case EM_REPLACESEL:
    case WM_SETTEXT:
        return ChangeText(box, message, wParam, lParam, id, waiting);
    case WM_TIMER:
        if (wParam != kRepaintTimer)
            break;
        KillTimer(box, kRepaintTimer);
        SetWindowSubclass(box, BoxProc, id, 0);
        RepaintWhole(box);
        return 0;
    case WM_NCDESTROY:
        RemoveWindowSubclass(box, BoxProc, id);
        break;
    }
    return DefSubclassProc(box, message, wParam, lParam);
}

} // namespace

bool PaintChangesTogether(HWND box)
{
    return box != nullptr && SetWindowSubclass(box, BoxProc, kSubclassId, 0);
}
