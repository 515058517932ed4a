#include <string>

#include "tests/controls/grid_fixture.h"

namespace {


class GridModelTest : public GridTest {
protected:
    void SetUp() override { CreateGrid(400, 300, "Local PC"); }
};

TEST_F(GridModelTest, StartsWithTenByTenDefaults)
{
    EXPECT_EQ(Send(GCM_GETROWCOUNT), 10);
    EXPECT_EQ(Send(GCM_GETCOLCOUNT), 10);
    EXPECT_EQ(Send(GCM_GETCURROW), 1);
    EXPECT_EQ(Send(GCM_GETCURCOL), 1);
    EXPECT_EQ(Send(GCM_GETCOLWIDTH, 3), 50);
    EXPECT_EQ(Send(GCM_GETROWHEIGHT, 3), 21);
    EXPECT_EQ(Send(GCM_GETSTYLE), 0x12FF01);
    EXPECT_EQ(Send(GCM_GETMODIFIED), 0);
    EXPECT_EQ(Send(WM_GETDLGCODE), 0x95);
    EXPECT_EQ(COLORREF(Send(GCM_GETCOLOR, GCC_READONLYBK)), 0xE6E6E6u);
    EXPECT_EQ(COLORREF(Send(GCM_GETCOLOR, GCC_SELHEADERBK)), RGB(248, 237, 158));
    EXPECT_EQ(COLORREF(Send(GCM_GETCOLOR, GCC_HEADERBK)), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(COLORREF(Send(GCM_GETCELLBKCOLOR, Cell(4, 4))), 0xFFFFFFu);
    EXPECT_GT(CellRect(0, 1).top, 0);  // the "Local PC" title band sits above the headers
    EXPECT_GE(GetClassLongPtrA(grid, GCL_CBWNDEXTRA), 4);
}

TEST_F(GridModelTest, ResizingClampsAndKeepsWhatSurvives)
{
    GridSetCellText("keep", 5, grid, 2, 2);
    GridSetCellText("header", 7, grid, 0, 3);
    GridSetCellText("gone", 5, grid, 9, 9);
    Send(GCM_SETCOLWIDTH, 2, 77);
    Send(GCM_SETROWHEIGHT, 2, 30);
    Send(GCM_SETREADONLY, Cell(2, 2), 1);
    Send(GCM_SELECTCELL, 8, 8);

    Send(GCM_SETSIZE, 5, 3);
    EXPECT_EQ(Send(GCM_GETROWCOUNT), 5);
    EXPECT_EQ(Send(GCM_GETCOLCOUNT), 3);
    EXPECT_EQ(Text(2, 2), "keep");
    EXPECT_EQ(Text(0, 3), "header");
    EXPECT_EQ(Send(GCM_GETREADONLY, Cell(2, 2)), 2);
    EXPECT_EQ(Send(GCM_GETCOLWIDTH, 2), 77);
    EXPECT_EQ(Send(GCM_GETROWHEIGHT, 2), 30);
    EXPECT_EQ(Send(GCM_GETCURROW), 5);  // brought back inside
    EXPECT_EQ(Send(GCM_GETCURCOL), 3);

    Send(GCM_SETSIZE, 10, 10);
    EXPECT_EQ(Send(GCM_GETCELLTEXTSIZE, 9, 9), 0);  // a new cell, not the old one
    EXPECT_EQ(Send(GCM_GETCOLWIDTH, 9), 50);
    EXPECT_EQ(Text(2, 2), "keep");

    Send(GCM_SETSIZE, 40000, 300);
    EXPECT_EQ(Send(GCM_GETROWCOUNT), 32000);
    EXPECT_EQ(Send(GCM_GETCOLCOUNT), 256);
    EXPECT_EQ(GridSetCellText("far", 4, grid, 32000, 256), 1);
    EXPECT_EQ(Text(32000, 256), "far");
    EXPECT_EQ(Text(2, 2), "keep");

    Send(GCM_SETSIZE, 0, LPARAM(-5));
    EXPECT_EQ(Send(GCM_GETROWCOUNT), 0);
    EXPECT_EQ(Send(GCM_GETCOLCOUNT), 0);
    EXPECT_EQ(Send(GCM_GETCURROW), 1);
}

LRESULT TextSizeOfNotifiedCell(HWND grid, const Notice& notice)
{
    return SendMessageA(grid, GCM_GETCELLTEXTSIZE, LOWORD(notice.lParam), HIWORD(notice.lParam));
}

TEST_F(GridModelTest, SettingTextNotifiesAfterStoringAndRefusesBadInput)
{
    g_log.query = TextSizeOfNotifiedCell;
    GridTextRef nullText = {nullptr, 10};
    char unterminated[6] = {'a', 'b', 'c', 'd', 'e', 'f'};

    EXPECT_EQ(GridSetCellText("abc", 4, grid, 1, 1), 1);
    EXPECT_EQ(GridSetCellText("abc", 4, grid, 11, 1), 0);
    EXPECT_EQ(GridSetCellText("abc", 4, grid, 1, 11), 0);
    EXPECT_EQ(GridSetCellText("abc", 0, grid, 11, 1), 0);
    EXPECT_EQ(Send(GCM_SETCELLTEXT, Cell(1, 1), 0), 0);
    EXPECT_EQ(Send(GCM_SETCELLTEXT, Cell(1, 1), LPARAM(&nullText)), 0);
    EXPECT_EQ(GridSetCellText(unterminated, 6, grid, 2, 1), 1);
    EXPECT_EQ(GridSetCellText("longer text", 5, grid, 3, 1), 1);  // no terminator within 5
    EXPECT_EQ(GridSetCellText("", 1, grid, 1, 1), 1);

    const Notice expected[] = {
        {kId, GCN_TEXTSET, MAKELONG(1, 1), 4},
        {kId, GCN_BADCELL, 0, 0},
        {kId, GCN_BADCELL, 0, 0},
        {kId, GCN_TEXTSET, MAKELONG(2, 1), 1},
        {kId, GCN_TEXTSET, MAKELONG(3, 1), 1},
        {kId, GCN_TEXTSET, MAKELONG(1, 1), 1},
    };
    EXPECT_TRUE(NoticesAre(expected));
    EXPECT_EQ(Text(2, 1), "");
}

TEST_F(GridModelTest, GettingTextIsCutToTheBuffer)
{
    GridSetCellText("abcdef", 7, grid, 1, 2);
    GridSetCellText("abc", 4, grid, 1, 3);
    g_log.notices.clear();
    char small[4] = "???";
    EXPECT_EQ(GridGetCellText(small, sizeof(small), grid, 1, 2), 1);
    EXPECT_STREQ(small, "abc");
    EXPECT_EQ(GridGetCellText(small, sizeof(small), grid, 5, 5), 1);
    EXPECT_STREQ(small, "");
    EXPECT_EQ(GridGetCellText(nullptr, 10, grid, 1, 2), 1);
    EXPECT_EQ(GridGetCellText(small, 0, grid, 1, 2), 1);
    EXPECT_EQ(Send(GCM_GETCELLTEXT, Cell(1, 2), 0), 0);
    EXPECT_EQ(Send(GCM_GETCELLTEXTSIZE, 1, 3), 4);
    EXPECT_EQ(Send(GCM_GETCELLTEXTSIZE, 4, 4), 0);
    EXPECT_EQ(Send(GCM_GETCELLTEXTSIZE, 70000, 1), 0);
    EXPECT_EQ(GridGetCellText(small, sizeof(small), grid, 1, 10), 1);
    EXPECT_EQ(GridGetCellText(small, sizeof(small), grid, 11, 1), 0);
    const Notice expected[] = {{kId, GCN_BADCELL, 0, 0}};
    EXPECT_TRUE(NoticesAre(expected));
}

TEST_F(GridModelTest, CellFlagsColoursAndAlignment)
{
    EXPECT_EQ(Send(GCM_SETREADONLY, Cell(1, 2), 1), 0);
    EXPECT_EQ(Send(GCM_GETREADONLY, Cell(1, 2)), 2);
    EXPECT_EQ(Send(GCM_SETREADONLY, Cell(1, 2), 0), 0);
    EXPECT_EQ(Send(GCM_GETREADONLY, Cell(1, 2)), 0);
    EXPECT_EQ(Send(GCM_SETREADONLY, Cell(11, 2), 1), -1);
    EXPECT_EQ(Send(GCM_GETREADONLY, Cell(1, 11)), -1);

    Send(GCM_SETCELLCHANGED, Cell(3, 3), 1);
    Send(GCM_SETCELLCHANGED, Cell(0, 0), 1);
    EXPECT_EQ(Send(GCM_GETCELLCHANGED, Cell(3, 3)), 4);
    Send(GCM_CLEARALLCHANGED);
    EXPECT_EQ(Send(GCM_GETCELLCHANGED, Cell(3, 3)), 0);
    EXPECT_EQ(Send(GCM_GETCELLCHANGED, Cell(0, 0)), 0);

    Send(GCM_SETCELLBKCOLOR, Cell(2, 2), LPARAM(0xFF123456));
    Send(GCM_SETCELLTEXTCOLOR, Cell(2, 2), 0x0000FF);
    EXPECT_EQ(COLORREF(Send(GCM_GETCELLBKCOLOR, Cell(2, 2))), 0x123456u);
    EXPECT_EQ(COLORREF(Send(GCM_GETCELLTEXTCOLOR, Cell(2, 2))), 0x0000FFu);

    const struct {
        LPARAM set;
        LRESULT got;
    } aligns[] = {{0x06, 0x0A}, {0x30, 0x11}, {0x24, 0x24}, {0x01 | 0x08, 0x09}, {0x40, 0x09}, {0, 0}};
    for (const auto& a : aligns) {
        Send(GCM_SETCELLALIGN, Cell(4, 4), a.set);
        EXPECT_EQ(Send(GCM_GETCELLALIGN, Cell(4, 4)), a.got) << "set 0x" << std::hex << a.set;
    }

    // Cells outside the grid read as fresh cells and take no writes, without a notice.
    const WPARAM outside = Cell(0xFFFF, 0xFFFF);
    Send(GCM_SETCELLCHANGED, outside, 1);
    Send(GCM_SETCELLBKCOLOR, outside, 0x00FF00);
    Send(GCM_SETCELLALIGN, outside, 0x06);
    EXPECT_EQ(Send(GCM_GETCELLCHANGED, outside), 0);
    EXPECT_EQ(COLORREF(Send(GCM_GETCELLBKCOLOR, outside)), 0xFFFFFFu);
    EXPECT_EQ(Send(GCM_GETCELLALIGN, outside), 0);
    RECT untouched = {1, 2, 3, 4};
    EXPECT_EQ(Send(GCM_GETCELLRECT, outside, LPARAM(&untouched)), 1);
    EXPECT_EQ(untouched.right, 3);
    EXPECT_EQ(Send(GCM_GETCELLRECT, Cell(1, 1), 0), 1);

    const Notice expected[] = {{kId, GCN_BADCELL, 0, 0}, {kId, GCN_BADCELL, 0, 0}};
    EXPECT_TRUE(NoticesAre(expected));
}

TEST_F(GridModelTest, ClassifiesNumbersAndTexts)
{
    const struct {
        const char* text;
        LRESULT type;
    } cases[] = {
        {"12.5", 2}, {"-5", 2}, {"+7", 2}, {"  42", 2}, {"7.", 2},   {"", 1},     {"   ", 1},
        {" -5", 1},  {"1 2", 1}, {"1.2.3", 1}, {"1E5", 1}, {"0x1F", 1}, {"+", 1}, {".", 1},
        {"5-", 1},   {"abc", 1}, {"12 ", 1},
    };
    for (const auto& c : cases) {
        GridSetCellText(c.text, 64, grid, 1, 1);
        EXPECT_EQ(Send(GCM_GETCELLTYPE, Cell(1, 1)), c.type) << "\"" << c.text << "\"";
    }
    EXPECT_EQ(Send(GCM_GETCELLTYPE, Cell(2, 2)), 1);  // never set
    EXPECT_EQ(Send(GCM_GETCELLTYPE, Cell(2, 20)), 0);
}

TEST_F(GridModelTest, TitleOverThreeHundredCharactersIsRefused)
{
    int oneLine = CellRect(0, 1).top;
    ASSERT_GT(oneLine, 0);
    // Three hundred characters on ten lines give a band ten lines tall.
    std::string tenLines;
    for (int i = 0; i < 10; ++i)
        tenLines += std::string(29, 'x') + (i < 9 ? "\n" : "x");
    ASSERT_EQ(tenLines.size(), 300u);
    Send(WM_SETTEXT, 0, LPARAM(tenLines.c_str()));
    EXPECT_GE(CellRect(0, 1).top, 9 * oneLine);
    // One more character and the title becomes the one-line refusal.
    std::string tooLong = tenLines + "x";
    Send(WM_SETTEXT, 0, LPARAM(tooLong.c_str()));
    EXPECT_EQ(CellRect(0, 1).top, oneLine);
    Send(WM_SETTEXT, 0, LPARAM(""));
    EXPECT_EQ(CellRect(0, 1).top, 0);
    Send(WM_SETTEXT, 0, LPARAM("Local PC"));
    Send(GCM_SETTITLEHEIGHT, 0);
    EXPECT_EQ(CellRect(0, 1).top, 0);
    Send(WM_SETTEXT, 0, 0);
    EXPECT_EQ(CellRect(0, 1).top, 0);
}

TEST_F(GridModelTest, StylesColoursAndModifiedFlag)
{
    Send(GCM_SETSTYLE, 0, 0);
    EXPECT_EQ(Send(GCM_GETSTYLE), 0);
    Send(GCM_SETSTYLE, GS_COLUMNSIZING, 1);
    Send(GCM_SETSTYLE, GS_EDITABLE | GS_MULTISELECT, 0);
    Send(GCM_CLEARSTYLE, GS_MULTISELECT, 1);
    EXPECT_EQ(Send(GCM_GETSTYLE), GS_COLUMNSIZING | GS_EDITABLE);

    Send(GCM_SETCOLOR, GCC_SPARE, 0x123456);
    EXPECT_EQ(Send(GCM_GETCOLOR, GCC_SPARE), 0x123456);
    Send(GCM_SETCOLOR, 11, 0x654321);
    Send(GCM_SETCOLOR, WPARAM(-1), 0x654321);
    EXPECT_EQ(Send(GCM_GETCOLOR, 11), 0);
    EXPECT_EQ(Send(GCM_GETCOLOR, WPARAM(-1)), 0);

    Send(GCM_SETMODIFIED, 1);
    EXPECT_EQ(Send(GCM_GETMODIFIED), 1);
    Send(GCM_SETMODIFIED, 0);
    EXPECT_EQ(Send(GCM_GETMODIFIED), 0);
    EXPECT_EQ(Send(WM_USER + 335, 1, 1), 0);

    Send(GCM_SETCOLWIDTH, 10, 80);
    Send(GCM_SETCOLWIDTH, 11, 80);
    Send(GCM_SETCOLWIDTH, 3, -20);
    Send(GCM_SETROWHEIGHT, 4, 70000);
    EXPECT_EQ(Send(GCM_GETCOLWIDTH, 10), 80);
    EXPECT_EQ(Send(GCM_GETCOLWIDTH, 11), 0);
    EXPECT_EQ(Send(GCM_GETCOLWIDTH, 3), 0);
    EXPECT_EQ(Send(GCM_GETROWHEIGHT, 4), 0xFFFF);
    EXPECT_EQ(Send(GCM_GETROWHEIGHT, 11), 0);
}

TEST_F(GridModelTest, ResetLeavesOnlyABlankHeaderRow)
{
    GridSetCellText("File Selection", 64, grid, 0, 1);
    GridSetCellText("x", 2, grid, 3, 3);
    Send(GCM_SELECTCELL, 5, 4);
    Send(GCM_RESET);
    EXPECT_EQ(Send(GCM_GETROWCOUNT), 0);
    EXPECT_EQ(Send(GCM_GETCOLCOUNT), 10);
    EXPECT_EQ(Send(GCM_GETCURROW), 1);
    EXPECT_EQ(Text(0, 1), "");
    Send(GCM_SETSIZE, 5, 10);
    EXPECT_EQ(Text(3, 3), "");
}

TEST_F(GridModelTest, SelectionMessagesStayInsideTheGridAndNotifyNothing)
{
    Send(GCM_SELECTCELL, 3, 4);
    Send(GCM_SELECTCELL, 0, 1);
    Send(GCM_SELECTCELL, 11, 1);
    Send(GCM_SELECTCELL, 1, 10000);
    DWORD anchor = 0, current = 0;
    EXPECT_EQ(Send(GCM_GETSELECTION, WPARAM(&anchor), LPARAM(&current)), 1);
    EXPECT_EQ(anchor, DWORD(MAKELONG(3, 4)));
    EXPECT_EQ(current, DWORD(MAKELONG(3, 4)));
    EXPECT_EQ(Send(GCM_GETSELECTION, 0, 0), 1);

    Send(GCM_SETSELECTION, Cell(2, 2), LPARAM(Cell(5, 3)));
    Send(GCM_GETSELECTION, WPARAM(&anchor), LPARAM(&current));
    EXPECT_EQ(anchor, DWORD(MAKELONG(2, 2)));
    EXPECT_EQ(current, DWORD(MAKELONG(5, 3)));
    Send(GCM_SETSELECTION, Cell(0, 500), LPARAM(Cell(900, 0)));
    Send(GCM_GETSELECTION, WPARAM(&anchor), LPARAM(&current));
    EXPECT_EQ(anchor, DWORD(MAKELONG(1, 10)));
    EXPECT_EQ(current, DWORD(MAKELONG(10, 1)));
    EXPECT_TRUE(NoticesAre(nullptr, 0));
}

TEST_F(GridModelTest, AutoSizeWidensColumnsAndHeightensMultiLineRows)
{
    Send(GCM_SETSTYLE, GS_AUTOSIZE);
    GridSetCellText("a rather long file name.bin", 64, grid, 1, 1);
    int wide = int(Send(GCM_GETCOLWIDTH, 1));
    EXPECT_GT(wide, 100);
    GridSetCellText("short", 64, grid, 2, 1);
    EXPECT_EQ(Send(GCM_GETCOLWIDTH, 1), wide);  // never narrowed
    EXPECT_EQ(Send(GCM_GETROWHEIGHT, 2), 21);

    GridSetCellText("one\ntwo\nthree", 64, grid, 3, 2);
    int tall = int(Send(GCM_GETROWHEIGHT, 3));
    EXPECT_GT(tall, 3 * 10);
    Send(GCM_SETSTYLE, GS_ELLIPSIS);
    GridSetCellText("one\ntwo\nthree", 64, grid, 4, 2);
    EXPECT_EQ(Send(GCM_GETROWHEIGHT, 4), 21);
    GridSetCellText("one\ntwo\nthree", 64, grid, 0, 3);  // headers always grow
    EXPECT_EQ(Send(GCM_GETROWHEIGHT, 0), tall);
}

TEST_F(GridModelTest, FocusChangesReachTheParent)
{
    SetFocus(grid);
    SetFocus(TestParent());
    SendMessageA(grid, WM_MOUSEACTIVATE, WPARAM(TestParent()), MAKELONG(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(GetFocus(), grid);
    SetFocus(TestParent());
    const Notice expected[] = {
        {kId, GCN_SETFOCUS, 0, 0},
        {kId, GCN_KILLFOCUS, 0, 0},
        {kId, GCN_SETFOCUS, 0, 0},
        {kId, GCN_KILLFOCUS, 0, 0},
    };
    EXPECT_TRUE(NoticesAre(expected));
}

}  // namespace
