// The main window's own commands: arranging files in the grid, the software position,
// the extended positions, the layout commands, the About box, and every shortcut.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "app/command_state.h"
#include "app/hyperlink.h"
#include "app/prompts.h"
#include "device/chip.h"
#include "tests/app/main_window_fixture.h"
#include "tune/metadata.h"

namespace {

const char kBrowseDialog[] = "open Select File...|All Files (*.*);*.*|bin";
const char kLayoutOpenDialog[] = "open Select File...|Layout Files (*.t6layout);*.t6layout|t6layout";
const char kLayoutSaveDialog[] = "save Select File...|Layout Files (*.t6layout);*.t6layout|t6layout";
const char kSaveQuestion[] = "box Save Layout?|Layout Modified, Save?|0x33";

SettingsBlock LayoutSettings(std::initializer_list<const char*> paths)
{
    SettingsBlock settings = {};
    settings.settingsVersion = 2;
    int i = 0;
    for (const char* path : paths)
        snprintf(settings.layout.positionPaths[i++].path, kPathFieldSize, "%s", path);
    return settings;
}

std::string Stored(int position)
{
    return g_settings.layout.positionPaths[position].path;
}

// The last frame of a kind in the simulator's trace, and whether the device took it.
std::string LastFrame(const char* start, bool* acknowledged)
{
    return ::LastFrame(ReadSimTraceFile(), start, acknowledged);
}

} // namespace

TEST_F(MainWindowTest, MovesBrowsesAndTypedNamesChangeTheLayout)
{
    WriteSettings(LayoutSettings({"C:\\t\\zero.bin", "C:\\t\\one.bin", "", "", "", "", "", "C:\\t\\seven.bin"}));
    Open(false);
    // Texts the program sets itself (the layout shown at start) do not count as edits.
    EXPECT_EQ(g_app.layoutModified, 0u);

    // Nothing moves past the first or the last shown row, although the layout has 16 entries.
    SelectRow(1);
    Command(IDC_MOVE_UP);
    SelectRow(8);
    g_settings.layout.positionPaths[8] = g_settings.layout.positionPaths[7];
    Command(IDC_MOVE_DOWN);
    EXPECT_EQ(g_app.layoutModified, 0u);
    EXPECT_EQ(CurrentRow(), 8);

    SelectRow(1);
    Command(IDC_MOVE_DOWN);
    EXPECT_EQ(Cell(1, 1), "C:\\t\\one.bin");
    EXPECT_EQ(Cell(2, 1), "C:\\t\\zero.bin");
    EXPECT_EQ(Stored(0), "C:\\t\\one.bin");
    EXPECT_EQ(Stored(1), "C:\\t\\zero.bin");
    EXPECT_EQ(CurrentRow(), 2);
    EXPECT_EQ(g_app.layoutModified, 1u);
    EXPECT_EQ(Title().back(), '*');
    SelectRow(8);
    Command(IDC_MOVE_UP);
    EXPECT_EQ(Stored(6), "C:\\t\\seven.bin");
    EXPECT_EQ(Cell(7, 1), "C:\\t\\seven.bin");
    EXPECT_EQ(CurrentRow(), 7);

    // Browsing: a cancelled dialog changes nothing; a chosen file goes into the row.
    g_app.layoutModified = 0;
    SelectRow(3);
    dialogAnswers = {""};
    Command(IDC_BROWSE);
    EXPECT_EQ(Stored(2), "");
    EXPECT_EQ(g_app.layoutModified, 0u);
    std::string tune = TuneFile("a tune file with a name long enough to be shortened.bin", "C:\\orig.bin");
    dialogAnswers = {tune};
    Command(IDC_BROWSE);
    EXPECT_EQ(asked, (Asked{kBrowseDialog, kBrowseDialog}));
    EXPECT_EQ(Stored(2), tune);
    EXPECT_EQ(Cell(3, 1), Shortened(tune));
    EXPECT_EQ(g_app.layoutModified, 1u);
    EXPECT_EQ(Text(IDC_FILE_INFO_BOX).rfind("Version: v7\r\n\r\nSummary: ", 0), 0u) << Text(IDC_FILE_INFO_BOX);

    // A name typed into a cell: the grid's own editing, through the message loop.
    g_app.layoutModified = 0;
    SetFocus(Grid());
    SelectRow(4);
    for (char c : std::string("C:\\typed.bin"))
        Char(c);
    Key(VK_RETURN);
    Pump();
    EXPECT_EQ(Stored(3), "C:\\typed.bin");
    EXPECT_EQ(g_app.layoutModified, 1u);
    EXPECT_EQ(CurrentRow(), 5);
    // Moving onto a row shows both info boxes for it.
    Key(VK_UP);
    EXPECT_EQ(Text(IDC_FILE_INFO_BOX), "<Error opening file>");
    EXPECT_EQ(Text(IDC_DEVICE_INFO_BOX), "<Unrecognized metadata>");
}

// The selector talks to the device from the window's thread; a request the device did not
// take is reported as such.
TEST_F(MainWindowTest, SoftwarePositionSelectsTheDevicesBankAndChip)
{
    SettingsBlock settings = {};
    settings.settingsVersion = 2;
    settings.allowSoftwarePositionSelection = 1;
    WriteSettings(settings);
    Open();
    EXPECT_TRUE(IsWindowVisible(Control(IDC_POSITION_SELECTOR)));
    EXPECT_TRUE(IsWindowVisible(Control(IDC_POSITION_SELECTOR_LABEL)));
    EXPECT_TRUE(MenuState(IDM_ALLOW_SOFTWARE_POSITION, MF_CHECKED));

    bool taken = false;
    ChooseSelectorEntry("3");
    EXPECT_EQ(LastFrame("> 38 53", &taken).substr(0, 11), "> 38 53 03 ");
    EXPECT_TRUE(taken);
    EXPECT_EQ(LastFrame("> 38 4D", &taken).substr(0, 11), "> 38 4D 59 ");
    EXPECT_TRUE(taken);
    EXPECT_EQ(CurrentRow(), 4);
    EXPECT_EQ(SendMessageA(Grid(), GCM_GETCURCOL, 0, 0), 2);
    ChooseSelectorEntry("Chip Off");
    EXPECT_EQ(LastFrame("> 38 4D", &taken).substr(0, 11), "> 38 4D 4E ");
    EXPECT_TRUE(taken);
    size_t frames = ReadSimTraceFile().size();
    ChooseSelectorEntry("Unknown");
    EXPECT_EQ(ReadSimTraceFile().size(), frames);

    // The device gone: the request fails and the status box says so.
    g_app.channel.ClosePort();
    ChooseSelectorEntry("5");
    ChooseSelectorEntry("Chip Off");
    EXPECT_EQ(Text(IDC_STATUS_BOX), "Hardware ready.\r\nOrrery Programmer v1.5.Z\r\nPosition 3 selected\r\n"
                                    "Chip Off selected\r\nPosition 5 could not be selected.\r\n"
                                    "Chip Off could not be selected.");
    EXPECT_EQ(ReadSimTraceFile().size(), frames);

    Command(IDM_ALLOW_SOFTWARE_POSITION);
    EXPECT_EQ(g_settings.allowSoftwarePositionSelection, 0u);
    EXPECT_FALSE(IsWindowVisible(Control(IDC_POSITION_SELECTOR)));
    EXPECT_FALSE(MenuState(IDM_ALLOW_SOFTWARE_POSITION, MF_CHECKED));
}

TEST_F(MainWindowTest, ExtendedPositionsShowWhatTheTablesHoldForPositions8ToF)
{
    Open();
    // What a layout load and a query left for the extended positions while 8 were shown.
    snprintf(g_settings.layout.positionPaths[9].path, kPathFieldSize, "C:\\nine.bin");
    TuneMetadata& record = g_app.deviceMetadata[12];
    StampMetadata(&record, "C:\\on the device\\twelve.bin", 0x40000, 0xFFFFFFFF);

    Command(IDM_VIEW_EXTENDED);
    HWND grid = Grid();
    EXPECT_EQ(SendMessageA(grid, GCM_GETROWCOUNT, 0, 0), 16);
    EXPECT_TRUE(MenuState(IDM_VIEW_EXTENDED, MF_CHECKED));
    EXPECT_EQ(Cell(10, 1), "C:\\nine.bin");
    EXPECT_EQ(Cell(13, 2), "C:\\on the device\\twelve.bin");
    for (int row = 9; row <= 16; ++row) {
        EXPECT_EQ(Cell(row, 0), std::string(1, "0123456789ABCDEF"[row - 1]));
        EXPECT_EQ(SendMessageA(grid, GCM_GETCELLBKCOLOR, MAKELONG(row, 1), 0), 0xE6FFFF);
        EXPECT_EQ(SendMessageA(grid, GCM_GETCELLBKCOLOR, MAKELONG(row, 2), 0), 0xE6FFFF);
        EXPECT_NE(SendMessageA(grid, GCM_GETREADONLY, MAKELONG(row, 2), 0), 0);
    }
    EXPECT_EQ(SelectorEntries().size(), 18u);
    EXPECT_EQ(SelectorEntries()[15], "F=15");
    // A search in the 16-position view leaves the selector on "Unknown", and the device
    // content shows what the device holds now: a record put into position 2 meanwhile.
    TuneMetadata onDevice[2];
    memset(onDevice, 0xFF, sizeof onDevice);
    StampMetadata(&onDevice[0], "C:\\written\\two.bin", 0x40000, 0xFFFFFFFF);
    ASSERT_EQ(WriteChip(g_app.channel, reinterpret_cast<const uint8_t*>(onDevice), kChipT6ViaOrrery,
                        2 * 0x40000 + kMetadataOffset, 1024, nullptr),
              CW_S_OK);
    Command(IDC_QUERY_DEVICE);
    ASSERT_TRUE(WaitForQuery());
    EXPECT_EQ(SelectorCurrent(), "Unknown");
    EXPECT_EQ(Cell(3, 2), "C:\\written\\two.bin");
    EXPECT_EQ(Cell(13, 2), "");
    SelectRow(3);
    Command(IDC_POSITION_GRID, GCN_SELCHANGE, MAKELONG(3, 1));
    EXPECT_NE(Text(IDC_DEVICE_INFO_BOX).find("Original Filepath: C:\\written\\two.bin"), std::string::npos)
        << Text(IDC_DEVICE_INFO_BOX);

    // Back to 8 is refused while the device shows an extended position.
    ChooseSelectorEntry("A");
    Command(IDM_VIEW_EXTENDED);
    EXPECT_EQ(asked, Asked{"box User Input Required|An extended position is currently active. Please switch to a "
                           "position between 0 and 7 or select \x91"
                           "Chip Off\x92 before disabling extended positions.|0x40"});
    EXPECT_EQ(SendMessageA(grid, GCM_GETROWCOUNT, 0, 0), 16);
    ChooseSelectorEntry("Chip Off");
    Command(IDM_VIEW_EXTENDED);
    EXPECT_EQ(SendMessageA(grid, GCM_GETROWCOUNT, 0, 0), 8);
    EXPECT_EQ(SelectorCurrent(), "Chip Off");
    EXPECT_EQ(SelectorEntries().size(), 10u);
    EXPECT_FALSE(MenuState(IDM_VIEW_EXTENDED, MF_CHECKED));
    EXPECT_EQ(Stored(9), "C:\\nine.bin");
}

TEST_F(MainWindowTest, LayoutCommandsAskAndShowInTheWindow)
{
    WriteSettings(LayoutSettings({"C:\\t\\zero.bin"}));
    Open(false);
    std::string first = folder_ + "first.t6layout";
    std::string second = folder_ + "second.t6layout";

    // Saving with no layout file yet asks for one; cancelling leaves the layout modified.
    Command(IDM_MOVE_DOWN);
    dialogAnswers = {""};
    Command(IDM_SAVE_LAYOUT);
    EXPECT_EQ(g_app.layoutModified, 1u);
    dialogAnswers = {first};
    Command(IDM_SAVE_LAYOUT_AS);
    EXPECT_EQ(g_app.layoutModified, 0u);
    EXPECT_EQ(Title().substr(Title().size() - 16), "\\first.t6layout ");
    Command(IDM_CLEAR_LAYOUT);
    EXPECT_EQ(Cell(2, 1), "");
    dialogAnswers = {second};
    Command(IDM_SAVE_LAYOUT_AS);
    EXPECT_EQ(asked, (Asked{kLayoutSaveDialog, kLayoutSaveDialog, kLayoutSaveDialog}));

    // Loading over a modified layout: Cancel keeps it, No drops it, Yes saves it first.
    asked.clear();
    snprintf(g_settings.layout.positionPaths[5].path, kPathFieldSize, "C:\\changed.bin");
    g_app.layoutModified = 1;
    boxAnswers = {IDCANCEL};
    Command(IDM_LOAD_LAYOUT);
    EXPECT_EQ(Stored(5), "C:\\changed.bin");
    boxAnswers = {IDNO};
    dialogAnswers = {first};
    Command(IDM_LOAD_LAYOUT);
    EXPECT_EQ(Cell(2, 1), "C:\\t\\zero.bin");
    EXPECT_EQ(Stored(5), "");
    EXPECT_EQ(g_app.layoutModified, 0u);
    EXPECT_EQ(std::string(g_settings.layoutPath), first);
    snprintf(g_settings.layout.positionPaths[5].path, kPathFieldSize, "C:\\changed.bin");
    g_app.layoutModified = 1;
    boxAnswers = {IDYES};
    dialogAnswers = {second};
    Command(IDM_LOAD_LAYOUT);
    EXPECT_EQ(Cell(2, 1), "");
    EXPECT_EQ(asked, (Asked{kSaveQuestion, kSaveQuestion, kLayoutOpenDialog, kSaveQuestion, kLayoutOpenDialog}));
    LayoutBlock saved = {};
    std::ifstream(first, std::ios::binary).read(reinterpret_cast<char*>(&saved), sizeof saved);
    EXPECT_STREQ(saved.positionPaths[5].path, "C:\\changed.bin");
}

// The shortcuts go through the message loop's accelerator step, so they work whichever
// control has the focus; the typed "+" moves the selection rather than being typed.
TEST_F(MainWindowTest, ShortcutsWorkWhereverTheFocusIs)
{
    WriteSettings(LayoutSettings({"C:\\a.bin", "C:\\b.bin", "C:\\c.bin"}));
    Open(false);
    for (int focus : {IDC_POSITION_GRID, IDC_FILE_INFO_BOX}) {
        SCOPED_TRACE(focus);
        SetFocus(Control(focus));
        ASSERT_EQ(GetFocus(), Control(focus));
        SelectRow(2);
        Key(VK_OEM_MINUS, true);
        EXPECT_EQ(CurrentRow(), 3);
        Key(VK_OEM_PLUS, true);
        EXPECT_EQ(CurrentRow(), 2);
        Key(VK_INSERT);
        EXPECT_EQ(CurrentRow(), 3);
        Char('+');
        EXPECT_EQ(CurrentRow(), 2);
        EXPECT_EQ(Cell(2, 1), "C:\\b.bin");
        EXPECT_EQ(Cell(3, 1), "C:\\c.bin");

        asked.clear();
        g_app.layoutModified = 0;
        Key('B', true);
        Key('L', true);
        Key('S', true);
        Key('S', true, true);
        EXPECT_EQ(asked, (Asked{kBrowseDialog, kLayoutOpenDialog, kLayoutSaveDialog, kLayoutSaveDialog}));
        for (char c : {'/', '?'}) {
            BoxAnswerer about("About", "Close");
            AltChar(c);
            about.Join();
            EXPECT_TRUE(about.found()) << "Alt+" << c;
        }
        Key('Q', true);
        EXPECT_TRUE(IsJobRunning());
        ASSERT_TRUE(WaitForQuery());
    }
}

TEST_F(MainWindowTest, AboutBoxLinkTurnsVisitedWhenClicked)
{
    Open(false);
    std::string address;
    COLORREF before = 0;
    COLORREF after = 0;
    BoxAnswerer about("About", "Close", [&](HWND box) {
        HWND link = GetDlgItem(box, IDC_SUPPORT_LINK);
        char text[200] = "";
        GetWindowTextA(link, text, sizeof text);
        address = text;
        before = HyperlinkColour(link);
        PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        for (int i = 0; i < 200 && HyperlinkColour(link) == before; ++i)
            Sleep(10);
        after = HyperlinkColour(link);
    });
    Command(IDM_ABOUT);
    about.Join();
    ASSERT_TRUE(about.found());
    EXPECT_EQ(before, COLORREF(0xFF0000));
    EXPECT_EQ(after, COLORREF(0x800080));
    EXPECT_FALSE(address.empty());
    EXPECT_EQ(asked, Asked{"url mailto:" + address});
}
