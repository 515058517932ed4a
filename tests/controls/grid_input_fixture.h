// A grid driven by input messages: keys, characters and mouse presses at cells.
#pragma once
#include <cstring>
#include <string>

#include "tests/controls/grid_fixture.h"

class GridInputTest : public GridTest {
protected:
    // The position grid as the main window sets it up: 16 rows, column 1 editable, column 2
    // read-only, no multi-select.
    void CreatePositionGrid()
    {
        CreateGrid(500, 200, "Local PC");
        Send(GCM_CLEARSTYLE, 0x7000);
        Send(GCM_SETCOLOR, GCC_READONLYBK, 0xFFFFFF);
        Send(GCM_SETSIZE, 16, 2);
        Send(GCM_SETCOLWIDTH, 0, 25);
        Send(GCM_SETCOLWIDTH, 1, 350);
        GridSetCellText("File Selection", 15, grid, 0, 1);
        GridSetCellText("Device Content", 15, grid, 0, 2);
        Send(GCM_SETTITLEHEIGHT, 0);
        for (int row = 1; row <= 16; ++row) {
            Send(GCM_SETREADONLY, Cell(row, 2), 1);
            Send(GCM_SETROWHEIGHT, row, 18);
            const char header[2] = {"0123456789ABCDEF"[row - 1], '\0'};
            GridSetCellText(header, 2, grid, row, 0);
        }
        Paint();
        g_log = NoticeLog();
    }
    // Gives the grid the focus and starts a fresh notice log.
    void Focus() { SetFocus(grid); g_log = NoticeLog(); }
    void TearDown() override { SetFocus(TestParent()); GridTest::TearDown(); }
    void Keys(std::initializer_list<int> keys)  // each pressed and let go
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
    static LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
    void Press(POINT point) { Send(WM_LBUTTONDOWN, MK_LBUTTON, At(point.x, point.y)); }
    void Click(POINT point) { Press(point); Send(WM_LBUTTONUP, 0, At(point.x, point.y)); }
};

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
