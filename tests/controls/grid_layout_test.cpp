#include "controls/grid_state.h"
#include "tests/controls/grid_fixture.h"

namespace {

class GridLayoutTest : public GridTest {
protected:
    const GridState& State() { return *GridStateOf(grid); }
    void Range(int bar, int* low, int* high) { GetScrollRange(grid, bar, low, high); }
    bool Shown(DWORD scrollStyle) { return (GetWindowLongA(grid, GWL_STYLE) & scrollStyle) != 0; }
    void VScroll(int request, int position = 0) { Send(WM_VSCROLL, MAKEWPARAM(request, position)); }
    void HScroll(int request, int position = 0) { Send(WM_HSCROLL, MAKEWPARAM(request, position)); }
};

TEST_F(GridLayoutTest, VerticalBarRangeCountsRowsThatFitFromTheLastRow)
{
    CreateGrid(600, 150);
    Paint();
    EXPECT_EQ(GridRowsPerPage(State(), 10, -1), 6);  // 129 pixels under the header, 21 a row
    int low = 0, high = 0;
    Range(SB_VERT, &low, &high);
    EXPECT_TRUE(Shown(WS_VSCROLL));
    EXPECT_FALSE(Shown(WS_HSCROLL));
    EXPECT_EQ(low, 1);
    EXPECT_EQ(high, 5);

    // A thumb at the end keeps the end in view as rows are added; elsewhere the view stays.
    VScroll(SB_THUMBTRACK, 5);
    EXPECT_EQ(CellRect(5, 1).top, 21);
    Send(GCM_SETSIZE, 20, 10);
    Range(SB_VERT, &low, &high);
    EXPECT_EQ(high, 15);
    EXPECT_EQ(GetScrollPos(grid, SB_VERT), 15);
    EXPECT_EQ(CellRect(15, 1).top, 21);
    VScroll(SB_THUMBTRACK, 3);
    Send(GCM_SETSIZE, 30, 10);
    Range(SB_VERT, &low, &high);
    EXPECT_EQ(high, 25);
    EXPECT_EQ(CellRect(3, 1).top, 21);

    // Rows that all fit hide the bar and show the first row again.
    Send(GCM_SETSIZE, 4, 10);
    EXPECT_FALSE(Shown(WS_VSCROLL));
    EXPECT_EQ(CellRect(1, 1).top, 21);
    Send(GCM_SETSIZE, 30, 10);
    Send(GCM_SETSTYLE, GS_NOVSCROLL);
    SetWindowPos(grid, nullptr, 0, 0, 600, 151, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(Shown(WS_VSCROLL));  // never managed: left as it was
}

TEST_F(GridLayoutTest, VerticalRequestsAndTheWheelMoveTheTopRow)
{
    CreateGrid(600, 150);
    Paint();
    VScroll(SB_THUMBPOSITION, 4);
    EXPECT_EQ(CellRect(1, 1).top, 21);
    VScroll(SB_LINEDOWN);
    EXPECT_EQ(CellRect(2, 1).top, 21);
    Paint();
    VScroll(SB_PAGEDOWN);  // to the last visible row, at most the end of the range
    EXPECT_EQ(CellRect(5, 1).top, 21);
    VScroll(SB_LINEDOWN);
    EXPECT_EQ(CellRect(5, 1).top, 21);
    VScroll(SB_PAGEUP);
    EXPECT_EQ(CellRect(1, 1).top, 21);
    VScroll(SB_LINEUP);
    EXPECT_EQ(GetScrollPos(grid, SB_VERT), 1);

    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    ASSERT_GT(lines, 0u);
    ASSERT_LT(lines, 5u);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, -120));
    EXPECT_EQ(GetScrollPos(grid, SB_VERT), int(1 + lines));
    VScroll(SB_THUMBTRACK, 5);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 240));
    EXPECT_EQ(GetScrollPos(grid, SB_VERT), int(5 - 2 * lines) < 1 ? 1 : int(5 - 2 * lines));
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 119));  // less than a notch
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-32768)));
    EXPECT_EQ(GetScrollPos(grid, SB_VERT), 5);
    EXPECT_EQ(CellRect(5, 1).top, 21);
}

TEST_F(GridLayoutTest, HorizontalBarCountsColumnsFromTheLast)
{
    CreateGrid(300, 300);
    Paint();
    EXPECT_FALSE(Shown(WS_VSCROLL));
    EXPECT_TRUE(Shown(WS_HSCROLL));
    int low = 0, high = 0;
    Range(SB_HORZ, &low, &high);
    EXPECT_EQ(high, 6);  // 250 pixels beside the row headers hold 5 columns of 50
    HScroll(SB_LINERIGHT);
    EXPECT_EQ(CellRect(1, 2).left, 50);
    HScroll(SB_THUMBPOSITION, 6);
    EXPECT_EQ(CellRect(1, 6).left, 50);
    HScroll(SB_LINERIGHT);
    EXPECT_EQ(CellRect(1, 6).left, 50);
    HScroll(SB_PAGELEFT);
    EXPECT_EQ(CellRect(1, 1).left, 50);
    HScroll(SB_PAGERIGHT);
    EXPECT_EQ(CellRect(1, 6).left, 50);
    EXPECT_EQ(GetScrollPos(grid, SB_HORZ), 6);
    HScroll(SB_THUMBTRACK, 3);
    EXPECT_EQ(CellRect(1, 3).left, 50);

    Send(GCM_SELECTCELL, 1, 10);  // scrolled until its right edge is inside
    EXPECT_EQ(CellRect(1, 10).right, 300);
    Send(GCM_SELECTCELL, 1, 2);
    EXPECT_EQ(CellRect(1, 2).left, 50);
}

TEST_F(GridLayoutTest, SelectingScrollsTheRowIntoView)
{
    CreateGrid(600, 150);
    Paint();
    Send(GCM_SELECTCELL, 10, 1);
    EXPECT_EQ(CellRect(5, 1).top, 21);
    EXPECT_EQ(GetScrollPos(grid, SB_VERT), 5);
    Send(GCM_SELECTCELL, 2, 1);
    EXPECT_EQ(CellRect(2, 1).top, 21);
    // A title band pushes the rows down; the current row is kept in view.
    Send(GCM_SELECTCELL, 7, 1);
    Send(GCM_SETTITLEHEIGHT, 40);
    EXPECT_LE(CellRect(7, 1).bottom, 150);
    EXPECT_EQ(CellRect(0, 1).top, 40);
}

TEST_F(GridLayoutTest, HiddenRowsAreSkippedButKeepTheirPlaceInTheRange)
{
    CreateGrid(600, 150);
    Paint();
    Send(GCM_SETROWHEIGHT, 3, 0);
    int low = 0, high = 0;
    Range(SB_VERT, &low, &high);
    EXPECT_EQ(high, 9);  // until the next paint: the rows of nonzero height
    Paint();
    Range(SB_VERT, &low, &high);
    EXPECT_EQ(high, 5);
    EXPECT_EQ(CellRect(4, 1).top, 21 + 42);
    const GridState& state = State();
    EXPECT_EQ(GridNextShownRow(state, 2, 1), 4);
    EXPECT_EQ(GridNextShownRow(state, 4, -1), 2);
    EXPECT_EQ(GridNextShownRow(state, 10, 1), 0);
    EXPECT_EQ(GridNextShownRow(state, 1, -1), 0);
    for (int row = 5; row <= 10; ++row)
        Send(GCM_SETROWHEIGHT, row, 0);
    EXPECT_EQ(GridNextShownRow(state, 4, 1), 0);
    Send(GCM_SETCOLWIDTH, 2, 0);
    EXPECT_EQ(GridNextShownColumn(state, 1, 1), 3);
    EXPECT_EQ(GridNextShownColumn(state, 3, -1), 1);
}

TEST_F(GridLayoutTest, HitTestingRightOfTheLastColumnDependsOnFillLastColumn)
{
    CreateGrid(600, 300);
    Send(GCM_SETSIZE, 3, 2);
    Paint();
    const GridState& state = State();
    EXPECT_EQ(GridColumnAtX(state, 10), 0);
    EXPECT_EQ(GridColumnAtX(state, 50), 0);
    EXPECT_EQ(GridColumnAtX(state, 51), 1);
    EXPECT_EQ(GridColumnAtX(state, 101), 2);
    EXPECT_EQ(GridColumnAtX(state, 151), 2);
    EXPECT_EQ(GridColumnAtX(state, 190), 2);
    EXPECT_EQ(CellRect(1, 2).right, 600);
    EXPECT_EQ(CellRect(1, 1).right, 100);

    Send(GCM_CLEARSTYLE, GS_FILLLASTCOLUMN);
    EXPECT_EQ(GridColumnAtX(state, 151), 2);  // one pixel beyond still hits
    EXPECT_EQ(GridColumnAtX(state, 152), -1);
    EXPECT_EQ(GridColumnAtX(state, 190), -1);
    EXPECT_EQ(CellRect(1, 2).right, 150);

    EXPECT_EQ(GridRowAtY(state, 0), -1);
    EXPECT_EQ(GridRowAtY(state, 10), 0);
    EXPECT_EQ(GridRowAtY(state, 22), 1);
    EXPECT_EQ(GridRowAtY(state, 85), 3);
    EXPECT_EQ(GridRowAtY(state, 86), -1);
    Send(GCM_SETTITLEHEIGHT, 30);
    EXPECT_EQ(GridRowAtY(state, 30), -1);
    EXPECT_EQ(GridRowAtY(state, 31), 0);

    EXPECT_EQ(GridColumnsPerPage(state, 1, 1), 2);
    Send(GCM_SETSIZE, 0, 0);
    EXPECT_EQ(GridColumnAtX(state, 60), -1);
    EXPECT_EQ(GridRowAtY(state, 60), -1);
    EXPECT_EQ(GridRowsPerPage(state, 1, 1), 0);
}

TEST(GridColumnLetters, RunFromAToIV)
{
    const struct {
        int column;
        const char* letters;
    } cases[] = {{1, " A"}, {2, " B"}, {26, " Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"}, {256, "IV"}};
    for (const auto& c : cases) {
        char letters[3];
        GridColumnLetters(c.column, letters);
        EXPECT_STREQ(letters, c.letters) << "column " << c.column;
    }
}

}  // namespace
