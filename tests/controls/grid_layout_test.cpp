#include <utility>

#include "controls/grid_state.h"
#include "tests/controls/grid_fixture.h"

namespace {

// Grids of the default ten by ten cells of 50 by 21; 600 by 150 shows six rows of ten.
class GridLayoutTest : public GridTest {
protected:
    void CreatePainted(int width, int height) { CreateGrid(width, height); Paint(); }
    const GridState& State() { return *GridStateOf(grid); }
    std::pair<int, int> Range(int bar)
    {
        int low = -1, high = -1;
        GetScrollRange(grid, bar, &low, &high);
        return {low, high};
    }
    // The scroll bars shown: "V", "H", "VH" or "".
    std::string Bars()
    {
        const LONG style = GetWindowLongA(grid, GWL_STYLE);
        return std::string(style & WS_VSCROLL ? "V" : "") + (style & WS_HSCROLL ? "H" : "");
    }
    void VScroll(int request, int position = 0) { Send(WM_VSCROLL, MAKEWPARAM(request, position)); }
    void HScroll(int request, int position = 0) { Send(WM_HSCROLL, MAKEWPARAM(request, position)); }
    int Pos(int bar) { return GetScrollPos(grid, bar); }
    int TopRow() { return GridRowAtY(State(), 22); } // the data row right under the header
    // What a geometry function answers for each argument, each answer followed by a space.
    template <typename... More>
    std::string Each(int (*function)(const GridState&, int, More...), std::initializer_list<int> arguments,
                     More... more)
    {
        std::string answers;
        for (int argument : arguments)
            answers += std::to_string(function(State(), argument, more...)) + " ";
        return answers;
    }
};

TEST_F(GridLayoutTest, VerticalBarRangeCountsRowsThatFitFromTheLastRow)
{
    CreatePainted(600, 150);
    EXPECT_EQ(GridRowsPerPage(State(), 10, -1), 6); // 129 pixels under the header, 21 a row
    EXPECT_EQ(Bars(), "V");
    EXPECT_EQ(Range(SB_VERT), std::make_pair(1, 5));

    // A thumb at the end keeps the end in view as rows are added; elsewhere the view stays.
    VScroll(SB_THUMBTRACK, 5);
    Send(GCM_SETSIZE, 20, 10);
    EXPECT_EQ(Range(SB_VERT).second, 15);
    EXPECT_EQ(std::make_pair(Pos(SB_VERT), TopRow()), std::make_pair(15, 15));
    VScroll(SB_THUMBTRACK, 3);
    Send(GCM_SETSIZE, 30, 10);
    EXPECT_EQ(Range(SB_VERT).second, 25);
    EXPECT_EQ(TopRow(), 3);

    // Rows that all fit hide the bar and show the first row again.
    Send(GCM_SETSIZE, 4, 10);
    EXPECT_EQ(Bars(), "");
    EXPECT_EQ(TopRow(), 1);
    Send(GCM_SETSIZE, 30, 10);
    Send(GCM_SETSTYLE, GS_NOVSCROLL);
    SetWindowPos(grid, nullptr, 0, 0, 600, 151, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(Bars(), "V"); // never managed: left as it was
}

TEST_F(GridLayoutTest, SelectingScrollRequestsAndTheWheelMoveTheTopRow)
{
    CreatePainted(600, 150);
    Send(GCM_SELECTCELL, 10, 1);
    EXPECT_EQ(TopRow(), 5);
    Send(GCM_SELECTCELL, 2, 1);
    EXPECT_EQ(TopRow(), 2);
    // {request, thumb, top row after it}: the thumb's final position is ignored; a page down
    // goes to the last shown row, at most to the end of the range.
    const int steps[][3] = {{SB_THUMBPOSITION, 4, 2}, {SB_LINEDOWN, 0, 3}, {SB_PAGEDOWN, 0, 5}, {SB_LINEDOWN, 0, 5},
                            {SB_PAGEUP, 0, 1},        {SB_LINEUP, 0, 1},   {SB_THUMBTRACK, 4, 4}};
    for (const auto& step : steps) {
        VScroll(step[0], step[1]);
        Paint();
        EXPECT_EQ(std::make_pair(TopRow(), Pos(SB_VERT)), std::make_pair(step[2], step[2])) << "request " << step[0];
    }

    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    ASSERT_TRUE(lines > 0 && lines < 5);
    VScroll(SB_THUMBTRACK, 1);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, -120));
    EXPECT_EQ(Pos(SB_VERT), int(1 + lines));
    VScroll(SB_THUMBTRACK, 5);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 240));
    EXPECT_EQ(Pos(SB_VERT), int(5 - 2 * lines) < 1 ? 1 : int(5 - 2 * lines));
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 119)); // less than a notch
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-32768)));
    EXPECT_EQ(Pos(SB_VERT), 5);

    // A title band pushes the rows down; the current row is kept in view.
    Send(GCM_SELECTCELL, 7, 1);
    Send(GCM_SETTITLEHEIGHT, 40);
    EXPECT_LE(CellRect(7, 1).bottom, 150);
    EXPECT_EQ(CellRect(0, 1).top, 40);
}

TEST_F(GridLayoutTest, HorizontalBarCountsColumnsFromTheLast)
{
    CreatePainted(300, 300);
    EXPECT_EQ(Bars(), "H");
    EXPECT_EQ(Range(SB_HORZ).second, 6); // 250 pixels beside the row headers hold 5 columns of 50
    // {request, thumb, left column after it}
    const int steps[][3] = {{SB_LINERIGHT, 0, 2}, {SB_THUMBPOSITION, 6, 6}, {SB_LINERIGHT, 0, 6},
                            {SB_PAGELEFT, 0, 1},  {SB_PAGERIGHT, 0, 6},     {SB_THUMBTRACK, 3, 3}};
    for (const auto& step : steps) {
        HScroll(step[0], step[1]);
        EXPECT_EQ(std::make_pair(int(CellRect(1, step[2]).left), Pos(SB_HORZ)), std::make_pair(50, step[2]))
            << "request " << step[0];
    }
    Send(GCM_SELECTCELL, 1, 10); // scrolled until its right edge is inside
    EXPECT_EQ(CellRect(1, 10).right, 300);
    Send(GCM_SELECTCELL, 1, 2);
    EXPECT_EQ(CellRect(1, 2).left, 50);
}

TEST_F(GridLayoutTest, TooSmallForOneRowOrColumnPagesByNothing)
{
    CreatePainted(600, 150);
    Send(GCM_SETTITLEHEIGHT, 200); // taller than the client: no row fits
    Send(GCM_SETCOLWIDTH, 0, 700); // wider than the client: no column fits
    Paint();
    EXPECT_EQ(Each(GridRowsPerPage, {1, 10}, 1) + Each(GridColumnsPerPage, {1, 10}, -1), "0 0 0 0 ");
    // Every row and column can come first, and none past the last.
    EXPECT_EQ(Range(SB_VERT), std::make_pair(1, 10));
    EXPECT_EQ(Range(SB_HORZ), std::make_pair(1, 10));
    // Paging moves nothing, neither through the bars, nor the wheel, nor the keys.
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, WHEEL_PAGESCROLL, nullptr, 0);
    const std::pair<UINT, WPARAM> requests[] = {{WM_VSCROLL, SB_PAGEUP},
                                                {WM_VSCROLL, SB_PAGEDOWN},
                                                {WM_HSCROLL, SB_PAGELEFT},
                                                {WM_HSCROLL, SB_PAGERIGHT},
                                                {WM_MOUSEWHEEL, MAKEWPARAM(0, -120)}};
    for (const auto& request : requests) {
        VScroll(SB_THUMBTRACK, 5);
        HScroll(SB_THUMBTRACK, 5);
        Send(request.first, request.second);
        EXPECT_EQ(std::make_pair(Pos(SB_VERT), Pos(SB_HORZ)), std::make_pair(5, 5)) << request.first;
    }
    SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, lines, nullptr, 0);
    Send(GCM_SELECTCELL, 3, 1);
    Send(WM_KEYDOWN, VK_NEXT);
    EXPECT_EQ(Send(GCM_GETCURROW), 3);
    Send(WM_KEYDOWN, VK_PRIOR);
    EXPECT_EQ(Send(GCM_GETCURROW), 3);
}

TEST_F(GridLayoutTest, HiddenRowsAreSkippedButKeepTheirPlaceInTheRange)
{
    CreatePainted(600, 150);
    Send(GCM_SETROWHEIGHT, 3, 0);
    EXPECT_EQ(Range(SB_VERT).second, 9); // until the next paint: the rows of nonzero height
    Paint();
    EXPECT_EQ(Range(SB_VERT).second, 5);
    EXPECT_EQ(CellRect(4, 1).top, 21 + 42);
    // From 2 and 4 onwards, from 4 and 1 backwards.
    EXPECT_EQ(Each(GridNextShownRow, {2, 10}, 1) + Each(GridNextShownRow, {4, 1}, -1), "4 0 2 0 ");
    for (int row = 5; row <= 10; ++row)
        Send(GCM_SETROWHEIGHT, row, 0);
    EXPECT_EQ(GridNextShownRow(State(), 4, 1), 0);
    Send(GCM_SETCOLWIDTH, 2, 0);
    EXPECT_EQ(Each(GridNextShownColumn, {1}, 1) + Each(GridNextShownColumn, {3}, -1), "3 1 ");
}

TEST_F(GridLayoutTest, HitTestingRightOfTheLastColumnDependsOnFillLastColumn)
{
    CreateGrid(600, 300);
    Send(GCM_SETSIZE, 3, 2);
    Paint();
    EXPECT_EQ(Each(GridColumnAtX, {50, 51, 101, 190}), "0 1 2 2 ");
    Send(GCM_CLEARSTYLE, GS_FILLLASTCOLUMN);
    EXPECT_EQ(Each(GridColumnAtX, {151, 152}), "2 -1 "); // one pixel beyond still hits

    EXPECT_EQ(Each(GridRowAtY, {0, 10, 22, 85, 86}), "-1 0 1 3 -1 ");
    Send(GCM_SETTITLEHEIGHT, 30);
    EXPECT_EQ(Each(GridRowAtY, {30, 31}), "-1 0 ");
    EXPECT_EQ(GridColumnsPerPage(State(), 1, 1), 2);
    Send(GCM_SETSIZE, 0, 0);
    EXPECT_EQ(Each(GridColumnAtX, {60}) + Each(GridRowAtY, {60}), "-1 -1 ");
    EXPECT_EQ(GridRowsPerPage(State(), 1, 1), 0);

    // Column letters of the header run from A to IV.
    std::string letters;
    for (int column : {1, 2, 26, 27, 52, 53, 256}) {
        char two[3];
        GridColumnLetters(column, two);
        letters += std::string(two) + " ";
    }
    EXPECT_EQ(letters, " A  B  Z AA AZ BA IV ");
}

} // namespace
