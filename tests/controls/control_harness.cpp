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
    const std::vector<Notice>& got = g_log.notices;
    if (got == std::vector<Notice>(expected))
        return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure() << "notices differ, expected | got:";
    for (size_t i = 0; i < expected.size() || i < got.size(); ++i)
        failure << "\n  " << (i < expected.size() ? ::testing::PrintToString(expected.begin()[i]) : "-") << " | "
                << (i < got.size() ? ::testing::PrintToString(got[i]) : "-");
    return failure;
}

ClientPixels::ClientPixels(HWND control)
{
    RECT client;
    GetClientRect(control, &client);
    width = client.right;
    height = client.bottom;
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), width, -height /* top-down rows */, 1, 32, BI_RGB, 0, 0, 0, 0, 0},
                       {}};
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
