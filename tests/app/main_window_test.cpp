// The main window from start to close: initialisation with the device log, the three
// command states, closing while a job runs, and the last layout at start.
#include <cstdio>
#include <string>

#include "app/command_state.h"
#include "app/program_main.h"
#include "app/prompts.h"
#include "tests/app/main_window_fixture.h"

namespace {

const char kTitleStart[] = "T6/Orrery Programming Utility v1.0.0 - ";
const char kBusyText[] = "A device operation is still running. Please wait until it has finished.";

} // namespace

TEST_F(MainWindowTest, StartsWithTheGridSetUpFindsTheHardwareAndLogs)
{
    const std::string log = folder_ + "device.log";
    StartUpProgram(GetModuleHandleA(nullptr), ("/log \"" + log + "\"").c_str());
    Create();
    // Initialisation: only the Query button, no hardware yet, and an empty settings.dat.
    EXPECT_EQ(EnabledCommands(), With({IDC_QUERY_DEVICE}));
    EXPECT_EQ(Title(), std::string(kTitleStart) + "No Hardware -  ");
    EXPECT_EQ(ReadSettingsBytes(), "");
    EXPECT_FALSE(IsWindowVisible(Control(IDC_POSITION_SELECTOR)));
    EXPECT_FALSE(IsWindowVisible(Control(IDC_POSITION_SELECTOR_LABEL)));
    EXPECT_EQ(SelectorEntries(), (std::vector<std::string>{"0=0", "1=1", "2=2", "3=3", "4=4", "5=5", "6=6", "7=7",
                                                           "Chip Off=16", "Unknown=17"}));
    EXPECT_EQ(SelectorCurrent(), "Unknown");

    HWND grid = Grid();
    EXPECT_EQ(SendMessageA(grid, GCM_GETROWCOUNT, 0, 0), 8);
    EXPECT_EQ(SendMessageA(grid, GCM_GETCOLCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(grid, GCM_GETSTYLE, 0, 0) & (GS_MULTISELECT | GS_ROWNUMBERS | GS_COLUMNLETTERS), 0);
    EXPECT_EQ(Cell(0, 1), "File Selection");
    EXPECT_EQ(Cell(0, 2), "Device Content");
    for (int row = 1; row <= 8; ++row) {
        EXPECT_EQ(Cell(row, 0), std::string(1, char('0' + row - 1)));
        EXPECT_NE(SendMessageA(grid, GCM_GETREADONLY, MAKELONG(row, 2), 0), 0);
        EXPECT_EQ(SendMessageA(grid, GCM_GETREADONLY, MAKELONG(row, 1), 0), 0);
    }

    // The posted search finds the simulator: everything enabled, the device in the title,
    // and no entry in the 8-position selector, since the device was not asked which it shows.
    ASSERT_TRUE(WaitForQuery());
    EXPECT_EQ(EnabledCommands(), kReady);
    EXPECT_EQ(Title(), std::string(kTitleStart) + "Orrery Programmer v1.5.Z -  ");
    EXPECT_EQ(Text(IDC_STATUS_BOX), "Hardware ready.\r\nOrrery Programmer v1.5.Z");
    EXPECT_EQ(SelectorCurrent(), "");
    EXPECT_EQ(Text(IDC_DEVICE_INFO_BOX), "<Unrecognized metadata>");

    Command(IDM_EXIT);
    EXPECT_EQ(g_app.mainWindow, nullptr);
    EXPECT_EQ(ReadSettingsBytes().size(), sizeof(SettingsBlock));
    // The device log went to the file, line by line, and is let go at the end.
    ShutDownProgram();
    EXPECT_EQ(g_app.channel.logTarget, nullptr);
    const Bytes written = ReadBytes(log);
    const std::string text(written.begin(), written.end());
    EXPECT_EQ(text.compare(0, 10, "KVSerial: "), 0) << text.substr(0, 200);
    EXPECT_NE(text.find("\r\n"), std::string::npos);
}

// Without hardware, searching again is the one way out. Closing while a job runs would end
// the process in the middle of a transfer: every way of closing is refused with a message
// until the job has finished.
TEST_F(MainWindowTest, WithoutHardwareSearchingAgainAndClosingWaitForTheJob)
{
    Open(false);
    EXPECT_EQ(EnabledCommands(), kNoHardware);
    EXPECT_EQ(Title(), std::string(kTitleStart) + "No Hardware -  ");
    EXPECT_NE(Text(IDC_STATUS_BOX).find("Hardware not found."), std::string::npos) << Text(IDC_STATUS_BOX);

    g_app.layoutModified = 1;
    Command(IDM_QUERY_DEVICE);
    ASSERT_TRUE(IsJobRunning());
    EXPECT_EQ(EnabledCommands(), kAlwaysEnabled);
    // Nothing is pumped meanwhile, so the job cannot finish before each attempt.
    Command(IDCANCEL);
    SetFocus(Control(IDCANCEL));
    Key(VK_ESCAPE);
    const std::string busy = std::string("box Device Busy|") + kBusyText + "|0x40";
    EXPECT_EQ(asked, (Asked{busy, busy}));
    // File > Exit, with the box answered for real.
    RealPrompts(true);
    std::string shown;
    std::thread box = AnswerBox("Device Busy", IDOK, &shown);
    Command(IDM_EXIT);
    box.join();
    EXPECT_EQ(shown, kBusyText);
    ASSERT_TRUE(IsWindow(static_cast<HWND>(g_app.mainWindow)));

    ASSERT_TRUE(WaitForQuery());
    EXPECT_EQ(EnabledCommands(), kNoHardware);
    // Now closing goes on to the layout question: pressing No closes.
    box = AnswerBox("Save Layout?", IDNO, &shown);
    Command(IDCANCEL);
    box.join();
    EXPECT_EQ(shown, "Layout Modified, Save?");
    EXPECT_EQ(g_app.mainWindow, nullptr);
}

// settings.dat brings back the option and the last layout file, which loads over the
// layout kept in settings.dat; the title shows the file's last three parts. (Unreadable,
// foreign and short files: the native reader and layout command tests.)
TEST_F(MainWindowTest, TheLastLayoutFileComesBackAtStart)
{
    const std::string folder = folder_ + "a\\b\\c\\";
    std::filesystem::create_directories(folder);
    LayoutBlock layout = {};
    layout.layoutVersion = 1;
    snprintf(layout.positionPaths[0].path, kPathFieldSize, "C:\\gone\\a.bin");
    WriteBytes(folder + "d.t6layout", BytesOf(layout));
    SettingsBlock settings = LayoutSettings({"C:\\missing\\tune.bin", "C:\\missing\\two.bin"});
    settings.allowSoftwarePositionSelection = 1;
    snprintf(settings.layoutPath, sizeof settings.layoutPath, "%s", (folder + "d.t6layout").c_str());
    WriteSettings(settings);

    Open(false);
    EXPECT_EQ(asked, Asked{});
    EXPECT_EQ(Cell(1, 1), "C:\\gone\\a.bin");
    EXPECT_EQ(Cell(2, 1), "");
    EXPECT_TRUE(IsWindowVisible(Control(IDC_POSITION_SELECTOR)));
    EXPECT_EQ(Title(), std::string(kTitleStart) + "No Hardware - b\\c\\d.t6layout ");
    Command(IDM_MOVE_DOWN);
    EXPECT_EQ(Title(), std::string(kTitleStart) + "No Hardware - b\\c\\d.t6layout*");
}
