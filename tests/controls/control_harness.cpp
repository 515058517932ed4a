#include <gtest/gtest.h>

#include "tests/controls/control_harness.h"

NoticeLog g_log;

static LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_COMMAND)
        return DefWindowProcA(window, message, wParam, lParam);
    Notice notice = {LOWORD(wParam), HIWORD(wParam), lParam, 0};
    if (g_log.query != nullptr)
        notice.answer = g_log.query(GetDlgItem(window, LOWORD(wParam)), notice);
    g_log.notices.push_back(notice);
    return 0;
}

HWND TestParent()
{
    static HWND parent = nullptr;
    if (parent == nullptr) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = "T6TESTPARENT";
        RegisterClassA(&wc);
        parent = CreateWindowExA(0, "T6TESTPARENT", "controls test", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetForegroundWindow(parent);
        PumpMessages();
    }
    return parent;
}

HWND CreateControl(HWND parent, const char* className, const char* text, int id, int x, int y, int width,
                   int height)
{
    HWND control = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
                                   reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleA(nullptr), nullptr);
    PumpMessages();
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

void PrintTo(const Notice& n, std::ostream* out)
{
    *out << "{id " << n.id << " code " << n.code << " lParam 0x" << std::hex << n.lParam << std::dec << " answer "
         << n.answer << "}";
}

::testing::AssertionResult NoticesAre(std::initializer_list<Notice> expected)
{
    if (g_log.notices == std::vector<Notice>(expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "notices differ\n  expected " << ::testing::PrintToString(expected)
                                         << "\n       got " << ::testing::PrintToString(g_log.notices);
}

ClientPixels::ClientPixels(HWND control)
{
    RECT client;
    GetClientRect(control, &client);
    width = client.right;
    height = client.bottom;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<const DWORD*>(bits);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap_);
    SendMessageA(control, WM_PRINTCLIENT, WPARAM(dc), PRF_CLIENT);
    GdiFlush();
    SelectObject(dc, old);
    DeleteDC(dc);
}

ClientPixels::~ClientPixels()
{
    DeleteObject(bitmap_);
}

COLORREF ClientPixels::At(int x, int y) const
{
    if (bits_ == nullptr || x < 0 || y < 0 || x >= width || y >= height)
        return CLR_INVALID;
    DWORD pixel = bits_[size_t(y) * size_t(width) + size_t(x)];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}
