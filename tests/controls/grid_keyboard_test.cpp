#include "tests/controls/grid_fixture.h"

namespace {

class GridKeyboardTest : public GridTest {};

TEST_F(GridKeyboardTest, EscapeKeepsTheTextEnterCommitsAndReadOnlyCellsRefuseEditing)
{
    CreatePositionGrid();
    GridSetCellText("old.bin", 8, grid, 1, 1);
    Focus();
    EXPECT_EQ(Send(WM_CHAR, 0x7E), 1); // never typed into a cell
    EXPECT_EQ(Send(WM_CHAR, 0xE9), 1);
    Type("zz");
    Keys({VK_ESCAPE, VK_DELETE, VK_ESCAPE, VK_ESCAPE /* not editing: nothing */, VK_RIGHT, VK_DELETE});
    EXPECT_EQ(Send(WM_CHAR, 'a'), 1);
    EXPECT_EQ(g_notices, "begin 1,1; end 1,1; del 1,1; begin 1,1; end 1,1; sel 1,2; del 1,2");
    EXPECT_EQ(Text(1, 1), "old.bin");
    EXPECT_EQ(Send(GCM_GETMODIFIED), 0);
    EXPECT_EQ(Send(GCM_GETCELLCHANGED, Cell(1, 1)), 0);

    // Typing starts from empty; Enter commits, then moves down.
    Keys({VK_LEFT});
    ResetNotices();
    g_noticeQuery = ModifiedAndTextSize;
    Type("new");
    // The edit box: a black frame 2 pixels inside the cell, white inside it; the caret at its end.
    RECT cell = CellRect(1, 1);
    ClientPixels editBox(grid);
    EXPECT_EQ(editBox.At(cell.left + 2, (cell.top + cell.bottom) / 2), 0x000000u);
    EXPECT_EQ(editBox.At(cell.left + 6, cell.top + 4), 0xFFFFFFu);
    POINT caret = {0, 0};
    GetCaretPos(&caret);
    EXPECT_EQ(caret.x, cell.right - 8);
    Keys({VK_RETURN});
    // Modified already at the end of the edit, while the cell still holds the old text.
    EXPECT_EQ(g_notices, "begin 1,1 =8; end 1,1 =1008; text 1,1 =1004; sel 2,1 =1000");
    EXPECT_EQ(Text(1, 1), "new");
    EXPECT_EQ(Send(GCM_GETCELLCHANGED, Cell(1, 1)), 4);

    // The same text again changes nothing; Backspace takes back the last character.
    Send(GCM_SETMODIFIED, 0);
    Keys({VK_UP});
    Type("neww");
    Keys({VK_BACK});
    SetFocus(TestParent()); // losing the focus commits
    EXPECT_EQ(Text(1, 1), "new");
    EXPECT_EQ(Send(GCM_GETMODIFIED), 0);

    // One edit holds at most 301 characters; the rest beep.
    SetFocus(grid);
    Type(std::string(305, 'x'));
    Keys({VK_RETURN});
    EXPECT_EQ(Send(GCM_GETCELLTEXTSIZE, 1, 1), 302);
}

TEST_F(GridKeyboardTest, MovesStopAtTheEdgesAndPageByWhatFits)
{
    CreatePositionGrid();
    Focus();
    // Column 2 is the last; F13 and key 7 are outside the key table; 9 rows of 18 fill a page.
    Keys({VK_UP, VK_LEFT, VK_RIGHT, VK_RIGHT, VK_F1, VK_F12, VK_F13, 7, VK_NEXT, VK_NEXT, VK_DOWN, VK_PRIOR});
    Send(WM_KEYDOWN, VK_SHIFT);
    Keys({VK_PRIOR, VK_TAB}); // Shift keeps the anchor row, multi-select or not
    EXPECT_EQ(g_notices, "sel 1,2; F1 1,2; F12 1,2; sel 10,2; sel 16,2; sel 7,2; sel 1,2; unfocus");
    EXPECT_EQ(Selection(), "7,2 1,2");

    // Without multi-select, Shift does not grow the selection.
    SetFocus(grid);
    Send(WM_KEYDOWN, VK_SHIFT);
    Keys({VK_DOWN});
    EXPECT_EQ(Selection(), "2,2 2,2");
}

TEST_F(GridKeyboardTest, ShiftGrowsAMultiSelectionForCopyAndCtrlDragsTheAnchor)
{
    CreateGrid(400, 300);
    Send(GCM_SELECTCELL, 2, 1);
    SetFocus(grid);
    Send(WM_KEYDOWN, VK_SHIFT);
    Keys({VK_DOWN, VK_DOWN});
    Send(WM_KEYDOWN, VK_DOWN); // a repeat, without its key-up
    EXPECT_EQ(Selection(), "2,1 5,1");
    EXPECT_EQ(Send(WM_CHAR, 0x03), 0); // Ctrl+C: four empty lines
    EXPECT_EQ(ClipboardText(), "\r\n\r\n\r\n\r\n");
    Send(WM_KEYDOWN, VK_CONTROL);
    Keys({VK_RIGHT});
    Send(WM_KEYUP, VK_CONTROL);
    EXPECT_EQ(Selection(), "2,2 5,2");
    Keys({VK_RIGHT});
    EXPECT_EQ(Selection(), "2,2 5,3");

    ResetNotices();
    EXPECT_EQ(Send(WM_CHAR, 0x01), 0); // Ctrl+A
    EXPECT_EQ(Selection(), "1,1 10,10");
    EXPECT_EQ(g_notices, "");
}

} // namespace
