#include "tests/controls/grid_input_fixture.h"

namespace {

class GridMouseTest : public GridInputTest {
protected:
    void Press(POINT point) { Send(WM_LBUTTONDOWN, MK_LBUTTON, At(point.x, point.y)); }
    void Move(POINT point) { Send(WM_MOUSEMOVE, MK_LBUTTON, At(point.x, point.y)); }
    void Release() { Send(WM_LBUTTONUP); }
    void DoubleClick(POINT point)
    {
        Click(point);
        Send(WM_LBUTTONDBLCLK, MK_LBUTTON, At(point.x, point.y));
        Release();
    }
    static bool CursorIs(const char* shape) { return GetCursor() == LoadCursorA(nullptr, shape); }
};

TEST_F(GridMouseTest, PressesSelectCellsTakeTheFocusAndCommitEdits)
{
    CreatePositionGrid();
    Click(Center(3, 1));
    Click(Center(3, 1));
    Click(Center(0, 2));  // no multi-select: a header press selects nothing
    Type("abc");
    Click(Center(5, 1));
    // Far outside the window: nothing is hit; a double click there only tells the parent.
    Click(POINT{-30000, 30000});
    Send(WM_MOUSEMOVE, MK_LBUTTON, At(32767, -32768));
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, At(-1, -1));
    const Notice expected[] = {
        {kId, GCN_SETFOCUS, 0, 0},          {kId, GCN_CLICK, Word(3, 1), 0},
        {kId, GCN_SELCHANGE, Word(3, 1), 0}, {kId, GCN_CLICK, Word(3, 1), 0},
        {kId, GCN_BEGINEDIT, Word(3, 1), 0}, {kId, GCN_ENDEDIT, Word(3, 1), 0},
        {kId, GCN_TEXTSET, Word(3, 1), 0},   {kId, GCN_CLICK, Word(5, 1), 0},
        {kId, GCN_SELCHANGE, Word(5, 1), 0}, {kId, GCN_DBLCLK, Word(5, 1), 0},
    };
    EXPECT_TRUE(NoticesAre(expected));
    EXPECT_EQ(Text(3, 1), "abc");
    EXPECT_EQ(GetFocus(), grid);
}

TEST_F(GridMouseTest, DoubleClickEditsOnlyTheWritableCurrentCell)
{
    CreatePositionGrid();
    GridSetCellText("keep", 5, grid, 4, 1);
    SetFocus(grid);
    g_log = NoticeLog();
    DoubleClick(Center(4, 2));
    DoubleClick(Center(4, 1));
    Click(Center(6, 1));  // stores the empty edit text
    const Notice expected[] = {
        {kId, GCN_CLICK, Word(4, 2), 0},     {kId, GCN_SELCHANGE, Word(4, 2), 0},
        {kId, GCN_DBLCLK, Word(4, 2), 0},    {kId, GCN_CLICK, Word(4, 1), 0},
        {kId, GCN_SELCHANGE, Word(4, 1), 0}, {kId, GCN_BEGINEDIT, Word(4, 1), 0},
        {kId, GCN_ENDEDIT, Word(4, 1), 0},   {kId, GCN_TEXTSET, Word(4, 1), 0},
        {kId, GCN_CLICK, Word(6, 1), 0},     {kId, GCN_SELCHANGE, Word(6, 1), 0},
    };
    EXPECT_TRUE(NoticesAre(expected));
    EXPECT_EQ(Text(4, 1), "");
    EXPECT_EQ(Send(GCM_GETCELLCHANGED, Cell(4, 1)), 4);
    EXPECT_EQ(Send(GCM_GETMODIFIED), 1);
}

TEST_F(GridMouseTest, HeadersSelectWholeColumnsRowsOrAllAndDraggingGrowsTheSelection)
{
    CreateGrid(600, 300);
    SetFocus(grid);
    g_log = NoticeLog();
    Press(Center(0, 3));
    Move(Center(5, 5));  // a whole-column drag follows only the column
    Release();
    EXPECT_TRUE(SelectionIs(1, 3, 10, 5));
    Click(Center(4, 0));
    EXPECT_TRUE(SelectionIs(4, 1, 4, 10));
    Click(Center(0, 0));
    EXPECT_TRUE(SelectionIs(1, 1, 10, 10));
    Press(Center(2, 2));
    Move(Center(4, 3));
    Move(Center(4, 3));
    Move(Center(0, 3));  // a header is no cell to drag to
    Release();
    Send(WM_KEYDOWN, VK_SHIFT);
    Click(Center(6, 6));
    EXPECT_TRUE(SelectionIs(2, 2, 6, 6));
    const Notice expected[] = {
        {kId, GCN_SELCHANGE, Word(10, 3), 0}, {kId, GCN_DRAGSELECT, Word(10, 5), 0},
        {kId, GCN_SELCHANGE, Word(4, 10), 0}, {kId, GCN_SELCHANGE, Word(10, 10), 0},
        {kId, GCN_CLICK, Word(2, 2), 0},      {kId, GCN_SELCHANGE, Word(2, 2), 0},
        {kId, GCN_DRAGSELECT, Word(4, 3), 0}, {kId, GCN_CLICK, Word(6, 6), 0},
        {kId, GCN_SELCHANGE, Word(6, 6), 0},
    };
    EXPECT_TRUE(NoticesAre(expected));
}

TEST_F(GridMouseTest, DraggingBordersSetsWidthsAndHeightsDownToZero)
{
    CreateGrid(400, 300);
    Send(GCM_SETSTYLE, GS_COLUMNSIZING | GS_ROWSIZING | GS_WHOLEROWS);
    Send(GCM_SETCOLWIDTH, 2, 20);  // column 2 spans x 100 to 120
    Move(POINT{118, 10});
    EXPECT_TRUE(CursorIs(IDC_SIZEWE));
    Press(POINT{118, 10});
    EXPECT_EQ(Send(GCM_GETSTYLE) & GS_WHOLEROWS, 0);
    Move(POINT{130, 10});
    EXPECT_EQ(Send(GCM_GETCOLWIDTH, 2), 32);
    Move(POINT{88, 10});
    EXPECT_EQ(Send(GCM_GETCOLWIDTH, 2), 0);
    EXPECT_TRUE(CursorIs(IDC_SIZEWE));
    Release();
    EXPECT_TRUE(CursorIs(IDC_ARROW));
    EXPECT_EQ(Send(GCM_GETSTYLE) & GS_WHOLEROWS, GS_WHOLEROWS);

    // Just right of a border the column left of it is dragged.
    Move(POINT{152, 10});
    Press(POINT{152, 10});
    Move(POINT{162, 10});
    Release();
    EXPECT_EQ(Send(GCM_GETCOLWIDTH, 3), 60);

    Move(POINT{10, 40});  // the border under row 1
    EXPECT_TRUE(CursorIs(IDC_SIZENS));
    Press(POINT{10, 40});
    Move(POINT{10, 50});
    Release();
    EXPECT_EQ(Send(GCM_GETROWHEIGHT, 1), 31);
    EXPECT_EQ(Send(GCM_GETCOLWIDTH, 2), 0);

    Send(GCM_CLEARSTYLE, GS_COLUMNSIZING);
    Move(POINT{202, 10});
    EXPECT_TRUE(CursorIs(IDC_ARROW));
    const Notice expected[] = {{kId, GCN_SETFOCUS, 0, 0}};  // border presses select nothing
    EXPECT_TRUE(NoticesAre(expected));
}

TEST_F(GridMouseTest, DraggingOutsideScrollsOnATimerFasterFurtherOut)
{
    CreateGrid(300, 150);
    Send(GCM_SETSIZE, 20, 3);  // vertical range 1 to 15
    Paint();
    SetFocus(grid);
    POINT origin = {0, 0};
    ClientToScreen(grid, &origin);
    Press(Center(2, 2));
    SetCursorPos(origin.x + 100, origin.y + 150 + 60);
    Send(WM_MOUSEMOVE, MK_LBUTTON, At(100, 210));
    LRESULT row = Send(GCM_GETCURROW);
    Send(WM_TIMER, 1);
    Send(WM_TIMER, 1);
    EXPECT_EQ(GetScrollPos(grid, SB_VERT), 3);  // far out: a row every tick
    SetCursorPos(origin.x + 100, origin.y + 150 + 5);
    for (int tick = 2; tick < 10; ++tick)
        Send(WM_TIMER, 1);
    EXPECT_EQ(GetScrollPos(grid, SB_VERT), 4);  // close by: every eighth tick
    ASSERT_LT(origin.y, 16);
    SetCursorPos(origin.x + 100, 0);  // as far above as the screen allows
    for (int tick = 10; tick <= 16; ++tick)
        Send(WM_TIMER, 1);
    EXPECT_EQ(GetScrollPos(grid, SB_VERT), 3);
    EXPECT_EQ(Send(GCM_GETCURROW), row);  // only the view moved

    SetCursorPos(origin.x + 100, origin.y + 150 + 60);
    for (int i = 0; i < 200 && GetScrollPos(grid, SB_VERT) != 15; ++i) {
        Sleep(5);
        PumpMessages();
    }
    EXPECT_EQ(GetScrollPos(grid, SB_VERT), 15);
    Send(WM_MOUSEMOVE, MK_LBUTTON, At(100, 30));  // back inside: the timer stops
    EXPECT_EQ(Send(GCM_GETCURROW), 15);
    EXPECT_FALSE(KillTimer(grid, 1));

    // Losing the mouse to another window ends the drag and its timer.
    Send(WM_MOUSEMOVE, MK_LBUTTON, At(100, 210));
    SetCapture(TestParent());
    ReleaseCapture();
    EXPECT_FALSE(KillTimer(grid, 1));
    SetCursorPos(630, 470);  // off every grid of the later tests
    Release();
}

}  // namespace
