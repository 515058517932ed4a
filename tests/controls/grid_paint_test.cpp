#include "tests/controls/grid_fixture.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255), kGray = RGB(128, 128, 128), kReadOnly = 0xE6E6E6, kGridLine = 0xDCDCDC;
const COLORREF kSelected = 0xDBA280, kSelectedNoFocus = 0xB4B4B4;
const COLORREF kSelectedHeader = RGB(248, 237, 158), kSelectedHeaderNoFocus = 0xDCDCDC;

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
    void TearDown() override { SetFocus(TestParent()); GridTest::TearDown(); }
    COLORREF At(int x, int y) { return ClientPixels(grid).At(x, y); }  // drawn afresh
    COLORREF Inside(int row, int column) { return At(50 * column + 25, 21 * row + 10); }
    template <typename Test>
    int Count(int l, int t, int r, int b, Test test) { return ClientPixels(grid).Count(l, t, r, b, test); }
};

TEST_F(GridPaintTest, BackgroundsOfPlainReadOnlyAndSelectedCells)
{
    Send(GCM_SETREADONLY, Cell(2, 2), 1);
    EXPECT_EQ(Inside(2, 2), kReadOnly);
    EXPECT_EQ(Inside(1, 1), kSelectedNoFocus);
    EXPECT_EQ(Inside(0, 1), kSelectedHeaderNoFocus);  // header of a selected column
    EXPECT_EQ(Inside(0, 2), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(Inside(1, 0), kSelectedHeaderNoFocus);

    SetFocus(grid);
    EXPECT_EQ(Inside(1, 1), kSelected);
    EXPECT_EQ(Inside(0, 1), kSelectedHeader);
    EXPECT_EQ(Inside(1, 0), kSelectedHeader);
    Send(GCM_SETSELECTION, Cell(1, 1), LPARAM(Cell(2, 3)));
    EXPECT_EQ(Inside(2, 2), kSelected);  // selected wins over read-only
    EXPECT_EQ(Inside(3, 3), kWhite);
    Send(GCM_CLEARSTYLE, GS_SHOWSELECTION);
    EXPECT_EQ(Inside(2, 3), kWhite);

    Send(GCM_SETCOLOR, GCC_READONLYBK, RGB(1, 2, 3));
    EXPECT_EQ(Inside(2, 2), RGB(1, 2, 3));
}

TEST_F(GridPaintTest, EmptySpaceIsGrayAndTheLastColumnCanFillTheWidth)
{
    EXPECT_EQ(At(250, 31), kWhite);
    EXPECT_EQ(At(75, 150), kGray);  // below the last row
    Send(GCM_CLEARSTYLE, GS_FILLLASTCOLUMN);
    EXPECT_EQ(At(250, 31), kGray);
    EXPECT_EQ(At(250, 5), kGray);
    EXPECT_EQ(At(175, 31), kWhite);
    Send(GCM_SETSIZE, 0, 3);  // headers only: gray below them and no current-cell frame
    EXPECT_EQ(At(75, 30), kGray);
    EXPECT_EQ(At(50, 22), kGray);
}

TEST_F(GridPaintTest, CurrentCellFrameIsDrawnExclusiveOr)
{
    Send(GCM_SETSELECTION, Cell(3, 2), LPARAM(Cell(3, 2)));
    const int left = 100, middle = 63 + 10;
    EXPECT_EQ(At(left, middle), kGridLine ^ 0xFFFFFFu);  // no focus: one pixel on the outline
    EXPECT_EQ(At(left + 1, middle), kSelectedNoFocus);
    SetFocus(grid);
    EXPECT_EQ(At(left + 1, middle), kSelected ^ 0xFFFFFFu);  // focus: three pixels wide
    EXPECT_EQ(At(left + 4, middle), kSelected);
    Send(GCM_SETCOLOR, GCC_FOCUSFRAME, RGB(255, 0, 0));
    EXPECT_EQ(At(left + 1, middle), kSelected ^ RGB(255, 0, 0));
}

TEST_F(GridPaintTest, MarkRangeAndOwnColoursAreAveragedWithReadOnlyAndSelection)
{
    Send(GCM_SETMARKRANGE, Cell(4, 3), LPARAM(Cell(3, 1)));
    EXPECT_EQ(Inside(3, 1), 0x00FFFFu);
    EXPECT_EQ(Inside(4, 3), 0x00FFFFu);
    EXPECT_EQ(Inside(5, 1), kWhite);
    EXPECT_EQ(Inside(2, 2), kWhite);
    Send(GCM_SETSELECTION, Cell(3, 1), LPARAM(Cell(3, 1)));
    EXPECT_EQ(Inside(3, 1), RGB(217, 217, 90));  // average of 0x00FFFF and 0xB4B4B4
    Send(GCM_SETMARKRANGE, 0, 0);
    EXPECT_EQ(Inside(4, 3), kWhite);

    // Cells' own colours are averaged with the read-only colour and the selection.
    Send(GCM_SETSTYLE, GS_CELLCOLORS);
    Send(GCM_SETREADONLY, Cell(2, 2), 1);
    EXPECT_EQ(Inside(2, 2), 0xF2F2F2u);  // white cell and 0xE6E6E6
    Send(GCM_SETCELLBKCOLOR, Cell(4, 2), RGB(200, 0, 0));
    EXPECT_EQ(Inside(4, 2), RGB(200, 0, 0));
    Send(GCM_SETREADONLY, Cell(4, 2), 1);
    EXPECT_EQ(Inside(4, 2), RGB(215, 115, 115));
    Send(GCM_SETSELECTION, Cell(4, 2), LPARAM(Cell(4, 2)));
    SetFocus(grid);
    EXPECT_EQ(Inside(4, 2), RGB(164, 81, 109));  // average with 0xDBA280, not the read-only colour
    Send(GCM_CLEARSTYLE, GS_BLENDSELECTION);
    EXPECT_EQ(Inside(4, 2), kSelected);
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
    EXPECT_EQ(Count(104, 4, 146, 17, notGray), 0);  // inside the header's etched edge
    EnableWindow(grid, TRUE);
}

TEST_F(GridPaintTest, HiddenRowsPartRowsAndSwitchedOffDrawing)
{
    Send(GCM_SETROWHEIGHT, 2, 0);
    Send(GCM_SETREADONLY, Cell(3, 2), 1);
    EXPECT_EQ(Inside(2, 2), kReadOnly);  // row 3 moved up into row 2's place

    Send(GCM_SETSIZE, 10, 3);
    SetWindowPos(grid, nullptr, 0, 0, 300, 100, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(At(75, 92), kWhite);  // row 4 of rows 1, 3, 4, 5 reaches past the bottom
    Send(GCM_SETSTYLE, GS_WHOLEROWS);
    EXPECT_EQ(At(75, 92), kGray);
    Send(GCM_CLEARSTYLE, GS_DOUBLEBUFFER);
    EXPECT_EQ(Inside(2, 2), kReadOnly);
    Send(WM_SETREDRAW, 0);
    EXPECT_EQ(Inside(2, 2), 0u);  // nothing drawn into the black capture
    Send(WM_SETREDRAW, 1);
    EXPECT_EQ(Inside(2, 2), kReadOnly);
}

}  // namespace
