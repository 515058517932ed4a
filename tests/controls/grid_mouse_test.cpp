#include "tests/controls/grid_fixture.h"

namespace {

class GridMouseTest : public GridTest {
protected:
    void Release() { Send(WM_LBUTTONUP); }
    void DoubleClick(POINT point)
    {
        Click(point);
        Send(WM_LBUTTONDBLCLK, MK_LBUTTON, At(point));
        Release();
    }
    void Drag(POINT from, POINT to)
    {
        Move(from);
        Press(from);
        Move(to);
        Release();
    }
    static bool CursorIs(const char* shape) { return GetCursor() == LoadCursorA(nullptr, shape); }
};

TEST_F(GridMouseTest, PressesSelectTakeTheFocusAndCommitAndDoubleClicksEditWritableCells)
{
    CreatePositionGrid();
    Click(Center(3, 1));
    Click(Center(3, 1));
    Click(Center(0, 2)); // no multi-select: a header press selects nothing
    Type("abc");
    Click(Center(5, 1));
    // Far outside the window: nothing is hit; a double click there only tells the parent.
    Click(POINT{-30000, 30000});
    Move(POINT{32767, -32768});
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, At(POINT{-1, -1}));
    EXPECT_EQ(g_notices, "focus; click 3,1; sel 3,1; click 3,1; begin 3,1; end 3,1; text 3,1; click 5,1; sel 5,1; "
                         "dblclk 5,1");
    EXPECT_EQ(Text(3, 1), "abc");

    GridSetCellText("keep", 5, grid, 4, 1);
    ResetNotices();
    DoubleClick(Center(4, 2)); // read-only: no edit
    DoubleClick(Center(4, 1));
    Click(Center(6, 1)); // stores the empty edit text
    EXPECT_EQ(g_notices, "click 4,2; sel 4,2; dblclk 4,2; click 4,1; sel 4,1; begin 4,1; end 4,1; text 4,1; "
                         "click 6,1; sel 6,1");
    EXPECT_EQ(Text(4, 1), "");
    EXPECT_EQ(Send(GCM_GETCELLCHANGED, Cell(4, 1)), 4);
}

TEST_F(GridMouseTest, HeadersSelectWholeColumnsRowsOrAllAndDraggingGrowsTheSelection)
{
    CreateGrid(600, 300);
    Focus();
    Press(Center(0, 3));
    Move(Center(5, 5)); // a whole-column drag follows only the column
    Release();
    EXPECT_EQ(Selection(), "1,3 10,5");
    Click(Center(4, 0));
    EXPECT_EQ(Selection(), "4,1 4,10");
    Click(Center(0, 0));
    EXPECT_EQ(Selection(), "1,1 10,10");
    Press(Center(2, 2));
    Move(Center(4, 3));
    Move(Center(4, 3));
    Move(Center(0, 3)); // a header is no cell to drag to
    Release();
    Send(WM_KEYDOWN, VK_SHIFT);
    Click(Center(6, 6));
    Send(WM_KEYUP, VK_SHIFT);
    EXPECT_EQ(Selection(), "2,2 6,6");
    EXPECT_EQ(g_notices, "sel 10,3; drag 10,5; sel 4,10; sel 10,10; click 2,2; sel 2,2; drag 4,3; click 6,6; sel 6,6");

    // Presses beyond the last shown column or row hit it, not a hidden one after it.
    Send(GCM_SETCOLWIDTH, 10, 0);
    Send(GCM_SETROWHEIGHT, 9, 0);
    Send(GCM_SETROWHEIGHT, 10, 0);
    Paint();
    Click(POINT{580, 100}); // in the stretched part of column 9
    EXPECT_EQ(Selection(), "4,9 4,9");
    Click(POINT{100, 21 + 8 * 21 + 1}); // one pixel below row 8
    EXPECT_EQ(Selection(), "8,1 8,1");
}

TEST_F(GridMouseTest, DraggingBordersSetsWidthsAndHeightsDownToZero)
{
    CreateGrid(400, 300);
    Send(GCM_SETSTYLE, GS_COLUMNSIZING | GS_ROWSIZING | GS_WHOLEROWS);
    Send(GCM_SETCOLWIDTH, 2, 20); // column 2 spans x 100 to 120
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

    Drag(POINT{152, 10}, POINT{162, 10}); // just right of a border: the column left of it
    EXPECT_EQ(Send(GCM_GETCOLWIDTH, 3), 60);
    Move(POINT{10, 40}); // the border under row 1
    EXPECT_TRUE(CursorIs(IDC_SIZENS));
    Drag(POINT{10, 40}, POINT{10, 50});
    EXPECT_EQ(Answers(GCM_GETROWHEIGHT, {1}) + Answers(GCM_GETCOLWIDTH, {2}), "31 0 ");

    Send(GCM_CLEARSTYLE, GS_COLUMNSIZING);
    Move(POINT{202, 10});
    EXPECT_TRUE(CursorIs(IDC_ARROW));
    EXPECT_EQ(g_notices, "focus"); // border presses select nothing
}

TEST_F(GridMouseTest, DraggingOutsideScrollsOnATimerFasterFurtherOut)
{
    CreateGrid(300, 150);
    Send(GCM_SETSIZE, 20, 3); // vertical range 1 to 15
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
    Move(POINT{100, 210});
    LRESULT row = Send(GCM_GETCURROW);
    EXPECT_EQ(ticks(2), 3); // far out: a row every tick
    SetCursorPos(origin.x + 100, origin.y + 150 + 5);
    EXPECT_EQ(ticks(8), 4); // close by: every eighth tick
    ASSERT_LT(origin.y, 16);
    SetCursorPos(origin.x + 100, 0); // as far above as the screen allows
    EXPECT_EQ(ticks(7), 3);
    EXPECT_EQ(Send(GCM_GETCURROW), row); // only the view moved

    SetCursorPos(origin.x + 100, origin.y + 150 + 60);
    // One message at a time: on a loaded machine the 10 ms timer is due again before a
    // drained queue would let a pump return.
    MSG msg;
    for (int i = 0; i < 400 && GetScrollPos(grid, SB_VERT) != 15; ++i) {
        Sleep(5);
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    EXPECT_EQ(GetScrollPos(grid, SB_VERT), 15);
    Move(POINT{100, 30}); // back inside: the timer stops
    EXPECT_EQ(Send(GCM_GETCURROW), 15);
    EXPECT_FALSE(KillTimer(grid, 1));

    // Losing the mouse to another window ends the drag and its timer.
    Move(POINT{100, 210});
    SetCapture(TestParent());
    ReleaseCapture();
    EXPECT_FALSE(KillTimer(grid, 1));
    SetCursorPos(630, 470); // off every grid of the later tests
    Release();
}

} // namespace
