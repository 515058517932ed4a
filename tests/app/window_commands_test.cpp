// The main window's own commands: arranging files in the grid, every kind of shortcut, the
// About link, the layout commands' dialogs and questions, closing with a modified layout,
// the software position and the extended positions.
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "app/command_state.h"
#include "app/hyperlink.h"
#include "tests/app/main_window_fixture.h"
#include "tune/metadata.h"

namespace {

const char kBrowseDialog[] = "open Select File...|All Files (*.*);*.*|bin";
const char kLayoutOpenDialog[] = "open Select File...|Layout Files (*.t6layout);*.t6layout|t6layout";
const char kLayoutSaveDialog[] = "save Select File...|Layout Files (*.t6layout);*.t6layout|t6layout";
const char kSaveQuestion[] = "box Save Layout?|Layout Modified, Save?|0x33";

std::string Stored(int position)
{
    return g_settings.layout.positionPaths[position].path;
}

} // namespace

// Moves, browsing and typing change the row and the layout together and mark it modified;
// the shortcuts go through the message loop's accelerator step whichever control has the
// focus. (Which answer loads or keeps what: the native layout command tests.)
TEST_F(MainWindowTest, ArrangingFilesAndLayoutsByCommandsDialogsAndShortcuts)
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
    Command(IDC_MOVE_UP);
    EXPECT_EQ(Shown(7) + "|" + Shown(8), "C:\\t\\seven.bin|");
    EXPECT_EQ(CurrentRow(), 7);
    EXPECT_EQ(g_app.layoutModified, 1u);

    // Browsing: a cancelled dialog changes nothing; a chosen file goes into the row.
    g_app.layoutModified = 0;
    SelectRow(3);
    dialogAnswers = {""};
    Command(IDC_BROWSE);
    EXPECT_EQ(g_app.layoutModified, 0u);
    const std::string tune = folder_ + "a tune whose name is longer than a grid cell shows.bin";
    WriteBytes(tune, Pattern(0x40000, 1));
    dialogAnswers = {tune};
    Command(IDC_BROWSE);
    EXPECT_EQ(asked, (Asked{kBrowseDialog, kBrowseDialog}));
    EXPECT_EQ(Shown(3), Shortened(tune));
    EXPECT_EQ(g_app.layoutModified, 1u);
    EXPECT_EQ(Text(IDC_FILE_INFO_BOX), "<no metadata found>");

    // A name typed into a cell: the grid's own editing, through the message loop.
    g_app.layoutModified = 0;
    SetFocus(Grid());
    SelectRow(4);
    for (char c : std::string("C:\\typed.bin"))
        Char(c);
    Key(VK_RETURN);
    Pump();
    EXPECT_EQ(Shown(4), "C:\\typed.bin");
    EXPECT_EQ(g_app.layoutModified, 1u);
    EXPECT_EQ(CurrentRow(), 5);

    // A typed "+" moves the selection rather than being typed.
    const std::string rows = Shown(2) + "|" + Shown(3);
    for (int focus : {IDC_POSITION_GRID, IDC_FILE_INFO_BOX}) {
        SetFocus(Control(focus));
        ASSERT_EQ(GetFocus(), Control(focus));
        SelectRow(2);
        Key(VK_OEM_MINUS, true);
        EXPECT_EQ(CurrentRow(), 3) << focus;
        Key(VK_OEM_PLUS, true);
        EXPECT_EQ(CurrentRow(), 2) << focus;
        Key(VK_INSERT);
        EXPECT_EQ(CurrentRow(), 3) << focus;
        Char('+');
        EXPECT_EQ(CurrentRow(), 2) << focus;
        EXPECT_EQ(Shown(2) + "|" + Shown(3), rows) << focus;
    }
    // Alt+/ opens the About box, whose link opens the mail address and turns visited.
    std::string address;
    COLORREF before = 0, after = 0;
    std::thread about([&] {
        HWND box = WaitForWindow("About", IDC_SUPPORT_LINK);
        if (box == nullptr)
            return;
        HWND link = GetDlgItem(box, IDC_SUPPORT_LINK);
        before = HyperlinkColour(link);
        PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        WaitUntil([&] { return HyperlinkColour(link) != before; }, 2000);
        after = HyperlinkColour(link);
        address = ControlText(box, IDC_SUPPORT_LINK);
        PressButton(box, IDOK);
    });
    asked.clear();
    AltChar('/');
    about.join();
    EXPECT_EQ(before, COLORREF(0xFF0000));
    EXPECT_EQ(after, COLORREF(0x800080));
    Key('B', true);
    EXPECT_EQ(asked, (Asked{"url mailto:" + address, kBrowseDialog}));

    // The layout commands: their dialogs, questions and grid.
    const std::string first = folder_ + "first.t6layout", arranged = Shown(2);
    asked.clear();
    dialogAnswers = {first};
    Command(IDM_SAVE_LAYOUT_AS);
    EXPECT_EQ(g_app.layoutModified, 0u);
    EXPECT_EQ(Title().substr(Title().size() - 16), "\\first.t6layout ");
    Command(IDM_CLEAR_LAYOUT);
    EXPECT_EQ(Shown(2), "");
    g_app.layoutModified = 1;
    boxAnswers = {IDNO};
    dialogAnswers = {first};
    Command(IDM_LOAD_LAYOUT);
    EXPECT_EQ(Shown(2), arranged);
    // A layout file of a newer version is refused with a message, the layout kept.
    Bytes newer = ReadBytes(first);
    newer[0] = 2;
    WriteBytes(folder_ + "newer.t6layout", newer);
    dialogAnswers = {folder_ + "newer.t6layout"};
    Command(IDM_LOAD_LAYOUT);
    EXPECT_EQ(Shown(2), arranged);

    // Closing with the layout modified: Cancel keeps the window, Yes saves and closes, and
    // settings.dat has the layout as it stood.
    SelectRow(2);
    Command(IDC_MOVE_UP);
    boxAnswers = {IDCANCEL, IDYES};
    Command(IDCANCEL);
    ASSERT_NE(g_app.mainWindow, nullptr);
    const Bytes layout = BytesOf(g_settings.layout);
    Command(IDCANCEL);
    EXPECT_EQ(g_app.mainWindow, nullptr);
    EXPECT_EQ(asked, (Asked{kLayoutSaveDialog, kSaveQuestion, kLayoutOpenDialog, kLayoutOpenDialog,
                            "box Incompatible Layout|Layout version is newer than is supported.|0x10",
                            kSaveQuestion, kSaveQuestion}));
    EXPECT_EQ(ReadBytes(first), layout);
    SettingsBlock kept;
    ASSERT_EQ(ReadSettingsFile(settingsPath_.c_str(), &kept), 1);
    EXPECT_EQ(BytesOf(kept.layout), layout);
    EXPECT_STREQ(kept.layoutPath, first.c_str());
}

// A selector request the device does not take is reported as such (requests it takes: the
// end-to-end tests). The extended positions show what the tables hold for 8 to F.
TEST_F(MainWindowTest, SoftwarePositionAndExtendedPositions)
{
    SettingsBlock settings = LayoutSettings({});
    settings.allowSoftwarePositionSelection = 1;
    WriteSettings(settings);
    Open();
    EXPECT_TRUE(MenuState(IDM_ALLOW_SOFTWARE_POSITION, MF_CHECKED));
    // The device gone: "Unknown" asks nothing, the others fail and say so; the grid moves
    // to the chosen position all the same.
    g_app.channel.ClosePort();
    for (const char* entry : {"Unknown", "5", "Chip Off"})
        ChooseSelectorEntry(entry);
    EXPECT_EQ(Text(IDC_STATUS_BOX), "Hardware ready.\r\nOrrery Programmer v1.5.Z\r\n"
                                    "Position 5 could not be selected.\r\nChip Off could not be selected.");
    EXPECT_EQ(CurrentRow(), 6);
    EXPECT_EQ(SendMessageA(Grid(), GCM_GETCURCOL, 0, 0), 2);
    Command(IDC_QUERY_DEVICE);
    ASSERT_TRUE(WaitForQuery());

    // What a layout load and a query left for the extended positions while 8 were shown.
    snprintf(g_settings.layout.positionPaths[9].path, kPathFieldSize, "C:\\nine.bin");
    StampMetadata(&g_app.deviceMetadata[12], "C:\\on the device\\twelve.bin", 0x40000, 0xFFFFFFFF);
    Command(IDM_VIEW_EXTENDED);
    HWND grid = Grid();
    EXPECT_EQ(SendMessageA(grid, GCM_GETROWCOUNT, 0, 0), 16);
    EXPECT_TRUE(MenuState(IDM_VIEW_EXTENDED, MF_CHECKED));
    EXPECT_EQ(Cell(10, 1), "C:\\nine.bin");
    EXPECT_EQ(Cell(13, 2), "C:\\on the device\\twelve.bin");
    for (int row = 9; row <= 16; ++row) {
        EXPECT_EQ(Cell(row, 0), std::string(1, "0123456789ABCDEF"[row - 1]));
        EXPECT_EQ(SendMessageA(grid, GCM_GETCELLBKCOLOR, MAKELONG(row, 1), 0), 0xE6FFFF);
        EXPECT_NE(SendMessageA(grid, GCM_GETREADONLY, MAKELONG(row, 2), 0), 0);
    }
    // A search in the 16-position view leaves the selector on "Unknown" and shows what the
    // device holds in all 16 rows.
    Command(IDC_QUERY_DEVICE);
    ASSERT_TRUE(WaitForQuery());
    EXPECT_EQ(Selector(), "Unknown/18");
    EXPECT_EQ(Cell(13, 2), "");

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
    EXPECT_EQ(Selector(), "Chip Off/10");
    EXPECT_FALSE(MenuState(IDM_VIEW_EXTENDED, MF_CHECKED));
    EXPECT_EQ(Stored(9), "C:\\nine.bin");

    Command(IDM_ALLOW_SOFTWARE_POSITION);
    EXPECT_EQ(g_settings.allowSoftwarePositionSelection, 0u);
    EXPECT_FALSE(IsWindowVisible(Control(IDC_POSITION_SELECTOR)));
    EXPECT_FALSE(MenuState(IDM_ALLOW_SOFTWARE_POSITION, MF_CHECKED));
}
