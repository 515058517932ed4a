// A grid driven by input messages: keys, characters and mouse presses at cells.
#pragma once
#include <cstdio>
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
            char header[8];
            snprintf(header, sizeof(header), "%X", row - 1);
            GridSetCellText(header, sizeof(header), grid, row, 0);
        }
        Paint();
        g_log = NoticeLog();
    }
    // Gives the grid the focus and starts a fresh notice log.
    void Focus()
    {
        SetFocus(grid);
        g_log = NoticeLog();
    }
    void TearDown() override
    {
        SetFocus(TestParent());
        GridTest::TearDown();
    }
    void Key(WPARAM key)
    {
        Send(WM_KEYDOWN, key);
        Send(WM_KEYUP, key);
    }
    void Keys(std::initializer_list<int> keys)
    {
        for (int key : keys)
            Key(WPARAM(key));
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
    void Click(POINT point)
    {
        Press(point);
        Send(WM_LBUTTONUP, 0, At(point.x, point.y));
    }
};

// Puts size bytes on the clipboard as CF_TEXT, exactly as given (a terminator only if
// they hold one); size 0 leaves the clipboard empty.
inline bool PutClipboard(const char* bytes, size_t size)
{
    if (!OpenClipboard(TestParent()))
        return false;
    EmptyClipboard();
    bool put = true;
    if (size > 0) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
        memcpy(GlobalLock(memory), bytes, size);
        GlobalUnlock(memory);
        put = SetClipboardData(CF_TEXT, memory) != nullptr;
    }
    CloseClipboard();
    return put;
}

inline bool PutClipboard(const std::string& text)
{
    return PutClipboard(text.c_str(), text.size() + 1);
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

// The answer recorded with each notice: 1000 when the grid's modified bit is set, plus
// the text size of the cell the notice names.
inline LRESULT ModifiedAndTextSize(HWND grid, const Notice& notice)
{
    return 1000 * SendMessageA(grid, GCM_GETMODIFIED, 0, 0) +
           SendMessageA(grid, GCM_GETCELLTEXTSIZE, LOWORD(notice.lParam), HIWORD(notice.lParam));
}
