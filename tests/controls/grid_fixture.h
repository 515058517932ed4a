// A grid under test: a child of the test parent, created with the given size and title.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "controls/grid_control.h"
#include "controls/register_controls.h"
#include "tests/controls/control_harness.h"

const int kId = 1000;  // control id of the grid under test

class GridTest : public ::testing::Test {
protected:
    void CreateGrid(int width, int height, const char* title = "")
    {
        ASSERT_TRUE(RegisterControlClasses(GetModuleHandleA(nullptr)));
        grid = CreateControl(TestParent(), "KVGRIDCONTROL", title, kId, 10, 10, width, height);
        ASSERT_NE(grid, nullptr);
        g_log = NoticeLog();
    }
    void TearDown() override { DestroyWindow(grid); g_log = NoticeLog(); }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { return SendMessageA(grid, message, wParam, lParam); }
    static WPARAM Cell(int row, int column) { return WPARAM(DWORD(MAKELONG(row, column))); }
    static LPARAM Word(int row, int column) { return LPARAM(Cell(row, column)); }
    // A notice from the grid about a cell (or about none, for the focus notices).
    static Notice N(int code, int row = 0, int column = 0, LRESULT answer = 0)
    {
        return Notice{kId, code, Word(row, column), answer};
    }
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
    ::testing::AssertionResult SelectionIs(int anchorRow, int anchorColumn, int row, int column)
    {
        DWORD anchor = 0, current = 0;
        Send(GCM_GETSELECTION, WPARAM(&anchor), LPARAM(&current));
        if (anchor == DWORD(Word(anchorRow, anchorColumn)) && current == DWORD(Word(row, column)))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "anchor (" << LOWORD(anchor) << ", " << HIWORD(anchor)
                                             << "), current (" << LOWORD(current) << ", " << HIWORD(current) << ")";
    }

    HWND grid = nullptr;
};

// The answer recorded with each notice: 1000 when the grid's modified bit is set, plus
// the text size of the cell the notice names.
inline LRESULT ModifiedAndTextSize(HWND grid, const Notice& notice)
{
    return 1000 * SendMessageA(grid, GCM_GETMODIFIED, 0, 0) +
           SendMessageA(grid, GCM_GETCELLTEXTSIZE, LOWORD(notice.lParam), HIWORD(notice.lParam));
}
