#include "tests/e2e/window_driver.h"

#include <cstring>

#include "controls/grid_control.h"

namespace {

struct WindowSearch {
    DWORD processId;
    const char* className;
    const char* titleStart;
    bool exactTitle;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context)
{
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if ((search.processId != 0 && owner != search.processId) || !IsWindowVisible(window))
        return TRUE;
    char name[64] = "";
    if (search.className != nullptr &&
        (GetClassNameA(window, name, sizeof name) == 0 || strcmp(name, search.className) != 0))
        return TRUE;
    const std::string title = WindowText(window);
    const size_t length = strlen(search.titleStart);
    if (search.exactTitle ? title != search.titleStart : title.compare(0, length, search.titleStart) != 0)
        return TRUE;
    search.found = window;
    return FALSE;
}

// A button's text as a user reads it: without the "&" that marks its access key.
std::string WithoutAccessMark(const std::string& text)
{
    std::string plain;
    for (char c : text)
        if (c != '&')
            plain += c;
    return plain;
}

struct ButtonSearch {
    const char* text;
    HWND found;
};

BOOL CALLBACK MatchButton(HWND child, LPARAM context)
{
    ButtonSearch& search = *reinterpret_cast<ButtonSearch*>(context);
    char name[16] = "";
    GetClassNameA(child, name, sizeof name);
    if (_stricmp(name, "Button") == 0 && WithoutAccessMark(WindowText(child)) == search.text) {
        search.found = child;
        return FALSE;
    }
    return TRUE;
}

} // namespace

std::string WindowText(HWND window)
{
    char text[4096] = "";
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                             2000, &copied))
        return "";
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
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        2000, &ignored);
}

HWND FindProcessWindow(DWORD processId, const char* className, const char* titleStart, bool exactTitle)
{
    WindowSearch search = {processId, className, titleStart, exactTitle, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForProcessWindow(DWORD processId, const char* className, const char* titleStart, bool exactTitle,
                          DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindProcessWindow(processId, className, titleStart, exactTitle)) != nullptr; },
              timeoutMs);
    return found;
}

std::string WaitForControlText(HWND dialog, int id, const std::string& expected, DWORD timeoutMs)
{
    std::string text;
    WaitUntil([&] { return (text = ControlText(dialog, id)) == expected; }, timeoutMs);
    return text;
}

MessageBoxAnswer AnswerMessageBox(DWORD processId, const char* title, const char* button, DWORD timeoutMs)
{
    MessageBoxAnswer answer = {false, ""};
    HWND box = WaitForProcessWindow(processId, "#32770", title, true, timeoutMs);
    if (box == nullptr)
        return answer;
    // The message text is the box's static 0xFFFF.
    answer.text = ControlText(box, 0xFFFF);
    ButtonSearch search = {button, nullptr};
    EnumChildWindows(box, MatchButton, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr)
        return answer;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(search.found), BN_CLICKED),
                 reinterpret_cast<LPARAM>(search.found));
    answer.found = true;
    return answer;
}

bool AnswerFileDialog(DWORD processId, const char* title, const char* path, DWORD timeoutMs)
{
    enum { kFileNameBox = 1148 };
    HWND dialog = WaitForProcessWindow(processId, "#32770", title, true, timeoutMs);
    if (dialog == nullptr || GetDlgItem(dialog, kFileNameBox) == nullptr)
        return false;
    SetControlText(dialog, kFileNameBox, path);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return true;
}

void PostCommand(HWND window, int command)
{
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void ChooseListEntry(HWND dialog, int id, int index)
{
    HWND list = GetDlgItem(dialog, id);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(list, CB_SETCURSEL, WPARAM(index), 0, SMTO_ABORTIFHUNG, 2000, &ignored);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK), reinterpret_cast<LPARAM>(list));
}

std::string CopyGridCells(HWND grid, int rows, int columns)
{
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(grid, GCM_SETSELECTION, MAKELONG(1, 1), MAKELONG(rows, columns), SMTO_ABORTIFHUNG, 2000,
                        &copied);
    if (!SendMessageTimeoutA(grid, GCM_COPY, 0, 0, SMTO_ABORTIFHUNG, 2000, &copied) || copied == 0)
        return "<nothing copied>";
    std::string text;
    if (OpenClipboard(nullptr)) {
        HANDLE data = GetClipboardData(CF_TEXT);
        const char* bytes = data != nullptr ? static_cast<const char*>(GlobalLock(data)) : nullptr;
        if (bytes != nullptr) {
            text.assign(bytes, strnlen(bytes, GlobalSize(data)));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    return text;
}

void ClickGridCell(HWND grid, int row, int column)
{
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(grid, GCM_SELECTCELL, row, column, SMTO_ABORTIFHUNG, 2000, &ignored);
    PostMessageA(GetParent(grid), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(grid), GCN_SELCHANGE), MAKELONG(row, column));
}
