#include "tests/controls/grid_fixture.h"

namespace {

class GridModelTest : public GridTest {
protected:
    void SetUp() override { CreateGrid(400, 300, "Local PC"); }
    // "rows x columns at current row, column"
    std::string Shape()
    {
        return std::to_string(Send(GCM_GETROWCOUNT)) + "x" + std::to_string(Send(GCM_GETCOLCOUNT)) + " at " +
               std::to_string(Send(GCM_GETCURROW)) + "," + std::to_string(Send(GCM_GETCURCOL));
    }
};

TEST_F(GridModelTest, ResizingAndResetClampAndKeepWhatSurvives)
{
    GridSetCellText("keep", 5, grid, 2, 2);
    GridSetCellText("header", 7, grid, 0, 3);
    GridSetCellText("gone", 5, grid, 9, 9);
    Send(GCM_SETCOLWIDTH, 2, 77);
    Send(GCM_SETROWHEIGHT, 2, 30);
    Send(GCM_SETREADONLY, Cell(2, 2), 1);
    Send(GCM_SELECTCELL, 8, 8);

    Send(GCM_SETSIZE, 5, 3);
    EXPECT_EQ(Shape(), "5x3 at 5,3"); // the current cell brought back inside
    EXPECT_EQ(Text(2, 2) + "|" + Text(0, 3), "keep|header");
    EXPECT_EQ(Answers(GCM_GETREADONLY, {Cell(2, 2)}) + Answers(GCM_GETCOLWIDTH, {2}) + Answers(GCM_GETROWHEIGHT, {2}),
              "2 77 30 ");
    Send(GCM_SETSIZE, 10, 10);
    EXPECT_EQ(Send(GCM_GETCELLTEXTSIZE, 9, 9), 0); // a new cell, not the old one
    EXPECT_EQ(Send(GCM_GETCOLWIDTH, 9), 50);
    Send(GCM_SETSIZE, 40000, 300);
    EXPECT_EQ(Shape(), "32000x256 at 5,3");
    EXPECT_EQ(GridSetCellText("far", 4, grid, 32000, 256), 1);
    EXPECT_EQ(Text(32000, 256) + "|" + Text(2, 2), "far|keep");
    Send(GCM_SETSIZE, 0, LPARAM(-5));
    EXPECT_EQ(Shape(), "0x0 at 1,1");

    // A reset leaves only a blank header row of the same columns.
    Send(GCM_SETSIZE, 10, 10);
    GridSetCellText("File Selection", 64, grid, 0, 1);
    GridSetCellText("x", 2, grid, 3, 3);
    Send(GCM_SELECTCELL, 5, 1);
    Send(GCM_RESET);
    EXPECT_EQ(Shape(), "0x10 at 1,1");
    Send(GCM_SETSIZE, 5, 10);
    EXPECT_EQ(Text(0, 1) + "|" + Text(3, 3), "|");
}

// A text is stored before its notice; a cell outside the grid sends GCN_BADCELL and fails; a
// null pointer fails quietly; nothing is read past the size given or written past a buffer.
TEST_F(GridModelTest, TextsAreStoredBeforeTheNoticeAndBadCellsOrPointersFail)
{
    g_noticeQuery = ModifiedAndTextSize; // texts set by the owner leave the modified bit clear
    GridTextRef nullText = {nullptr, 10};
    char unterminated[6] = {'a', 'b', 'c', 'd', 'e', 'f'};
    EXPECT_EQ(GridSetCellText("abc", 4, grid, 1, 1), 1);
    EXPECT_EQ(GridSetCellText("abc", 4, grid, 11, 1), 0);
    EXPECT_EQ(GridSetCellText("abc", 4, grid, 1, 11), 0);
    EXPECT_EQ(GridSetCellText("abc", 0, grid, 11, 1), 0);
    EXPECT_EQ(Send(GCM_SETCELLTEXT, Cell(1, 1), 0), 0);
    EXPECT_EQ(Send(GCM_SETCELLTEXT, Cell(1, 1), LPARAM(&nullText)), 0);
    EXPECT_EQ(GridSetCellText(unterminated, 6, grid, 2, 1), 1);
    EXPECT_EQ(GridSetCellText("longer text", 5, grid, 3, 1), 1); // no terminator within 5
    EXPECT_EQ(GridSetCellText("abcdef", 7, grid, 1, 2), 1);
    EXPECT_EQ(g_notices, "text 1,1 =4; bad =0; bad =0; text 2,1 =1; text 3,1 =1; text 1,2 =7");

    g_notices.clear();
    char small[4] = "???";
    EXPECT_EQ(GridGetCellText(small, sizeof(small), grid, 1, 2), 1);
    EXPECT_STREQ(small, "abc");
    EXPECT_EQ(GridGetCellText(nullptr, 10, grid, 1, 2) + GridGetCellText(small, 0, grid, 1, 2), 2);
    EXPECT_EQ(Send(GCM_GETCELLTEXT, Cell(1, 2), 0), 0);
    EXPECT_EQ(Send(GCM_GETCELLTEXTSIZE, 70000, 1), 0);
    EXPECT_EQ(GridGetCellText(small, sizeof(small), grid, 1, 10), 1);
    EXPECT_EQ(GridGetCellText(small, sizeof(small), grid, 11, 1), 0);
    EXPECT_EQ(g_notices, "bad =0");
}

TEST_F(GridModelTest, FlagsColoursAlignmentStylesAndSizesStayInsideTheirTables)
{
    EXPECT_EQ(Send(GCM_SETREADONLY, Cell(11, 2), 1), -1);
    EXPECT_EQ(Send(GCM_GETREADONLY, Cell(1, 11)), -1);
    Send(GCM_SETCELLCHANGED, Cell(3, 3), 1);
    Send(GCM_SETCELLCHANGED, Cell(0, 0), 1);
    Send(GCM_CLEARALLCHANGED);
    EXPECT_EQ(Answers(GCM_GETCELLCHANGED, {Cell(3, 3), Cell(0, 0)}), "0 0 ");
    Send(GCM_SETCELLBKCOLOR, Cell(2, 2), LPARAM(0xFF123456));
    EXPECT_EQ(COLORREF(Send(GCM_GETCELLBKCOLOR, Cell(2, 2))), 0x123456u);
    const LPARAM aligns[][2] = {{0x06, 0x0A}, {0x30, 0x11}, {0x24, 0x24}, {0x09, 0x09}, {0x40, 0x09}, {0, 0}};
    for (const auto& a : aligns) {
        Send(GCM_SETCELLALIGN, Cell(4, 4), a[0]);
        EXPECT_EQ(Send(GCM_GETCELLALIGN, Cell(4, 4)), a[1]) << "set 0x" << std::hex << a[0];
    }

    // Cells outside the grid read as fresh cells and take no writes, without a notice.
    const WPARAM outside = Cell(0xFFFF, 0xFFFF);
    Send(GCM_SETCELLCHANGED, outside, 1);
    Send(GCM_SETCELLBKCOLOR, outside, 0x00FF00);
    Send(GCM_SETCELLALIGN, outside, 0x06);
    EXPECT_EQ(Answers(GCM_GETCELLCHANGED, {outside}) + Answers(GCM_GETCELLBKCOLOR, {outside}) +
                  Answers(GCM_GETCELLALIGN, {outside}),
              "0 16777215 0 ");
    RECT untouched = {1, 2, 3, 4};
    EXPECT_EQ(Send(GCM_GETCELLRECT, outside, LPARAM(&untouched)), 1);
    EXPECT_EQ(untouched.right, 3);
    EXPECT_EQ(Send(GCM_GETCELLRECT, Cell(1, 1), 0), 1);
    EXPECT_EQ(g_notices, "bad; bad"); // from the read-only flag alone

    Send(GCM_SETCOLOR, GCC_COUNT, 0x654321);
    Send(GCM_SETCOLOR, WPARAM(-1), 0x654321);
    EXPECT_EQ(Answers(GCM_GETCOLOR, {GCC_COUNT, WPARAM(-1)}), "0 0 ");
    Send(GCM_SETCOLWIDTH, 10, 80);
    Send(GCM_SETCOLWIDTH, 11, 80);
    Send(GCM_SETCOLWIDTH, 3, -20);
    Send(GCM_SETROWHEIGHT, 4, 70000);
    // No column or row 11; widths and heights are kept within 0 to 65535.
    EXPECT_EQ(Answers(GCM_GETCOLWIDTH, {10, 11, 3}) + Answers(GCM_GETROWHEIGHT, {11, 4}), "80 0 0 0 65535 ");
}

TEST_F(GridModelTest, ClassifiesNumbersAndTexts)
{
    std::string types; // 2 for a number, 1 for a text, one digit a case
    for (const char* text : {"12.5", "-5", "+7", "  42", "7.", "", "   ", " -5", "1 2", "1.2.3", "1E5", "0x1F", "+",
                             ".", "5-", "abc", "12 "}) {
        GridSetCellText(text, 64, grid, 1, 1);
        types += char('0' + Send(GCM_GETCELLTYPE, Cell(1, 1)));
    }
    EXPECT_EQ(types, "22222" "111111111111");
    EXPECT_EQ(Send(GCM_GETCELLTYPE, Cell(2, 20)), 0);
}

TEST_F(GridModelTest, TitleOverThreeHundredCharactersIsRefused)
{
    int oneLine = CellRect(0, 1).top;
    ASSERT_GT(oneLine, 0); // the "Local PC" band above the headers
    // Three hundred characters on ten lines give a band ten lines tall.
    std::string tenLines(300, 'x');
    for (int at = 29; at < 290; at += 30)
        tenLines[size_t(at)] = '\n';
    Send(WM_SETTEXT, 0, LPARAM(tenLines.c_str()));
    EXPECT_GE(CellRect(0, 1).top, 9 * oneLine);
    // One more character and the title becomes the one-line refusal.
    Send(WM_SETTEXT, 0, LPARAM((tenLines + "x").c_str()));
    EXPECT_EQ(CellRect(0, 1).top, oneLine);
    Send(WM_SETTEXT, 0, LPARAM(""));
    EXPECT_EQ(CellRect(0, 1).top, 0);
    Send(WM_SETTEXT, 0, 0);
    EXPECT_EQ(CellRect(0, 1).top, 0);
}

TEST_F(GridModelTest, SelectionMessagesStayInsideAndNotifyNothingButFocusChangesDo)
{
    Send(GCM_SELECTCELL, 3, 4);
    Send(GCM_SELECTCELL, 0, 1);
    Send(GCM_SELECTCELL, 11, 1);
    Send(GCM_SELECTCELL, 1, 10000);
    EXPECT_EQ(Selection(), "3,4 3,4");
    EXPECT_EQ(Send(GCM_GETSELECTION, 0, 0), 1);
    Send(GCM_SETSELECTION, Cell(0, 500), LPARAM(Cell(900, 0)));
    EXPECT_EQ(Selection(), "1,10 10,1");
    EXPECT_EQ(g_notices, "");

    // Focus changes do reach the parent; in a dialog the grid takes every key.
    EXPECT_EQ(Send(WM_GETDLGCODE), 0x95);
    SetFocus(grid);
    SetFocus(TestParent());
    SendMessageA(grid, WM_MOUSEACTIVATE, WPARAM(TestParent()), MAKELONG(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(GetFocus(), grid);
    SetFocus(TestParent());
    EXPECT_EQ(g_notices, "focus; unfocus; focus; unfocus");
}

TEST_F(GridModelTest, AutoSizeWidensColumnsAndHeightensMultiLineRows)
{
    Send(GCM_SETSTYLE, GS_AUTOSIZE);
    GridSetCellText("a rather long file name.bin", 64, grid, 1, 1);
    int wide = int(Send(GCM_GETCOLWIDTH, 1));
    EXPECT_GT(wide, 100);
    GridSetCellText("short", 64, grid, 2, 1);
    EXPECT_EQ(Send(GCM_GETCOLWIDTH, 1), wide); // never narrowed
    EXPECT_EQ(Send(GCM_GETROWHEIGHT, 2), 21);

    GridSetCellText("one\ntwo\nthree", 64, grid, 3, 2);
    int tall = int(Send(GCM_GETROWHEIGHT, 3));
    EXPECT_GT(tall, 3 * 10);
    Send(GCM_SETSTYLE, GS_ELLIPSIS);
    GridSetCellText("one\ntwo\nthree", 64, grid, 4, 2);
    EXPECT_EQ(Send(GCM_GETROWHEIGHT, 4), 21);
    GridSetCellText("one\ntwo\nthree", 64, grid, 0, 3); // headers always grow
    EXPECT_EQ(Send(GCM_GETROWHEIGHT, 0), tall);
}

} // namespace
