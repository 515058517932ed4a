#include "tests/e2e/window_driver.h"

#include <cstring>

#include "controls/grid_control.h"

namespace {

struct WindowSearch {
    DWORD processId;
    const char* titleStart;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context)
{
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if ((search.processId != 0 && owner != search.processId) || !IsWindowVisible(window) ||
        WindowText(window).rfind(search.titleStart, 0) != 0)
        return TRUE;
    search.found = window;
    return FALSE;
}

// Sends a pointer-free message without waiting on a program that hangs.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &result) ? result : 0;
}

} // namespace

std::string WindowText(HWND window)
{
    char text[4096] = "";
    Send(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    text[sizeof text - 1] = '\0';
    return text;
}

std::string ControlText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    return control != nullptr ? WindowText(control) : "";
}

bool ControlEnabled(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    return control != nullptr && IsWindowEnabled(control);
}

bool ControlVisible(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    return control != nullptr && IsWindowVisible(control);
}

void SetControlText(HWND dialog, int id, const char* text)
{
    Send(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

HWND FindProcessWindow(DWORD processId, const char* titleStart)
{
    WindowSearch search = {processId, titleStart, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForProcessWindow(DWORD processId, const char* titleStart, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindProcessWindow(processId, titleStart)) != nullptr; }, timeoutMs);
    return found;
}

std::string WaitForControlText(HWND dialog, int id, const std::string& expected, DWORD timeoutMs)
{
    std::string text;
    WaitUntil([&] { return (text = ControlText(dialog, id)) == expected; }, timeoutMs);
    return text;
}

std::string AnswerMessageBox(DWORD processId, const char* title, int button, DWORD timeoutMs)
{
    HWND box = WaitForProcessWindow(processId, title, timeoutMs);
    if (box == nullptr)
        return "";
    // The message text is the box's static 0xFFFF.
    const std::string text = ControlText(box, 0xFFFF);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    return text;
}

bool AnswerFileDialog(DWORD processId, const char* title, const char* path, DWORD timeoutMs)
{
    enum { kFileNameBox = 1148 };
    HWND dialog = WaitForProcessWindow(processId, title, timeoutMs);
    if (dialog == nullptr || GetDlgItem(dialog, kFileNameBox) == nullptr)
        return false;
    SetControlText(dialog, kFileNameBox, path);
    PostCommand(dialog, IDOK);
    return true;
}

void PostCommand(HWND window, int command)
{
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void ChooseListEntry(HWND dialog, int id, int index)
{
    HWND list = GetDlgItem(dialog, id);
    Send(list, CB_SETCURSEL, WPARAM(index), 0);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK), reinterpret_cast<LPARAM>(list));
}

std::string CopyGridCells(HWND grid, int rows, int columns)
{
    Send(grid, GCM_SETSELECTION, MAKELONG(1, 1), MAKELONG(rows, columns));
    if (Send(grid, GCM_COPY, 0, 0) == 0 || !OpenClipboard(nullptr))
        return "<nothing copied>";
    std::string text;
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* bytes = data != nullptr ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (bytes != nullptr) {
        text.assign(bytes, strnlen(bytes, GlobalSize(data)));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void ClickGridCell(HWND grid, int row, int column)
{
    Send(grid, GCM_SELECTCELL, row, column);
    PostMessageA(GetParent(grid), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(grid), GCN_SELCHANGE), MAKELONG(row, column));
}
