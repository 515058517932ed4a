#include <utility>
#include <vector>

#include "tests/controls/grid_fixture.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255), kGray = RGB(128, 128, 128), kReadOnly = 0xE6E6E6, kGridLine = 0xDCDCDC;
const COLORREF kSelected = 0xDBA280, kSelectedNoFocus = 0xB4B4B4;
const COLORREF kSelectedHeader = RGB(248, 237, 158), kSelectedHeaderNoFocus = 0xDCDCDC;
using Colours = std::vector<COLORREF>;

// Five rows and three columns of 50 by 21 under a 21-pixel header, no title: cell (r, c)
// spans x 50c .. 50c + 50 and y 21r .. 21r + 21. Cells use the colour table unless a test
// turns their own colours on.
class GridPaintTest : public GridTest {
protected:
    void SetUp() override
    {
        CreateGrid(300, 200);
        Send(GCM_SETSIZE, 5, 3);
        Send(GCM_CLEARSTYLE, GS_CELLCOLORS);
    }
    // Drawn afresh, at the points or in the middle of the cells.
    Colours At(std::initializer_list<POINT> points)
    {
        ClientPixels pixels(grid);
        Colours colours;
        for (POINT p : points)
            colours.push_back(pixels.At(p.x, p.y));
        return colours;
    }
    Colours Inside(std::initializer_list<std::pair<int, int>> cells)
    {
        ClientPixels pixels(grid);
        Colours colours;
        for (const auto& cell : cells)
            colours.push_back(pixels.At(50 * cell.second + 25, 21 * cell.first + 10));
        return colours;
    }
    template <typename Test>
    int Count(int l, int t, int r, int b, Test test) { return ClientPixels(grid).Count(l, t, r, b, test); }
};

TEST_F(GridPaintTest, BackgroundsOfPlainReadOnlyAndSelectedCells)
{
    Send(GCM_SETREADONLY, Cell(2, 2), 1);
    // The headers of the selected cell's row and column are marked.
    EXPECT_EQ(Inside({{2, 2}, {1, 1}, {0, 1}, {0, 2}, {1, 0}}),
              (Colours{kReadOnly, kSelectedNoFocus, kSelectedHeaderNoFocus, GetSysColor(COLOR_BTNFACE),
                       kSelectedHeaderNoFocus}));
    SetFocus(grid);
    EXPECT_EQ(Inside({{1, 1}, {0, 1}, {1, 0}}), (Colours{kSelected, kSelectedHeader, kSelectedHeader}));
    Send(GCM_SETSELECTION, Cell(1, 1), LPARAM(Cell(2, 3)));
    EXPECT_EQ(Inside({{2, 2}, {3, 3}}), (Colours{kSelected, kWhite})); // selected wins over read-only
    Send(GCM_CLEARSTYLE, GS_SHOWSELECTION);
    EXPECT_EQ(Inside({{2, 3}}), Colours{kWhite});
    Send(GCM_SETCOLOR, GCC_READONLYBK, RGB(1, 2, 3));
    EXPECT_EQ(Inside({{2, 2}}), Colours{RGB(1, 2, 3)});
}

TEST_F(GridPaintTest, EmptySpaceIsGrayTheLastColumnCanFillTheWidthAndTheFrameIsExclusiveOr)
{
    EXPECT_EQ(At({{250, 31}, {75, 150}}), (Colours{kWhite, kGray})); // beside and below the cells
    Send(GCM_CLEARSTYLE, GS_FILLLASTCOLUMN);
    EXPECT_EQ(At({{250, 31}, {250, 5}, {175, 31}}), (Colours{kGray, kGray, kWhite}));

    // The current cell's frame: one pixel on the outline without the focus, three with it.
    Send(GCM_SETSELECTION, Cell(3, 2), LPARAM(Cell(3, 2)));
    const int left = 100, middle = 63 + 10;
    EXPECT_EQ(At({{left, middle}, {left + 1, middle}}), (Colours{kGridLine ^ 0xFFFFFFu, kSelectedNoFocus}));
    SetFocus(grid);
    EXPECT_EQ(At({{left + 1, middle}, {left + 4, middle}}), (Colours{kSelected ^ 0xFFFFFFu, kSelected}));
    Send(GCM_SETCOLOR, GCC_FOCUSFRAME, RGB(255, 0, 0));
    EXPECT_EQ(At({{left + 1, middle}}), Colours{kSelected ^ RGB(255, 0, 0)});
    Send(GCM_SETSIZE, 0, 3); // headers only: gray below them and no current-cell frame
    EXPECT_EQ(At({{75, 30}, {50, 22}}), (Colours{kGray, kGray}));
}

TEST_F(GridPaintTest, MarkRangeAndOwnColoursAreAveragedWithReadOnlyAndSelection)
{
    Send(GCM_SETMARKRANGE, Cell(4, 3), LPARAM(Cell(3, 1)));
    EXPECT_EQ(Inside({{3, 1}, {4, 3}, {5, 1}, {2, 2}}), (Colours{0x00FFFF, 0x00FFFF, kWhite, kWhite}));
    Send(GCM_SETSELECTION, Cell(3, 1), LPARAM(Cell(3, 1)));
    EXPECT_EQ(Inside({{3, 1}}), Colours{RGB(217, 217, 90)}); // average of 0x00FFFF and 0xB4B4B4
    Send(GCM_SETMARKRANGE, 0, 0);
    EXPECT_EQ(Inside({{4, 3}}), Colours{kWhite});

    // Cells' own colours are averaged with the read-only colour and the selection.
    Send(GCM_SETSTYLE, GS_CELLCOLORS);
    Send(GCM_SETREADONLY, Cell(2, 2), 1);
    Send(GCM_SETCELLBKCOLOR, Cell(4, 2), RGB(200, 0, 0));
    EXPECT_EQ(Inside({{2, 2}, {4, 2}}), (Colours{0xF2F2F2, RGB(200, 0, 0)})); // white cell and 0xE6E6E6
    Send(GCM_SETREADONLY, Cell(4, 2), 1);
    EXPECT_EQ(Inside({{4, 2}}), Colours{RGB(215, 115, 115)});
    Send(GCM_SETSELECTION, Cell(4, 2), LPARAM(Cell(4, 2)));
    SetFocus(grid);
    EXPECT_EQ(Inside({{4, 2}}), Colours{RGB(164, 81, 109)}); // average with 0xDBA280, not the read-only colour
    Send(GCM_CLEARSTYLE, GS_BLENDSELECTION);
    EXPECT_EQ(Inside({{4, 2}}), Colours{kSelected});
}

// Texts of changed cells turn red under GS_MARKCHANGED; a disabled grid draws cell and
// header texts gray.
TEST_F(GridPaintTest, ChangedCellsTurnRedAndADisabledGridDrawsItsTextsGray)
{
    auto reddish = [](COLORREF c) { return GetRValue(c) > 150 && GetGValue(c) < 100 && GetBValue(c) < 100; };
    auto dark = [](COLORREF c) { return GetGValue(c) < 0x60; };
    auto notGray = [](COLORREF c) { return GetGValue(c) < 0x78; };
    GridSetCellText("MMMM", 5, grid, 5, 1);
    GridSetCellText("MMMM", 5, grid, 0, 2);
    Send(GCM_SETCELLCHANGED, Cell(5, 1), 1);
    EXPECT_EQ(Count(50, 105, 100, 126, reddish), 0);
    EXPECT_GT(Count(50, 105, 100, 126, dark), 0);
    EXPECT_GT(Count(102, 2, 148, 19, dark), 0);
    Send(GCM_SETSTYLE, GS_MARKCHANGED);
    EXPECT_GT(Count(50, 105, 100, 126, reddish), 5);

    Send(GCM_CLEARSTYLE, GS_MARKCHANGED);
    EnableWindow(grid, FALSE);
    EXPECT_EQ(Count(50, 105, 100, 126, notGray), 0);
    EXPECT_EQ(Count(104, 4, 146, 17, notGray), 0); // inside the header's etched edge
    EnableWindow(grid, TRUE);
}

TEST_F(GridPaintTest, HiddenRowsPartRowsAndSwitchedOffDrawing)
{
    Send(GCM_SETROWHEIGHT, 2, 0);
    Send(GCM_SETREADONLY, Cell(3, 2), 1);
    EXPECT_EQ(Inside({{2, 2}}), Colours{kReadOnly}); // row 3 moved up into row 2's place

    Send(GCM_SETSIZE, 10, 3);
    SetWindowPos(grid, nullptr, 0, 0, 300, 100, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(At({{75, 92}}), Colours{kWhite}); // row 4 of rows 1, 3, 4, 5 reaches past the bottom
    Send(GCM_SETSTYLE, GS_WHOLEROWS);
    EXPECT_EQ(At({{75, 92}}), Colours{kGray});
    Send(GCM_CLEARSTYLE, GS_DOUBLEBUFFER);
    EXPECT_EQ(Inside({{2, 2}}), Colours{kReadOnly});
    Send(WM_SETREDRAW, 0);
    EXPECT_EQ(Inside({{2, 2}}), Colours{0}); // nothing drawn into the black capture
    Send(WM_SETREDRAW, 1);
    EXPECT_EQ(Inside({{2, 2}}), Colours{kReadOnly});
}

} // namespace
