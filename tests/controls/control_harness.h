// A parent window that records every WM_COMMAND its controls send, and pixel capture of
// a control's client area, for driving the controls only through their messages.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>
#include <vector>

struct Notice {
    int id;
    int code;
    LPARAM lParam;
    LRESULT answer;  // what the log's query answered when the notice arrived, else 0
    bool operator==(const Notice& o) const
    {
        return id == o.id && code == o.code && lParam == o.lParam && answer == o.answer;
    }
};
void PrintTo(const Notice& notice, std::ostream* out);

struct NoticeLog {
    std::vector<Notice> notices;
    // Asked as each notice arrives, so a test sees the control's state at that moment.
    LRESULT (*query)(HWND control, const Notice& notice) = nullptr;
};

extern NoticeLog g_log;

// The visible top-level window at the screen's origin that parents the controls under
// test; made once, because a new top-level window costs Wine seconds.
HWND TestParent();
HWND CreateControl(HWND parent, const char* className, const char* text, int id, int x, int y, int width,
                   int height);
void PumpMessages();

// Passes when the recorded notices equal the expected table, in order; otherwise prints both.
::testing::AssertionResult NoticesAre(std::initializer_list<Notice> expected);

// The client area of a control as drawn by WM_PRINTCLIENT into a 32-bit bitmap.
class ClientPixels {
public:
    explicit ClientPixels(HWND control);
    ~ClientPixels();
    ClientPixels(const ClientPixels&) = delete;
    ClientPixels& operator=(const ClientPixels&) = delete;
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
    int width = 0;
    int height = 0;

private:
    const DWORD* bits_ = nullptr;
    HBITMAP bitmap_ = nullptr;
};
