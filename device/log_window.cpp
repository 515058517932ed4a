#include "device/log_window.h"

#include <cstring>
#include <string>

const char kLogWindowClass[] = "KVLOGWINDOW";

// Lines reach the window through this message, so that appending always happens on the
// window's own thread, one whole line at a time, whichever thread logged it.
static const UINT WM_LOG_APPENDLINE = WM_APP + 1;

// The edit control's own procedure; the log window subclasses it, and one log window
// exists at a time.
static WNDPROC g_previousEditProc = nullptr;

// The control's text limit holds for EM_REPLACESEL as for typing, so a full box would show
// no new line at all. The oldest lines give way instead, a quarter of the box at a time so
// that a full box is not trimmed for every line.
static void MakeRoom(HWND edit, size_t adding)
{
    const size_t length = size_t(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0));
    const size_t limit = size_t(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0));
    if (limit == 0 || length + adding <= limit)
        return;
    const size_t cut = length + adding - limit + limit / 4;
    std::string text(length + 1, '\0');
    text.resize(size_t(GetWindowTextA(edit, &text[0], int(length + 1))));
    // Whole lines only, with the break after the last one dropped.
    const size_t lineEnd = cut < text.size() ? text.find("\r\n", cut) : std::string::npos;
    const size_t end = lineEnd == std::string::npos ? text.size() : lineEnd + 2;
    SendMessageA(edit, EM_SETSEL, 0, LPARAM(end));
    SendMessageA(edit, EM_REPLACESEL, FALSE, LPARAM(""));
}

void AppendStatusText(HWND edit, const char* text, int lineBreaks, int clearFirst)
{
    if (clearFirst)
        SetWindowTextA(edit, "");
    MakeRoom(edit, strlen(text) + 2 * size_t(lineBreaks > 0 ? lineBreaks : 0));
    LRESULT length = SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0);
    SendMessageA(edit, EM_SETSEL, WPARAM(length), LPARAM(length));
    if (length != 0)
        for (int i = 0; i < lineBreaks; ++i)
            AppendStatusText(edit, "\r\n", 0, 0);
    SendMessageA(edit, EM_REPLACESEL, FALSE, LPARAM(text));
}

void CenterWindow(HWND window, HWND parent)
{
    RECT outer, own;
    GetWindowRect(parent != nullptr ? parent : GetDesktopWindow(), &outer);
    GetWindowRect(window, &own);
    int width = own.right - own.left;
    int height = own.bottom - own.top;
    int x = outer.left + (outer.right - outer.left) / 2 - width / 2;
    int y = outer.top + (outer.bottom - outer.top) / 2 - height / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Runs on the logging thread. A window destroyed meanwhile is no harm: the message then
// goes nowhere, or finds the edit control already cleared.
static void AppendLineToLogWindow(LogSink* sink, const char* line)
{
    HWND window = static_cast<HWND>(sink->logWindow.load());
    if (window != nullptr)
        SendMessageA(window, WM_LOG_APPENDLINE, 0, LPARAM(line));
}

// Read-only for the user: only Ctrl+C gets through, and the context menu is the parent's.
static LRESULT CALLBACK LogEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CHAR:
        if (wParam != 3)
            return 0;
        break;
    case WM_CONTEXTMENU:
        return SendMessageA(GetParent(edit), WM_CONTEXTMENU, wParam, lParam);
    }
    return CallWindowProcA(g_previousEditProc, edit, message, wParam, lParam);
}

static LogSink* SinkOf(HWND window)
{
    return reinterpret_cast<LogSink*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

static LRESULT OnCreate(HWND window, const CREATESTRUCTA* create)
{
    LogSink* sink = static_cast<LogSink*>(create->lpCreateParams);
    CenterWindow(window, nullptr);
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL,
                                0, 0, 0, 0, window, nullptr, create->hInstance, nullptr);
    if (edit == nullptr)
        return -1;
    g_previousEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LogEditProc)));
    if (sink != nullptr) {
        SendMessageA(edit, WM_SETFONT, WPARAM(sink->font), TRUE);
        sink->editControl = edit;
        sink->logWindow = window;
        sink->appendLine = AppendLineToLogWindow;
    }
    SendMessageA(edit, EM_LIMITTEXT, 0, 0);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(sink));
    return 0;
}

static void OnSize(HWND window, int width, int height)
{
    LogSink* sink = SinkOf(window);
    if (sink != nullptr && sink->editControl != nullptr)
        MoveWindow(static_cast<HWND>(sink->editControl), 0, 0, width, height, TRUE);
}

static void OnContextMenu(HWND window, int x, int y)
{
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, IDM_LOG_CLEAR, "Clear");
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, x, y, 0, window, nullptr);
    DestroyMenu(menu);
}

static void OnDestroy(HWND window)
{
    LogSink* sink = SinkOf(window);
    if (sink == nullptr)
        return;
    // Turns logging off: producers test appendLine before formatting anything; one that is
    // already formatting goes on with the function it read, which copes with a gone window.
    sink->appendLine = nullptr;
    sink->logWindow = nullptr;
    sink->editControl = nullptr;
}

LRESULT CALLBACK LogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LogSink* sink = SinkOf(window);
    switch (message) {
    case WM_CREATE:
        return OnCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_SIZE:
        OnSize(window, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_CONTEXTMENU:
        OnContextMenu(window, short(LOWORD(lParam)), short(HIWORD(lParam)));
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDM_LOG_CLEAR && sink != nullptr && sink->editControl != nullptr)
            SetWindowTextA(static_cast<HWND>(sink->editControl), "");
        return 0;
    case WM_LOG_APPENDLINE:
        if (sink != nullptr && sink->editControl != nullptr)
            AppendStatusText(static_cast<HWND>(sink->editControl), reinterpret_cast<const char*>(lParam), 1, 0);
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        OnDestroy(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterLogWindowClass(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = LogWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kLogWindowClass;
    return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
