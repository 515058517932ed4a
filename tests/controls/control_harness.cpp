#include "tests/controls/control_harness.h"

#include <map>

#include "controls/grid_control.h"

std::string g_notices;
LRESULT (*g_noticeQuery)(HWND control, LPARAM cell) = nullptr;

void ResetNotices()
{
    g_notices.clear();
    g_noticeQuery = nullptr;
}

static std::string NoticeWord(int code, LPARAM cell)
{
    static const std::map<int, const char*> kNames = {
        {GCN_BADCELL, "bad"},     {GCN_SELCHANGE, "sel"},     {GCN_DRAGSELECT, "drag"}, {GCN_BEGINEDIT, "begin"},
        {GCN_DELETEKEY, "del"},   {GCN_ENDEDIT, "end"},       {GCN_SETFOCUS, "focus"},  {GCN_KILLFOCUS, "unfocus"},
        {GCN_CLICK, "click"},     {GCN_DBLCLK, "dblclk"},     {GCN_TEXTSET, "text"}};
    std::string word = code >= GCN_FKEY1 && code <= GCN_FKEY12 ? "F" + std::to_string(code - GCN_FKEY1 + 1)
                       : kNames.count(code)                    ? kNames.at(code)
                                                               : "code " + std::to_string(code);
    if (cell != 0)
        word += " " + std::to_string(LOWORD(cell)) + "," + std::to_string(HIWORD(cell));
    return word;
}

static LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_COMMAND)
        return DefWindowProcA(window, message, wParam, lParam);
    std::string word = NoticeWord(HIWORD(wParam), lParam);
    HWND control = GetDlgItem(window, LOWORD(wParam));
    if (control == nullptr)
        word += " from unknown id " + std::to_string(LOWORD(wParam));
    else if (g_noticeQuery != nullptr)
        word += " =" + std::to_string(g_noticeQuery(control, lParam));
    g_notices += (g_notices.empty() ? "" : "; ") + word;
    return 0;
}

HWND TestParent()
{
    static HWND parent = nullptr;
    if (parent == nullptr) {
        WNDCLASSA wc = {0, ParentProc, 0, 0, GetModuleHandleA(nullptr), nullptr, nullptr,
                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), nullptr, "T6TESTPARENT"};
        RegisterClassA(&wc);
        parent = CreateWindowExA(0, "T6TESTPARENT", "controls test", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetForegroundWindow(parent);
        PumpMessages();
    }
    return parent;
}

// At (10, 10) of the test parent.
HWND CreateControl(const char* className, const char* text, int id, int width, int height)
{
    HWND control = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE, 10, 10, width, height, TestParent(),
                                   reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleA(nullptr), nullptr);
    PumpMessages();
    ResetNotices();
    return control;
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

ClientPixels::ClientPixels(HWND control)
{
    RECT client;
    GetClientRect(control, &client);
    width = client.right;
    height = client.bottom;
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), width, -height /* top-down rows */, 1, 32, BI_RGB, 0, 0, 0, 0, 0},
                       {}};
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageA(control, WM_PRINTCLIENT, WPARAM(dc), PRF_CLIENT);
    GdiFlush();
    if (pixels != nullptr)
        bits.assign(static_cast<const DWORD*>(pixels), static_cast<const DWORD*>(pixels) + size_t(width) * height);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

COLORREF ClientPixels::At(int x, int y) const
{
    if (bits.empty() || x < 0 || y < 0 || x >= width || y >= height)
        return CLR_INVALID;
    DWORD pixel = bits[size_t(y) * size_t(width) + size_t(x)];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}
