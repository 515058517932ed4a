#include "tests/controls/grid_input_fixture.h"

namespace {

class GridMouseTest : public GridInputTest {
protected:
    void Move(POINT point) { Send(WM_MOUSEMOVE, MK_LBUTTON, At(point.x, point.y)); }
    void Release() { Send(WM_LBUTTONUP); }
    void DoubleClick(POINT point) { Click(point); Send(WM_LBUTTONDBLCLK, MK_LBUTTON, At(point.x, point.y)); Release(); }
    void Drag(POINT from, POINT to) { Move(from); Press(from); Move(to); Release(); }
    static bool CursorIs(const char* shape) { return GetCursor() == LoadCursorA(nullptr, shape); }
};

TEST_F(GridMouseTest, PressesSelectTakeTheFocusAndCommitAndDoubleClicksEditWritableCells)
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
    EXPECT_TRUE(NoticesAre({N(GCN_SETFOCUS), N(GCN_CLICK, 3, 1), N(GCN_SELCHANGE, 3, 1), N(GCN_CLICK, 3, 1),
                            N(GCN_BEGINEDIT, 3, 1), N(GCN_ENDEDIT, 3, 1), N(GCN_TEXTSET, 3, 1),
                            N(GCN_CLICK, 5, 1), N(GCN_SELCHANGE, 5, 1), N(GCN_DBLCLK, 5, 1)}));
    EXPECT_EQ(Text(3, 1), "abc");

    GridSetCellText("keep", 5, grid, 4, 1);
    g_log = NoticeLog();
    DoubleClick(Center(4, 2));  // read-only: no edit
    DoubleClick(Center(4, 1));
    Click(Center(6, 1));  // stores the empty edit text
    EXPECT_TRUE(NoticesAre({N(GCN_CLICK, 4, 2), N(GCN_SELCHANGE, 4, 2), N(GCN_DBLCLK, 4, 2), N(GCN_CLICK, 4, 1),
                            N(GCN_SELCHANGE, 4, 1), N(GCN_BEGINEDIT, 4, 1), N(GCN_ENDEDIT, 4, 1),
                            N(GCN_TEXTSET, 4, 1), N(GCN_CLICK, 6, 1), N(GCN_SELCHANGE, 6, 1)}));
    EXPECT_EQ(Text(4, 1), "");
    EXPECT_EQ(Send(GCM_GETCELLCHANGED, Cell(4, 1)), 4);
}

TEST_F(GridMouseTest, HeadersSelectWholeColumnsRowsOrAllAndDraggingGrowsTheSelection)
{
    CreateGrid(600, 300);
    Focus();
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
    EXPECT_TRUE(NoticesAre({N(GCN_SELCHANGE, 10, 3), N(GCN_DRAGSELECT, 10, 5), N(GCN_SELCHANGE, 4, 10),
                            N(GCN_SELCHANGE, 10, 10), N(GCN_CLICK, 2, 2), N(GCN_SELCHANGE, 2, 2),
                            N(GCN_DRAGSELECT, 4, 3), N(GCN_CLICK, 6, 6), N(GCN_SELCHANGE, 6, 6)}));
}

TEST_F(GridMouseTest, PressesBeyondTheLastShownColumnOrRowHitItAndNotAHiddenOneAfterIt)
{
    CreateGrid(600, 300);  // all ten rows and columns shown; the last column reaches the right edge
    Send(GCM_SETCOLWIDTH, 10, 0);
    Send(GCM_SETROWHEIGHT, 9, 0);
    Send(GCM_SETROWHEIGHT, 10, 0);
    Paint();
    Focus();
    Click(POINT{580, 100});  // in the stretched part of column 9
    EXPECT_TRUE(SelectionIs(4, 9, 4, 9));
    Click(POINT{100, 21 + 8 * 21 + 1});  // one pixel below row 8
    EXPECT_TRUE(SelectionIs(8, 1, 8, 1));
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

    Drag(POINT{152, 10}, POINT{162, 10});  // just right of a border: the column left of it
    EXPECT_EQ(Send(GCM_GETCOLWIDTH, 3), 60);
    Move(POINT{10, 40});  // the border under row 1
    EXPECT_TRUE(CursorIs(IDC_SIZENS));
    Drag(POINT{10, 40}, POINT{10, 50});
    EXPECT_EQ(Send(GCM_GETROWHEIGHT, 1), 31);
    EXPECT_EQ(Send(GCM_GETCOLWIDTH, 2), 0);

    Send(GCM_CLEARSTYLE, GS_COLUMNSIZING);
    Move(POINT{202, 10});
    EXPECT_TRUE(CursorIs(IDC_ARROW));
    EXPECT_TRUE(NoticesAre({N(GCN_SETFOCUS)}));  // border presses select nothing
}

TEST_F(GridMouseTest, DraggingOutsideScrollsOnATimerFasterFurtherOut)
{
    CreateGrid(300, 150);
    Send(GCM_SETSIZE, 20, 3);  // vertical range 1 to 15
    Paint();
    SetFocus(grid);
    POINT origin = {0, 0};
    ClientToScreen(grid, &origin);
    auto ticks = [this](int count) {
        for (int i = 0; i < count; ++i)
            Send(WM_TIMER, 1);
        return GetScrollPos(grid, SB_VERT);
    };
    Press(Center(2, 2));
    SetCursorPos(origin.x + 100, origin.y + 150 + 60);
    Send(WM_MOUSEMOVE, MK_LBUTTON, At(100, 210));
    LRESULT row = Send(GCM_GETCURROW);
    EXPECT_EQ(ticks(2), 3);  // far out: a row every tick
    SetCursorPos(origin.x + 100, origin.y + 150 + 5);
    EXPECT_EQ(ticks(8), 4);  // close by: every eighth tick
    ASSERT_LT(origin.y, 16);
    SetCursorPos(origin.x + 100, 0);  // as far above as the screen allows
    EXPECT_EQ(ticks(7), 3);
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
