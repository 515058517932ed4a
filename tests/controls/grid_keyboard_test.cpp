#include "tests/controls/grid_input_fixture.h"

namespace {

class GridKeyboardTest : public GridInputTest {};

TEST_F(GridKeyboardTest, TypingEditsFromEmptyAndEnterCommitsThenMovesDown)
{
    CreatePositionGrid();
    GridSetCellText("old.bin", 8, grid, 1, 1);
    SetFocus(grid);
    g_log = NoticeLog();
    g_log.query = ModifiedAndTextSize;
    Type("new");
    {
        // The edit box: a black frame 2 pixels inside the cell, white inside it.
        RECT cell = CellRect(1, 1);
        ClientPixels pixels(grid);
        int middle = (cell.top + cell.bottom) / 2;
        EXPECT_EQ(pixels.At(cell.left + 2, middle), 0x000000u);
        EXPECT_EQ(pixels.At(cell.left + 6, cell.top + 4), 0xFFFFFFu);
        POINT caret = {0, 0};
        GetCaretPos(&caret);
        EXPECT_EQ(caret.x, cell.right - 8);
    }
    Key(VK_RETURN);
    const Notice expected[] = {
        {kId, GCN_BEGINEDIT, Word(1, 1), 8},
        {kId, GCN_ENDEDIT, Word(1, 1), 1008},  // modified already, the cell still old
        {kId, GCN_TEXTSET, Word(1, 1), 1004},
        {kId, GCN_SELCHANGE, Word(2, 1), 1000},
    };
    EXPECT_TRUE(NoticesAre(expected));
    EXPECT_EQ(Text(1, 1), "new");
    EXPECT_EQ(Send(GCM_GETCELLCHANGED, Cell(1, 1)), 4);
    EXPECT_EQ(Send(GCM_GETCURROW), 2);

    // The same text again changes nothing; Backspace takes back the last character.
    Send(GCM_SETMODIFIED, 0);
    Key(VK_UP);
    Type("neww");
    Key(VK_BACK);
    SetFocus(TestParent());  // losing the focus commits
    EXPECT_EQ(Text(1, 1), "new");
    EXPECT_EQ(Send(GCM_GETMODIFIED), 0);

    // One edit holds at most 301 characters; the rest beep.
    SetFocus(grid);
    Type(std::string(305, 'x'));
    Key(VK_RETURN);
    EXPECT_EQ(Send(GCM_GETCELLTEXTSIZE, 1, 1), 302);
}

TEST_F(GridKeyboardTest, EscapeKeepsTheTextAndReadOnlyCellsRefuseEditing)
{
    CreatePositionGrid();
    GridSetCellText("old.bin", 8, grid, 1, 1);
    SetFocus(grid);
    g_log = NoticeLog();
    EXPECT_EQ(Send(WM_CHAR, 0x7E), 1);  // never typed into a cell
    EXPECT_EQ(Send(WM_CHAR, 0xE9), 1);
    Type("zz");
    Key(VK_ESCAPE);
    Key(VK_DELETE);
    Key(VK_ESCAPE);
    Key(VK_ESCAPE);  // not editing: nothing
    Key(VK_RIGHT);
    Key(VK_DELETE);
    EXPECT_EQ(Send(WM_CHAR, 'a'), 1);
    const Notice expected[] = {
        {kId, GCN_BEGINEDIT, Word(1, 1), 0}, {kId, GCN_ENDEDIT, Word(1, 1), 0},
        {kId, GCN_DELETEKEY, Word(1, 1), 0}, {kId, GCN_BEGINEDIT, Word(1, 1), 0},
        {kId, GCN_ENDEDIT, Word(1, 1), 0},   {kId, GCN_SELCHANGE, Word(1, 2), 0},
        {kId, GCN_DELETEKEY, Word(1, 2), 0},
    };
    EXPECT_TRUE(NoticesAre(expected));
    EXPECT_EQ(Text(1, 1), "old.bin");
    EXPECT_EQ(Send(GCM_GETMODIFIED), 0);
    EXPECT_EQ(Send(GCM_GETCELLCHANGED, Cell(1, 1)), 0);
}

TEST_F(GridKeyboardTest, MovesStopAtTheEdgesAndPageByWhatFits)
{
    CreatePositionGrid();
    SetFocus(grid);
    g_log = NoticeLog();
    Key(VK_UP);
    Key(VK_LEFT);
    Key(VK_RIGHT);
    Key(VK_RIGHT);  // column 2 is the last
    Key(VK_F1);
    Key(VK_F12);
    Key(VK_F13);  // outside the key table
    Key(7);
    Key(VK_NEXT);  // 179 pixels under the header hold 9 rows of 18
    Key(VK_NEXT);
    Key(VK_DOWN);
    Key(VK_PRIOR);
    Send(WM_KEYDOWN, VK_SHIFT);
    Key(VK_PRIOR);  // Shift keeps the anchor row, multi-select or not
    Key(VK_TAB);
    const Notice expected[] = {
        {kId, GCN_SELCHANGE, Word(1, 2), 0},  {kId, GCN_FKEY1, Word(1, 2), 0},
        {kId, GCN_FKEY12, Word(1, 2), 0},     {kId, GCN_SELCHANGE, Word(10, 2), 0},
        {kId, GCN_SELCHANGE, Word(16, 2), 0}, {kId, GCN_SELCHANGE, Word(7, 2), 0},
        {kId, GCN_SELCHANGE, Word(1, 2), 0},  {kId, GCN_KILLFOCUS, 0, 0},
    };
    EXPECT_TRUE(NoticesAre(expected));
    EXPECT_EQ(GetFocus(), TestParent());
    EXPECT_TRUE(SelectionIs(7, 2, 1, 2));

    // Without multi-select, Shift does not grow the selection.
    SetFocus(grid);
    Send(WM_KEYDOWN, VK_SHIFT);
    Key(VK_DOWN);
    EXPECT_TRUE(SelectionIs(2, 2, 2, 2));
}

TEST_F(GridKeyboardTest, ShiftGrowsAMultiSelectionAndCtrlDragsTheAnchor)
{
    CreateGrid(400, 300);
    Send(GCM_SELECTCELL, 2, 1);
    SetFocus(grid);
    Send(WM_KEYDOWN, VK_SHIFT);
    Key(VK_DOWN);
    Key(VK_DOWN);
    Send(WM_KEYDOWN, VK_DOWN);
    EXPECT_TRUE(SelectionIs(2, 1, 5, 1));
    Send(WM_KEYDOWN, VK_CONTROL);
    Key(VK_RIGHT);
    Send(WM_KEYUP, VK_CONTROL);
    EXPECT_TRUE(SelectionIs(2, 2, 5, 2));
    Key(VK_RIGHT);
    EXPECT_TRUE(SelectionIs(2, 2, 5, 3));

    g_log = NoticeLog();
    EXPECT_EQ(Send(WM_CHAR, 0x01), 0);  // Ctrl+A
    EXPECT_TRUE(SelectionIs(1, 1, 10, 10));
    EXPECT_TRUE(g_log.notices.empty());
}

void PressKey(WORD key, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(input));
}

// Real key strokes reach the focused grid through the message loop, which turns them into
// characters.
TEST_F(GridKeyboardTest, KeyStrokesThroughTheSystemTypeIntoTheFocusedGrid)
{
    CreatePositionGrid();
    SetForegroundWindow(TestParent());
    SetFocus(grid);
    ASSERT_EQ(GetFocus(), grid);
    for (WORD key : {WORD('N'), WORD('E'), WORD('W'), WORD(VK_RETURN)}) {
        PressKey(key, false);
        PressKey(key, true);
    }
    for (int i = 0; i < 50 && Send(GCM_GETCURROW) != 2; ++i) {
        Sleep(10);
        PumpMessages();
    }
    EXPECT_EQ(Text(1, 1), "new");
    EXPECT_EQ(Send(GCM_GETCURROW), 2);
    EXPECT_EQ(Send(GCM_GETMODIFIED), 1);
}

}  // namespace
