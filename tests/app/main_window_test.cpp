// The main window from start to close: initialisation, the three command states, the
// title, closing, the device log option, and bad settings and layout files.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "app/closing.h"
#include "app/command_state.h"
#include "app/program_main.h"
#include "app/prompts.h"
#include "tests/app/main_window_fixture.h"
#include "tune/metadata.h"

namespace {

const char kTitleStart[] = "T6/Orrery Programming Utility v1.0.0 - ";
const char kBusyBox[] =
    "box Device Busy|A device operation is still running. Please wait until it has finished.|0x40";

std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

TEST_F(MainWindowTest, StartsWithTheGridSetUpAndFindsTheHardware)
{
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
    EXPECT_EQ(SendMessageA(grid, GCM_GETCOLOR, GCC_READONLYBK, 0), 0xFFFFFF);
    EXPECT_EQ(SendMessageA(grid, GCM_GETCOLWIDTH, 0, 0), 25);
    EXPECT_EQ(SendMessageA(grid, GCM_GETCOLWIDTH, 1, 0), 350);
    EXPECT_EQ(Cell(0, 1), "File Selection");
    EXPECT_EQ(Cell(0, 2), "Device Content");
    for (int row = 1; row <= 8; ++row) {
        EXPECT_EQ(Cell(row, 0), std::string(1, char('0' + row - 1)));
        EXPECT_EQ(SendMessageA(grid, GCM_GETROWHEIGHT, WPARAM(row), 0), 18);
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
}

TEST_F(MainWindowTest, WithoutHardwareOnlyArrangingAndSearchingStayEnabled)
{
    Open(false);
    EXPECT_EQ(EnabledCommands(), kNoHardware);
    EXPECT_EQ(Title(), std::string(kTitleStart) + "No Hardware -  ");
    EXPECT_NE(Text(IDC_STATUS_BOX).find("Hardware not found."), std::string::npos) << Text(IDC_STATUS_BOX);

    // Searching again is the one way out.
    Command(IDC_QUERY_DEVICE);
    EXPECT_EQ(EnabledCommands(), kAlwaysEnabled);
    ASSERT_TRUE(WaitForQuery());
    EXPECT_EQ(EnabledCommands(), kNoHardware);
}

// Closing while a job runs would end the process in the middle of a transfer: every way of
// closing is refused with a message until the job has finished.
TEST_F(MainWindowTest, ClosingWaitsForTheRunningJob)
{
    Open(false);
    g_app.layoutModified = 1;
    Command(IDM_QUERY_DEVICE);
    ASSERT_TRUE(IsJobRunning());
    EXPECT_EQ(EnabledCommands(), kAlwaysEnabled);

    // Nothing is pumped meanwhile, so the job cannot finish before each attempt.
    Command(IDCANCEL);
    SetFocus(Control(IDCANCEL));
    Key(VK_ESCAPE);
    EXPECT_EQ(asked, (Asked{kBusyBox, kBusyBox}));
    // File > Exit, with the box answered for real.
    SetPromptHandlers(nullptr);
    {
        BoxAnswerer answer("Device Busy", "OK");
        Command(IDM_EXIT);
        answer.Join();
        EXPECT_TRUE(answer.found());
        EXPECT_EQ(answer.text, "A device operation is still running. Please wait until it has finished.");
    }
    ASSERT_NE(g_app.mainWindow, nullptr);
    EXPECT_TRUE(IsWindow(static_cast<HWND>(g_app.mainWindow)));

    ASSERT_TRUE(WaitForQuery());
    {
        // Now closing goes on to the layout question: pressing No closes.
        BoxAnswerer answer("Save Layout?", "No");
        Command(IDCANCEL);
        answer.Join();
        EXPECT_EQ(answer.text, "Layout Modified, Save?");
    }
    EXPECT_EQ(g_app.mainWindow, nullptr);
}

TEST_F(MainWindowTest, ClosingAsksToSaveAModifiedLayout)
{
    std::string layout = folder_ + "closing.t6layout";
    SettingsBlock settings = {};
    settings.settingsVersion = 2;
    snprintf(settings.layoutPath, sizeof settings.layoutPath, "%s", layout.c_str());
    snprintf(settings.layout.positionPaths[0].path, kPathFieldSize, "C:\\first.bin");
    WriteSettings(settings);
    Open(false);
    SelectRow(1);
    Command(IDC_MOVE_DOWN);
    ASSERT_EQ(g_app.layoutModified, 1u);

    boxAnswers = {IDCANCEL};
    Command(IDCANCEL);
    ASSERT_NE(g_app.mainWindow, nullptr);
    boxAnswers = {IDYES};
    Command(IDCANCEL);
    const std::string question = "box Save Layout?|Layout Modified, Save?|0x33";
    EXPECT_EQ(asked, (Asked{question, question}));
    EXPECT_EQ(g_app.mainWindow, nullptr);
    // Yes wrote the layout file; settings.dat has the layout as it stood at closing.
    EXPECT_EQ(FileBytes(layout).size(), sizeof(LayoutBlock));
    SettingsBlock saved = {};
    std::string bytes = ReadSettingsBytes();
    ASSERT_EQ(bytes.size(), sizeof saved);
    memcpy(&saved, bytes.data(), sizeof saved);
    EXPECT_STREQ(saved.layout.positionPaths[0].path, "");
    EXPECT_STREQ(saved.layout.positionPaths[1].path, "C:\\first.bin");
    EXPECT_STREQ(saved.layoutPath, layout.c_str());
}

TEST_F(MainWindowTest, TitleShowsTheLayoutTailAndUnsavedChanges)
{
    struct Case {
        const char* layoutPath;
        const char* shown;
    } cases[] = {
        {"C:\\a\\b\\c\\d.t6layout", "b\\c\\d.t6layout"},
        {"C:\\d.t6layout", "C:\\d.t6layout"},
    };
    for (const Case& c : cases) {
        SettingsBlock settings = {};
        settings.settingsVersion = 2;
        snprintf(settings.layoutPath, sizeof settings.layoutPath, "%s", c.layoutPath);
        WriteSettings(settings);
        g_app.layoutModified = 0;
        Open(false);
        // The file is missing: the load fails, the path stays and is shown.
        EXPECT_EQ(Title(), std::string(kTitleStart) + "No Hardware - " + c.shown + " ");
        Command(IDM_MOVE_DOWN);
        EXPECT_EQ(Title(), std::string(kTitleStart) + "No Hardware - " + c.shown + "*");
        Close();
        ASSERT_EQ(g_app.mainWindow, nullptr);
    }
}

TEST_F(MainWindowTest, LogOptionWritesTheDeviceLogToAFile)
{
    std::string log = folder_ + "device.log";
    StartUpProgram(GetModuleHandleA(nullptr), ("/log \"" + log + "\"").c_str());
    Open();
    Close();
    ShutDownProgram();
    EXPECT_EQ(g_app.channel.logTarget, nullptr);
    std::string written = FileBytes(log);
    EXPECT_EQ(written.compare(0, 10, "KVSerial: "), 0) << written.substr(0, 200);
    EXPECT_NE(written.find("\r\n"), std::string::npos);
    StartUpProgram(GetModuleHandleA(nullptr), "/other");
    EXPECT_EQ(g_app.channel.logTarget, nullptr);
}

// settings.dat and the last layout file are read as untrusted: whatever they hold, the
// window comes up, shows what it could use and stays usable.
TEST_F(MainWindowTest, BadSettingsAndLayoutFilesStartAnEmptyOrPartialLayout)
{
    SettingsBlock good = {};
    good.settingsVersion = 2;
    good.allowSoftwarePositionSelection = 1;
    snprintf(good.layout.positionPaths[0].path, kPathFieldSize, "C:\\missing\\tune.bin");
    std::string goodBytes(reinterpret_cast<const char*>(&good), sizeof good);
    std::string newer = goodBytes;
    newer[0] = 3;
    struct Case {
        const char* name;
        std::string settings;
        const char* firstCell;
        bool selectorShown;
    } cases[] = {
        {"truncated", goodBytes.substr(0, 300), "C:\\missing\\tune.bin", false},
        {"newer", newer, "", false},
        {"garbage", std::string(sizeof good + 7, '\xA5'), "", false},
        {"good", goodBytes, "C:\\missing\\tune.bin", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteSettingsBytes(c.settings);
        Open(false);
        EXPECT_EQ(Cell(1, 1), c.firstCell);
        EXPECT_EQ(IsWindowVisible(Control(IDC_POSITION_SELECTOR)) != FALSE, c.selectorShown);
        EXPECT_EQ(Title(), std::string(kTitleStart) + "No Hardware -  ");
        EXPECT_EQ(asked, Asked{});
        Close();
    }

    // The last layout file, named by a good settings.dat.
    LayoutBlock layout = {};
    layout.layoutVersion = 1;
    snprintf(layout.positionPaths[0].path, kPathFieldSize, "C:\\gone\\a.bin");
    std::string layoutBytes(reinterpret_cast<const char*>(&layout), sizeof layout);
    std::string newerLayout = layoutBytes;
    newerLayout[0] = 2;
    std::string unterminated(sizeof layout, 'x');
    unterminated.replace(0, 4, std::string("\x01\0\0\0", 4));
    struct LayoutCase {
        const char* name;
        std::string bytes;
        const char* firstCell;
        Asked asked;
    } layouts[] = {
        {"truncated", layoutBytes.substr(0, sizeof layout - 1), "C:\\missing\\tune.bin", {}},
        {"newer", newerLayout, "C:\\missing\\tune.bin", {"box Incompatible Layout|Layout version is newer than is supported.|0x10"}},
        {"unterminated paths", unterminated, nullptr, {}},
        {"missing files", layoutBytes, "C:\\gone\\a.bin", {}},
    };
    for (const LayoutCase& c : layouts) {
        SCOPED_TRACE(c.name);
        std::string path = folder_ + "last.t6layout";
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.bytes;
        SettingsBlock settings = good;
        snprintf(settings.layoutPath, sizeof settings.layoutPath, "%s", path.c_str());
        WriteSettings(settings);
        asked.clear();
        Open(false);
        EXPECT_EQ(asked, c.asked);
        if (c.firstCell != nullptr)
            EXPECT_EQ(Cell(1, 1), c.firstCell);
        else
            EXPECT_EQ(Cell(1, 1).size(), size_t(kShortPathLength));
        // A file that is not there says so in the file info box.
        SelectRow(1);
        SendMessageA(Grid(), WM_KEYDOWN, VK_DOWN, 0);
        SendMessageA(Grid(), WM_KEYDOWN, VK_UP, 0);
        EXPECT_EQ(Text(IDC_FILE_INFO_BOX), "<Error opening file>");
        Close();
    }
}
