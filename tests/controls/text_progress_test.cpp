#include <gtest/gtest.h>

#include "controls/register_controls.h"
#include "controls/text_progress.h"
#include "tests/controls/control_harness.h"

namespace {

class TextProgressTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(RegisterControlClasses(GetModuleHandleA(nullptr)));
        parent = TestParent();
        bar = CreateControl(parent, "KVTEXTPROGRESS", "", 1014, 10, 10, 200, 20);
        ASSERT_NE(bar, nullptr);
    }
    void TearDown() override { DestroyWindow(bar); }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { return SendMessageA(bar, message, wParam, lParam); }

    HWND parent = nullptr;
    HWND bar = nullptr;
};

TEST_F(TextProgressTest, StepsThroughTheDefaultRangeAndWrapsToTheMinimum)
{
    EXPECT_EQ(Send(PBM_GETRANGE, 1, 0), 0);
    EXPECT_EQ(Send(PBM_GETRANGE, 0, 0), 255);
    EXPECT_EQ(Send(PBM_GETPOS), 0);
    for (int i = 0; i < 255; ++i)
        ASSERT_EQ(Send(PBM_STEPIT), i);
    EXPECT_EQ(Send(PBM_GETPOS), 255);
    EXPECT_EQ(Send(PBM_STEPIT), 255);
    EXPECT_EQ(Send(PBM_GETPOS), 0);

    EXPECT_EQ(Send(PBM_SETSTEP, 100), 1);
    Send(PBM_SETRANGE32, 10, 300);
    EXPECT_EQ(Send(PBM_SETPOS, 200), 0);
    EXPECT_EQ(Send(PBM_STEPIT), 200);  // 300 equals the maximum and stays
    EXPECT_EQ(Send(PBM_STEPIT), 300);
    EXPECT_EQ(Send(PBM_GETPOS), 10);
    Send(PBM_SETSTEP, 0x7FFFFFFF);
    Send(PBM_SETPOS, 0x7FFFFFF0);
    Send(PBM_SETRANGE32, 0, 0x7FFFFFFF);
    Send(PBM_STEPIT);  // the sum passes the largest position: back to the minimum, not negative
    EXPECT_EQ(Send(PBM_GETPOS), 0);
}

TEST_F(TextProgressTest, RangesAreReadWithAndWithoutPointers)
{
    EXPECT_EQ(Send(PBM_SETRANGE, 0, MAKELONG(5, 60000)), 0);
    EXPECT_EQ(Send(PBM_GETRANGE, 1, 0), 5);
    EXPECT_EQ(Send(PBM_GETRANGE, 0, 0), 60000);
    Send(PBM_SETRANGE32, WPARAM(-50), 1000);
    EXPECT_EQ(Send(PBM_GETRANGE, 2, 0), 0);
    PBRANGE range = {1, 1};
    EXPECT_EQ(Send(PBM_GETRANGE, 1, LPARAM(&range)), 0);
    EXPECT_EQ(range.iLow, -50);
    EXPECT_EQ(range.iHigh, 1000);
    int low = 0, high = 0;
    EXPECT_EQ(Send(TXPM_GETRANGE, WPARAM(&low), LPARAM(&high)), 0);
    EXPECT_EQ(low, -50);
    EXPECT_EQ(high, 1000);
    EXPECT_EQ(Send(TXPM_GETRANGE, 0, 0), 0);
    // Setting a range leaves the position where it was.
    Send(PBM_SETPOS, 2000);
    Send(PBM_SETRANGE32, 0, 10);
    EXPECT_EQ(Send(PBM_GETPOS), 2000);
}

TEST_F(TextProgressTest, SettersReturnThePreviousValue)
{
    EXPECT_EQ(COLORREF(Send(PBM_SETBARCOLOR, 0, 0x123456)), RGB(0, 100, 210));
    EXPECT_EQ(COLORREF(Send(PBM_SETBKCOLOR, 0, 0x00FF00)), 0xFFFFFFFFu);
    EXPECT_EQ(COLORREF(Send(TXPM_SETTEXTCOLOR, 0, 0xFFFFFFFF)), 0u);
    EXPECT_EQ(COLORREF(Send(TXPM_GETTEXTCOLOR)), 0xFFFFFFFFu);
    EXPECT_EQ(Send(TXPM_GETVERTICAL), 0);
    EXPECT_EQ(Send(TXPM_SETVERTICAL, 0, 7), 0);
    EXPECT_EQ(Send(TXPM_GETVERTICAL), 1);
}

TEST_F(TextProgressTest, CaptionIsCutToItsBufferAndIgnoresNull)
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

    std::string longer(400, 'x');
    Send(WM_SETTEXT, 0, LPARAM(longer.c_str()));
    char all[512];
    EXPECT_EQ(Send(WM_GETTEXT, sizeof(all), LPARAM(all)), 260);
    EXPECT_EQ(Send(WM_GETTEXTLENGTH), 260);
}

TEST_F(TextProgressTest, FilledLengthFollowsPositionOverRange)
{
    Send(PBM_SETBKCOLOR, 0, RGB(255, 255, 255));
    Send(PBM_SETBARCOLOR, 0, RGB(0, 0, 255));
    Send(PBM_SETRANGE32, 0, 1000);
    Send(PBM_SETPOS, 500);
    {
        ClientPixels pixels(bar);
        EXPECT_EQ(pixels.At(99, 2), RGB(0, 0, 255));
        EXPECT_EQ(pixels.At(100, 2), RGB(255, 255, 255));
        EXPECT_EQ(pixels.At(199, 17), RGB(255, 255, 255));
    }
    // The minimum is not taken from the position: 150 of 100..200 fills all of it.
    Send(PBM_SETRANGE32, 100, 200);
    Send(PBM_SETPOS, 150);
    {
        ClientPixels pixels(bar);
        EXPECT_EQ(pixels.At(199, 2), RGB(0, 0, 255));
    }
    Send(PBM_SETRANGE32, 7, 7);
    {
        ClientPixels pixels(bar);
        EXPECT_EQ(pixels.At(0, 2), RGB(255, 255, 255));
    }
    Send(PBM_SETRANGE32, 0, 100);
    Send(PBM_SETPOS, WPARAM(-30));
    {
        ClientPixels pixels(bar);
        EXPECT_EQ(pixels.At(0, 2), RGB(255, 255, 255));
        EXPECT_EQ(pixels.At(199, 2), RGB(255, 255, 255));
    }
}

TEST_F(TextProgressTest, VerticalBarGrowsFromTheBottom)
{
    MoveWindow(bar, 10, 10, 20, 200, TRUE);
    Send(TXPM_SETVERTICAL, 0, 1);
    Send(PBM_SETBKCOLOR, 0, RGB(255, 255, 255));
    Send(PBM_SETBARCOLOR, 0, RGB(255, 0, 0));
    Send(PBM_SETRANGE32, 0, 100);
    Send(PBM_SETPOS, 25);
    ClientPixels pixels(bar);
    EXPECT_EQ(pixels.At(10, 199), RGB(255, 0, 0));
    EXPECT_EQ(pixels.At(10, 150), RGB(255, 0, 0));
    EXPECT_EQ(pixels.At(10, 149), RGB(255, 255, 255));
}

// Counts the pixels of one colour in a rectangle.
int CountColor(const ClientPixels& pixels, int left, int right, COLORREF color)
{
    int count = 0;
    for (int y = 0; y < pixels.height; ++y)
        for (int x = left; x < right; ++x)
            count += pixels.At(x, y) == color;
    return count;
}

TEST_F(TextProgressTest, TwoToneCaptionTakesTheOtherColourOnEachSide)
{
    const COLORREF bk = RGB(255, 255, 255), fill = RGB(0, 0, 255);
    Send(PBM_SETBKCOLOR, 0, bk);
    Send(PBM_SETBARCOLOR, 0, fill);
    Send(PBM_SETRANGE32, 0, 100);
    Send(PBM_SETPOS, 50);
    Send(WM_SETTEXT, 0, LPARAM("MMMMMMMMMMMMMMMMMMMM"));  // wide enough to cross the bar's end
    Send(TXPM_SETTEXTCOLOR, 0, 0xFFFFFFFF);
    {
        ClientPixels pixels(bar);
        EXPECT_GT(CountColor(pixels, 0, 100, bk), 10);      // caption in the background colour over the bar
        EXPECT_GT(CountColor(pixels, 100, 200, fill), 10);  // and in the bar colour beside it
    }
    // With the system background there is no second tone: one pass in the text colour.
    Send(PBM_SETBKCOLOR, 0, 0xFFFFFFFF);
    Send(TXPM_SETTEXTCOLOR, 0, RGB(255, 0, 0));
    {
        ClientPixels pixels(bar);
        EXPECT_GT(CountColor(pixels, 0, 100, RGB(255, 0, 0)), 10);
        EXPECT_GT(CountColor(pixels, 100, 200, RGB(255, 0, 0)), 10);
        EXPECT_EQ(pixels.At(199, 1), GetSysColor(COLOR_BTNFACE));
    }
}

}  // namespace
