#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "controls/register_controls.h"
#include "controls/text_progress.h"
#include "tests/controls/control_harness.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255), kBlue = RGB(0, 0, 255), kRed = RGB(255, 0, 0);

// A bar of 200 by 20 pixels.
class TextProgressTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(RegisterControlClasses(GetModuleHandleA(nullptr)));
        bar = CreateControl("KVTEXTPROGRESS", "", 1014, 200, 20);
        ASSERT_NE(bar, nullptr);
    }
    void TearDown() override { DestroyWindow(bar); }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { return SendMessageA(bar, message, wParam, lParam); }
    // Background and bar colours, and a position within a range.
    void Show(COLORREF background, COLORREF fill, int low, int high, int position)
    {
        Send(PBM_SETBKCOLOR, 0, LPARAM(background));
        Send(PBM_SETBARCOLOR, 0, LPARAM(fill));
        Send(PBM_SETRANGE32, WPARAM(low), high);
        Send(PBM_SETPOS, WPARAM(position));
    }
    static std::string Name(COLORREF c)
    {
        return c == kBlue ? "blue" : c == kRed ? "red" : c == kWhite ? "white" : "other";
    }
    // The pixels at x1 and x2 of the second row, drawn afresh: "blue white".
    std::string Drawn(int x1, int x2)
    {
        ClientPixels pixels(bar);
        return Name(pixels.At(x1, 2)) + " " + Name(pixels.At(x2, 2));
    }
    // The same pixels as the window itself shows them since its last paint.
    std::string Shown(int x1, int x2)
    {
        HDC dc = GetDC(bar);
        std::string shown = Name(GetPixel(dc, x1, 2)) + " " + Name(GetPixel(dc, x2, 2));
        ReleaseDC(bar, dc);
        return shown;
    }
    // How many pixels in columns left to right have the colour.
    int CountColor(int left, int right, COLORREF color)
    {
        return ClientPixels(bar).Count(left, 0, right, 20, [color](COLORREF c) { return c == color; });
    }

    HWND bar = nullptr;
};

TEST_F(TextProgressTest, StepsWrapToTheMinimumAndRangesAreReadWithAndWithoutPointers)
{
    EXPECT_EQ(Send(PBM_SETSTEP, 100), 1);
    Send(PBM_SETRANGE32, 10, 300);
    EXPECT_EQ(Send(PBM_SETPOS, 200), 0);
    EXPECT_EQ(Send(PBM_STEPIT), 200); // 300 equals the maximum and stays
    EXPECT_EQ(Send(PBM_STEPIT), 300);
    EXPECT_EQ(Send(PBM_GETPOS), 10);
    Send(PBM_SETSTEP, 0x7FFFFFFF);
    Send(PBM_SETPOS, 0x7FFFFFF0);
    Send(PBM_SETRANGE32, 0, 0x7FFFFFFF);
    Send(PBM_STEPIT); // the sum passes the largest position: back to the minimum, not negative
    EXPECT_EQ(Send(PBM_GETPOS), 0);

    EXPECT_EQ(Send(PBM_SETRANGE, 0, MAKELONG(5, 60000)), 0);
    EXPECT_EQ(Send(PBM_GETRANGE, 1, 0), 5);
    EXPECT_EQ(Send(PBM_GETRANGE, 0, 0), 60000);
    Send(PBM_SETRANGE32, WPARAM(-50), 1000);
    PBRANGE range = {1, 1};
    int low = 0, high = 0;
    EXPECT_EQ(Send(PBM_GETRANGE, 1, LPARAM(&range)), 0);
    EXPECT_EQ(Send(TXPM_GETRANGE, WPARAM(&low), LPARAM(&high)), 0);
    EXPECT_EQ(std::make_pair(range.iLow, range.iHigh), std::make_pair(-50, 1000));
    EXPECT_EQ(std::make_pair(low, high), std::make_pair(-50, 1000));
    EXPECT_EQ(Send(TXPM_GETRANGE, 0, 0), 0);
    // Setting a range leaves the position where it was.
    Send(PBM_SETPOS, 2000);
    Send(PBM_SETRANGE32, 0, 10);
    EXPECT_EQ(Send(PBM_GETPOS), 2000);
}

TEST_F(TextProgressTest, CaptionIsCutToItsBufferAndDrawnInTwoTones)
{
    Send(WM_SETTEXT, 0, LPARAM("Writing"));
    Send(WM_SETTEXT, 0, 0);
    char text[32] = "";
    EXPECT_EQ(Send(WM_GETTEXT, sizeof(text), LPARAM(text)), 7);
    EXPECT_STREQ(text, "Writing");
    EXPECT_EQ(Send(WM_GETTEXT, 4, LPARAM(text)), 3);
    EXPECT_STREQ(text, "Wri");
    EXPECT_EQ(Send(WM_GETTEXT, 0, LPARAM(text)), 0);
    EXPECT_EQ(Send(WM_GETTEXT, 10, 0), 0);
    Send(WM_SETTEXT, 0, LPARAM(std::string(400, 'x').c_str()));
    char all[512];
    EXPECT_EQ(Send(WM_GETTEXT, sizeof(all), LPARAM(all)), 260);
    EXPECT_EQ(Send(WM_GETTEXTLENGTH), 260);

    // Over the bar the caption takes the background colour, beside it the bar colour.
    Show(kWhite, kBlue, 0, 100, 50);
    Send(WM_SETTEXT, 0, LPARAM("MMMMMMMMMMMMMMMMMMMM")); // wide enough to cross the bar's end
    Send(TXPM_SETTEXTCOLOR, 0, LPARAM(kTextProgressDefaultColor));
    EXPECT_GT(CountColor(0, 100, kWhite), 10);
    EXPECT_GT(CountColor(100, 200, kBlue), 10);
    // With the system background there is no second tone: one pass in the text colour.
    Send(PBM_SETBKCOLOR, 0, LPARAM(kTextProgressDefaultColor));
    Send(TXPM_SETTEXTCOLOR, 0, kRed);
    EXPECT_GT(CountColor(0, 100, kRed), 10);
    EXPECT_GT(CountColor(100, 200, kRed), 10);
    EXPECT_EQ(ClientPixels(bar).At(199, 1), GetSysColor(COLOR_BTNFACE));
}

TEST_F(TextProgressTest, FilledLengthFollowsPositionOverRange)
{
    Show(kWhite, kBlue, 0, 1000, 500);
    EXPECT_EQ(Drawn(99, 100), "blue white");
    // The minimum is not taken from the position: 150 of 100..200 fills all of it.
    Show(kWhite, kBlue, 100, 200, 150);
    EXPECT_EQ(Drawn(0, 199), "blue blue");
    Send(PBM_SETRANGE32, 7, 7);
    EXPECT_EQ(Drawn(0, 199), "white white");
    Show(kWhite, kBlue, 0, 100, -30);
    EXPECT_EQ(CountColor(0, 200, kBlue), 0);

    // Vertical, the bar grows from the bottom.
    MoveWindow(bar, 10, 10, 20, 200, TRUE);
    EXPECT_EQ(Send(TXPM_SETVERTICAL, 0, 1), 0);
    Show(kWhite, kRed, 0, 100, 25);
    ClientPixels pixels(bar);
    EXPECT_EQ(pixels.At(10, 199), kRed);
    EXPECT_EQ(pixels.At(10, 150), kRed);
    EXPECT_EQ(pixels.At(10, 149), kWhite);
}

// The bar skips repainting a position that fills the pixels it already shows; what it
// shows must still follow every position that fills others, also after a new range
// (which repaints nothing) or a new size.
TEST_F(TextProgressTest, TheWindowShowsEveryPositionThatFillsOtherPixels)
{
    Show(kWhite, kBlue, 0, 1000, 500);
    EXPECT_EQ(Shown(99, 100), "blue white");
    Send(PBM_SETPOS, 501); // still 100 pixels
    Send(PBM_SETRANGE32, 0, 500);
    EXPECT_EQ(Shown(99, 100), "blue white");
    Send(PBM_SETPOS, 501); // the same position, now the whole bar
    EXPECT_EQ(Shown(100, 199), "blue blue");
    Send(PBM_SETRANGE32, 0, 2000);
    Send(PBM_STEPIT); // 502 of 2000: 50 pixels
    EXPECT_EQ(Shown(49, 50), "blue white");
    SetWindowPos(bar, nullptr, 0, 0, 100, 20, SWP_NOMOVE | SWP_NOZORDER);
    Send(PBM_SETPOS, 502); // 25 pixels of the narrower bar
    EXPECT_EQ(Shown(24, 25), "blue white");
}

} // namespace
