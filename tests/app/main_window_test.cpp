// The main window from start to close without hardware: initialisation with the device
// log, settings.dat and the last layout file at start, and closing while a job runs.
#include <cstdio>
#include <string>

#include "app/command_state.h"
#include "app/program_main.h"
#include "tests/app/main_window_fixture.h"

// The grid and the selector set up and only Query enabled until the first search ends; the
// option and the last layout file come back from settings.dat, the file loading over the
// layout kept there. Closing while a job runs would end the process in the middle of a
// transfer: every way of closing is refused with a message until the job has finished.
TEST_F(MainWindowTest, StartsFromSettingsLogsAndClosesOnlyWhenNoJobRuns)
{
    const std::string folder = folder_ + "a\\b\\c\\", log = folder_ + "device.log";
    std::filesystem::create_directories(folder);
    WriteBytes(folder + "d.t6layout", BytesOf(LayoutSettings({"C:\\gone\\a.bin"}).layout));
    SettingsBlock settings = LayoutSettings({"C:\\missing\\tune.bin", "C:\\missing\\two.bin"});
    settings.allowSoftwarePositionSelection = 1;
    snprintf(settings.layoutPath, sizeof settings.layoutPath, "%s", (folder + "d.t6layout").c_str());
    WriteSettings(settings);
    StartUpProgram(GetModuleHandleA(nullptr), ("/log \"" + log + "\"").c_str());
    Create(false);
    EXPECT_EQ(EnabledCommands(), With({IDC_QUERY_DEVICE}));
    EXPECT_TRUE(IsWindowVisible(Control(IDC_POSITION_SELECTOR_LABEL)));
    EXPECT_EQ(Selector(), "Unknown/10");  // 0 to 7, "Chip Off" and "Unknown"
    HWND grid = Grid();
    EXPECT_EQ(SendMessageA(grid, GCM_GETROWCOUNT, 0, 0), 8);
    EXPECT_EQ(SendMessageA(grid, GCM_GETCOLCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(grid, GCM_GETSTYLE, 0, 0) & (GS_MULTISELECT | GS_ROWNUMBERS | GS_COLUMNLETTERS), 0);
    EXPECT_EQ(Cell(0, 1) + "|" + Cell(0, 2), "File Selection|Device Content");
    for (int row = 1; row <= 8; ++row) {
        EXPECT_EQ(Cell(row, 0), std::string(1, char('0' + row - 1)));
        EXPECT_NE(SendMessageA(grid, GCM_GETREADONLY, MAKELONG(row, 2), 0), 0);
        EXPECT_EQ(SendMessageA(grid, GCM_GETREADONLY, MAKELONG(row, 1), 0), 0);
    }
    EXPECT_EQ(Cell(1, 1) + "|" + Cell(2, 1), "C:\\gone\\a.bin|");

    ASSERT_TRUE(WaitForQuery());
    EXPECT_EQ(EnabledCommands(), kNoHardware);
    const std::string title = "T6/Orrery Programming Utility v1.0.0 - No Hardware - b\\c\\d.t6layout";
    EXPECT_EQ(Title(), title + " ");
    Command(IDM_MOVE_DOWN);
    EXPECT_EQ(Title(), title + "*");

    Command(IDM_QUERY_DEVICE);
    ASSERT_TRUE(IsJobRunning());
    EXPECT_EQ(EnabledCommands(), kAlwaysEnabled);
    // Nothing is pumped meanwhile, so the job cannot finish before each attempt.
    Command(IDCANCEL);
    Command(IDM_EXIT);
    const std::string busy =
        "box Device Busy|A device operation is still running. Please wait until it has finished.|0x40";
    EXPECT_EQ(asked, (Asked{busy, busy}));
    ASSERT_TRUE(IsWindow(static_cast<HWND>(g_app.mainWindow)));
    ASSERT_TRUE(WaitForQuery());
    boxAnswers = {IDNO};  // the layout is not saved
    Command(IDM_EXIT);
    EXPECT_EQ(g_app.mainWindow, nullptr);

    // The device log went to the file, line by line, and is let go at the end.
    ShutDownProgram();
    EXPECT_EQ(g_app.channel.logTarget, nullptr);
    const Bytes written = ReadBytes(log);
    const std::string text(written.begin(), written.end());
    EXPECT_EQ(text.compare(0, 10, "KVSerial: "), 0) << text.substr(0, 200);
    EXPECT_NE(text.find("\r\n"), std::string::npos);
}
