#include "app/position_selector.h"

#include <cstdio>

#include "app/app_state.h"

static void AddEntry(HWND combo, const char* text, int data)
{
    LRESULT index = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (index >= 0)
        SendMessageA(combo, CB_SETITEMDATA, WPARAM(index), LPARAM(data));
}

void FillPositionSelector(HWND combo)
{
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < g_app.positionCount; ++i) {
        char text[4];
        snprintf(text, sizeof text, "%.1X", unsigned(i));
        AddEntry(combo, text, i);
    }
    AddEntry(combo, "Chip Off", kSelectorChipOff);
    AddEntry(combo, "Unknown", kSelectorUnknown);
}

int SelectorCurrentData(HWND combo)
{
    LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return kSelectorUnknown;
    return int(SendMessageA(combo, CB_GETITEMDATA, WPARAM(index), 0));
}

void SetSelectorIndex(HWND combo, int index)
{
    // Windows clears the selection for an index past the end, some other systems keep the
    // old one: say so outright.
    if (index >= SendMessageA(combo, CB_GETCOUNT, 0, 0))
        index = -1;
    SendMessageA(combo, CB_SETCURSEL, WPARAM(index), 0);
}

void SelectSelectorData(HWND combo, int data)
{
    LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (SendMessageA(combo, CB_GETITEMDATA, WPARAM(i), 0) == data) {
            SendMessageA(combo, CB_SETCURSEL, WPARAM(i), 0);
            return;
        }
    }
}
