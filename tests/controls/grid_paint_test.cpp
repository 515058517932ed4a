#include "tests/controls/grid_fixture.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kGray = RGB(128, 128, 128);
const COLORREF kSelected = 0xDBA280;
const COLORREF kSelectedNoFocus = 0xB4B4B4;

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
    COLORREF Inside(int row, int column)
    {
        ClientPixels pixels(grid);
        return pixels.At(50 * column + 25, 21 * row + 10);
    }
};

TEST_F(GridPaintTest, BackgroundsOfPlainReadOnlyAndSelectedCells)
{
    Send(GCM_SETREADONLY, Cell(2, 2), 1);
    EXPECT_EQ(Inside(2, 2), 0xE6E6E6u);
    EXPECT_EQ(Inside(3, 2), kWhite);
    EXPECT_EQ(Inside(1, 1), kSelectedNoFocus);
    EXPECT_EQ(Inside(0, 1), 0xDCDCDCu);  // header of a selected column
    EXPECT_EQ(Inside(0, 2), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(Inside(1, 0), 0xDCDCDCu);

    SetFocus(grid);
    EXPECT_EQ(Inside(1, 1), kSelected);
    EXPECT_EQ(Inside(0, 1), RGB(248, 237, 158));
    EXPECT_EQ(Inside(1, 0), RGB(248, 237, 158));
    EXPECT_EQ(Inside(2, 0), GetSysColor(COLOR_BTNFACE));
    Send(GCM_SETSELECTION, Cell(1, 1), LPARAM(Cell(2, 3)));
    EXPECT_EQ(Inside(2, 2), kSelected);  // selected wins over read-only
    EXPECT_EQ(Inside(3, 3), kWhite);
    Send(GCM_CLEARSTYLE, GS_SHOWSELECTION);
    EXPECT_EQ(Inside(2, 3), kWhite);

    Send(GCM_SETCOLOR, GCC_READONLYBK, RGB(1, 2, 3));
    EXPECT_EQ(Inside(2, 2), RGB(1, 2, 3));
    SetFocus(TestParent());
}

TEST_F(GridPaintTest, EmptySpaceIsGrayAndTheLastColumnCanFillTheWidth)
{
    ClientPixels filled(grid);
    EXPECT_EQ(filled.At(250, 31), kWhite);
    EXPECT_EQ(filled.At(75, 150), kGray);  // below the last row
    Send(GCM_CLEARSTYLE, GS_FILLLASTCOLUMN);
    ClientPixels plain(grid);
    EXPECT_EQ(plain.At(250, 31), kGray);
    EXPECT_EQ(plain.At(250, 5), kGray);
    EXPECT_EQ(plain.At(175, 31), kWhite);

    Send(GCM_SETSIZE, 0, 3);  // headers only: gray below them and no current-cell frame
    ClientPixels empty(grid);
    EXPECT_EQ(empty.At(75, 30), kGray);
    EXPECT_EQ(empty.At(50, 22), kGray);
}

TEST_F(GridPaintTest, CurrentCellFrameIsDrawnExclusiveOr)
{
    Send(GCM_SETSELECTION, Cell(3, 2), LPARAM(Cell(3, 2)));
    const int left = 100, middle = 63 + 10;
    {
        ClientPixels pixels(grid);  // no focus: one pixel on the cell's outline
        EXPECT_EQ(pixels.At(left, middle), 0xDCDCDCu ^ 0xFFFFFFu);
        EXPECT_EQ(pixels.At(left + 1, middle), kSelectedNoFocus);
    }
    SetFocus(grid);
    {
        ClientPixels pixels(grid);  // focus: three pixels wide
        EXPECT_EQ(pixels.At(left + 1, middle), kSelected ^ 0xFFFFFFu);
        EXPECT_EQ(pixels.At(left + 4, middle), kSelected);
    }
    Send(GCM_SETCOLOR, GCC_FOCUSFRAME, RGB(255, 0, 0));
    {
        ClientPixels pixels(grid);
        EXPECT_EQ(pixels.At(left + 1, middle), kSelected ^ RGB(255, 0, 0));
    }
    SetFocus(TestParent());
}

TEST_F(GridPaintTest, MarkRangeInEitherOrderAndBlendedWithTheSelection)
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
}

TEST_F(GridPaintTest, OwnCellColoursAreAveragedWithReadOnlyAndSelection)
{
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
    SetFocus(TestParent());
}

int Reddish(const ClientPixels& pixels, int left, int top, int right, int bottom)
{
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            COLORREF c = pixels.At(x, y);
            count += GetRValue(c) > 150 && GetGValue(c) < 100 && GetBValue(c) < 100;
        }
    return count;
}

TEST_F(GridPaintTest, ChangedCellsUseTheChangedTextColour)
{
    GridSetCellText("MMMM", 5, grid, 5, 1);
    Send(GCM_SETCELLCHANGED, Cell(5, 1), 1);
    {
        ClientPixels pixels(grid);
        EXPECT_EQ(Reddish(pixels, 50, 105, 100, 126), 0);
    }
    Send(GCM_SETSTYLE, GS_MARKCHANGED);
    {
        ClientPixels pixels(grid);
        EXPECT_GT(Reddish(pixels, 50, 105, 100, 126), 5);
    }
}

int Darkest(const ClientPixels& pixels, int left, int top, int right, int bottom)
{
    int darkest = 255;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            int level = GetGValue(pixels.At(x, y));
            darkest = level < darkest ? level : darkest;
        }
    return darkest;
}

TEST_F(GridPaintTest, DisabledGridDrawsItsTextGray)
{
    GridSetCellText("MMMM", 5, grid, 5, 1);
    GridSetCellText("MMMM", 5, grid, 0, 2);
    {
        ClientPixels pixels(grid);
        EXPECT_LT(Darkest(pixels, 50, 105, 100, 126), 0x60);
        EXPECT_LT(Darkest(pixels, 102, 2, 148, 19), 0x60);
    }
    EnableWindow(grid, FALSE);
    {
        ClientPixels pixels(grid);
        EXPECT_GE(Darkest(pixels, 50, 105, 100, 126), 0x78);
        EXPECT_GE(Darkest(pixels, 104, 4, 146, 17), 0x78);  // inside the header's etched edge
    }
    EnableWindow(grid, TRUE);
}

TEST_F(GridPaintTest, HiddenRowsPartRowsAndSwitchedOffDrawing)
{
    Send(GCM_SETROWHEIGHT, 2, 0);
    Send(GCM_SETREADONLY, Cell(3, 2), 1);
    EXPECT_EQ(Inside(2, 2), 0xE6E6E6u);  // row 3 moved up into row 2's place

    Send(GCM_SETSIZE, 10, 3);
    SetWindowPos(grid, nullptr, 0, 0, 300, 100, SWP_NOMOVE | SWP_NOZORDER);
    {
        ClientPixels pixels(grid);  // row 4 of rows 1, 3, 4, 5 reaches past the bottom
        EXPECT_EQ(pixels.At(75, 92), kWhite);
    }
    Send(GCM_SETSTYLE, GS_WHOLEROWS);
    {
        ClientPixels pixels(grid);
        EXPECT_EQ(pixels.At(75, 92), kGray);
    }
    Send(GCM_CLEARSTYLE, GS_DOUBLEBUFFER);
    EXPECT_EQ(Inside(2, 2), 0xE6E6E6u);
    Send(WM_SETREDRAW, 0);
    EXPECT_EQ(Inside(2, 2), 0u);  // nothing drawn into the black capture
    Send(WM_SETREDRAW, 1);
    EXPECT_EQ(Inside(2, 2), 0xE6E6E6u);
}

}  // namespace
