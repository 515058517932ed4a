// A parent window that writes down every notice its controls send, and pixel capture of a
// control's client area, for driving the controls only through their messages.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The notices the test parent heard since the last reset, one word each: "text 1,1" (the
// cell of the notice's lParam, when it has one), followed by "=N" when a query is set, with
// what it answered as the notice arrived; "; " between.
extern std::string g_notices;
extern LRESULT (*g_noticeQuery)(HWND control, LPARAM cell);
void ResetNotices();

// The visible top-level window at the screen's origin that parents the controls under
// test; made once, because a new top-level window costs Wine seconds.
HWND TestParent();
HWND CreateControl(const char* className, const char* text, int id, int width, int height);
void PumpMessages();

// The client area of a control as drawn now by WM_PRINTCLIENT into a 32-bit bitmap.
struct ClientPixels {
    explicit ClientPixels(HWND control);
    COLORREF At(int x, int y) const;
    // How many pixels of the rectangle pass the test.
    template <typename Test>
    int Count(int left, int top, int right, int bottom, Test test) const
    {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                count += test(At(x, y)) ? 1 : 0;
        return count;
    }
    int width = 0, height = 0;
    std::vector<DWORD> bits;
};
