// A grid under test, a child of the test parent, driven through its messages: keys,
// characters, mouse presses at cells and the clipboard.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "controls/grid_control.h"
#include "controls/register_controls.h"
#include "tests/controls/control_harness.h"

class GridTest : public ::testing::Test {
protected:
    void CreateGrid(int width, int height, const char* title = "")
    {
        ASSERT_TRUE(RegisterControlClasses(GetModuleHandleA(nullptr)));
        grid = CreateControl("KVGRIDCONTROL", title, 1000, width, height);
        ASSERT_NE(grid, nullptr);
    }
    // A grid like the main window's: 16 rows of 18 pixels, column 1 editable, column 2
    // read-only, no multi-select, no title band.
    void CreatePositionGrid()
    {
        CreateGrid(500, 200);
        Send(GCM_CLEARSTYLE, GS_MULTISELECT);
        Send(GCM_SETSIZE, 16, 2);
        Send(GCM_SETCOLWIDTH, 1, 350);
        for (int row = 1; row <= 16; ++row) {
            Send(GCM_SETREADONLY, Cell(row, 2), 1);
            Send(GCM_SETROWHEIGHT, row, 18);
        }
        Paint();
        ResetNotices();
    }
    void TearDown() override { SetFocus(TestParent()); DestroyWindow(grid); ResetNotices(); }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { return SendMessageA(grid, message, wParam, lParam); }
    static WPARAM Cell(int row, int column) { return WPARAM(DWORD(MAKELONG(row, column))); }
    // The layout and the scroll bars are worked out when the grid paints.
    void Paint() { RedrawWindow(grid, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }
    RECT CellRect(int row, int column)
    {
        RECT rect = {-1, -1, -1, -1};
        Send(GCM_GETCELLRECT, Cell(row, column), LPARAM(&rect));
        return rect;
    }
    std::string Text(int row, int column)
    {
        char buffer[400] = "?";
        GridGetCellText(buffer, sizeof(buffer), grid, row, column);
        return buffer;
    }
    // The grid's answers to one message for each wParam, each followed by a space.
    std::string Answers(UINT message, std::initializer_list<WPARAM> wParams, LPARAM lParam = 0)
    {
        std::string answers;
        for (WPARAM wParam : wParams)
            answers += std::to_string(Send(message, wParam, lParam)) + " ";
        return answers;
    }
    // "anchor row,column current row,column"
    std::string Selection()
    {
        DWORD anchor = 0, current = 0;
        Send(GCM_GETSELECTION, WPARAM(&anchor), LPARAM(&current));
        return std::to_string(LOWORD(anchor)) + "," + std::to_string(HIWORD(anchor)) + " " +
               std::to_string(LOWORD(current)) + "," + std::to_string(HIWORD(current));
    }
    void Focus() { SetFocus(grid); ResetNotices(); } // and a fresh notice log
    void Keys(std::initializer_list<int> keys) // each pressed and let go
    {
        for (int key : keys) {
            Send(WM_KEYDOWN, WPARAM(key));
            Send(WM_KEYUP, WPARAM(key));
        }
    }
    void Type(const std::string& text)
    {
        for (char c : text)
            Send(WM_CHAR, WPARAM(static_cast<unsigned char>(c)));
    }
    POINT Center(int row, int column)
    {
        RECT rect = CellRect(row, column);
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    static LPARAM At(POINT point) { return MAKELPARAM(point.x, point.y); }
    void Press(POINT point) { Send(WM_LBUTTONDOWN, MK_LBUTTON, At(point)); }
    void Move(POINT point) { Send(WM_MOUSEMOVE, MK_LBUTTON, At(point)); }
    void Click(POINT point) { Press(point); Send(WM_LBUTTONUP, 0, At(point)); }

    HWND grid = nullptr;
};

// The answer noted with each notice: 1000 when the grid's modified bit is set, plus the text
// size of the cell the notice names.
inline LRESULT ModifiedAndTextSize(HWND grid, LPARAM cell)
{
    return 1000 * SendMessageA(grid, GCM_GETMODIFIED, 0, 0) +
           SendMessageA(grid, GCM_GETCELLTEXTSIZE, LOWORD(cell), HIWORD(cell));
}

// Puts the text, terminator included, on the clipboard as CF_TEXT; null leaves it empty.
inline bool PutClipboard(const char* text)
{
    if (!OpenClipboard(TestParent()))
        return false;
    EmptyClipboard();
    bool put = true;
    if (text != nullptr) {
        size_t size = strlen(text) + 1;
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
        memcpy(GlobalLock(memory), text, size);
        GlobalUnlock(memory);
        put = SetClipboardData(CF_TEXT, memory) != nullptr;
    }
    CloseClipboard();
    return put;
}

inline std::string ClipboardText()
{
    std::string text = "(none)";
    if (!OpenClipboard(TestParent()))
        return "(not opened)";
    HANDLE data = GetClipboardData(CF_TEXT);
    if (const char* locked = data != nullptr ? static_cast<const char*>(GlobalLock(data)) : nullptr) {
        text = std::string(locked, strnlen(locked, GlobalSize(data)));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}
