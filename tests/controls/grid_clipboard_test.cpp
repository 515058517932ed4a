#include "tests/controls/grid_fixture.h"

namespace {

class GridClipboardTest : public GridTest {};

TEST_F(GridClipboardTest, PasteFillsTheBlockEvenReadOnlyCellsAndSelectsItUnlessItDoesNotFit)
{
    CreatePositionGrid();
    GridSetCellText("a", 2, grid, 1, 1);
    Send(GCM_SETSELECTION, Cell(2, 2), LPARAM(Cell(1, 1)));
    ASSERT_TRUE(PutClipboard("a\tb\r\nc\td\r\n"));
    ResetNotices();
    g_noticeQuery = ModifiedAndTextSize;
    EXPECT_EQ(Send(GCM_PASTE), 1);
    EXPECT_EQ(g_notices, "text 1,1 =2; text 1,1 =1002; text 1,2 =1002; text 1,2 =1002; text 2,1 =1002; "
                         "text 2,1 =1002; text 2,2 =1002; text 2,2 =1002");
    EXPECT_EQ(Text(1, 2) + Text(2, 1) + Text(2, 2), "bcd");
    EXPECT_EQ(Send(GCM_GETCELLCHANGED, Cell(1, 1)), 0); // the same text as before
    EXPECT_EQ(Send(GCM_GETCELLCHANGED, Cell(1, 2)), 4);
    EXPECT_EQ(Selection(), "1,1 2,2");

    // Ctrl+V at (5, 1) pastes the same through the keyboard.
    Send(GCM_SELECTCELL, 5, 1);
    EXPECT_EQ(Send(WM_CHAR, 0x16), 0);
    EXPECT_EQ(Text(6, 2), "d");

    // Pastes that do not fit, have no line end, find nothing or meet a grid that cannot be
    // edited change nothing.
    Send(GCM_SELECTCELL, 15, 1);
    Send(GCM_SETMODIFIED, 0);
    ResetNotices();
    const std::string refused[] = {
        "a\tb",                           // no line end
        "a\tb\tc\r\n",                    // three columns into two
        "a\r\nb\r\nc\r\n",                // rows 15 to 17 of 16
        std::string(70000, 'x') + "\r\n", // over 65535 characters
    };
    for (const std::string& text : refused) {
        ASSERT_TRUE(PutClipboard(text.c_str()));
        EXPECT_EQ(Send(GCM_PASTE), 0) << text.substr(0, 20);
    }
    PutClipboard(nullptr);
    EXPECT_EQ(Send(GCM_PASTE), 0);
    PutClipboard("a\r\n");
    Send(GCM_CLEARSTYLE, GS_EDITABLE);
    EXPECT_EQ(Send(GCM_PASTE), 0);
    EXPECT_EQ(g_notices, "");
    EXPECT_EQ(Text(15, 1), "");
    EXPECT_EQ(Send(GCM_GETMODIFIED), 0);
    EXPECT_EQ(Send(GCM_GETCURROW), 15);
}

// Copied cells are cut to 255 characters. Pasted text of any shape: each line fills its own
// row, a short line leaves its remaining cells empty, a long line loses what does not fit,
// and nothing is read past the text or past 255 characters a field.
TEST_F(GridClipboardTest, CopyAndPastesOfAnyShapeStayInsideTheTextAndTheFields)
{
    CreateGrid(400, 300);
    GridSetCellText("a", 2, grid, 2, 2);
    GridSetCellText("c", 2, grid, 2, 4);
    std::string wide(300, 'w');
    GridSetCellText(wide.c_str(), 301, grid, 3, 3);
    Send(GCM_SETSELECTION, Cell(3, 4), LPARAM(Cell(2, 2)));
    PutClipboard("stale");
    EXPECT_EQ(Send(GCM_COPY), 1);
    EXPECT_EQ(ClipboardText(), "a\t\tc\r\n\t" + wide.substr(0, 255) + "\t\r\n");

    const std::pair<std::string, const char*> cases[] = {
        // the text, then rows 1 to 3 of columns 1 and 2 joined by '|'
        {"x\ty\tz\r\n1\r\n", "x|y|1||.|."}, // 2 TABs over 2 lines: 2 columns
        {"1\r\nx\ty\tz\r\n", "1||x|y|.|."},
        {"p\rq\r\nlast", "p|.|.|.|.|."},   // a CR without LF; the unended last line is left
        {"m\nn\n\n", "m|.|n|.||."},         // LF alone ends a line
        {"\t\r\n", "||.|.|.|."},
        {std::string(300, 'f') + "\tg\r\n", "F|g|.|.|.|."},
    };
    for (const auto& c : cases) {
        for (int row = 1; row <= 3; ++row)
            for (int column = 1; column <= 2; ++column)
                GridSetCellText(".", 2, grid, row, column);
        Send(GCM_SELECTCELL, 1, 1);
        ASSERT_TRUE(PutClipboard(c.first.c_str()));
        EXPECT_EQ(Send(GCM_PASTE), 1) << c.second;
        std::string cells;
        for (int row = 1; row <= 3; ++row)
            for (int column = 1; column <= 2; ++column) {
                std::string text = Text(row, column);
                cells += (row + column > 2 ? "|" : "") + (text == std::string(255, 'f') ? "F" : text);
            }
        EXPECT_EQ(cells, c.second);
    }
}

} // namespace
