// The main window's own commands: arranging files in the grid, its two dialogs, every kind
// of shortcut, the About link, the software position, the extended positions, the layout
// commands and closing with a modified layout.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/command_state.h"
#include "app/hyperlink.h"
#include "device/chip.h"
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

// The first bytes of the last frame of a kind in the simulator's trace, with " taken" when
// the device acknowledged it.
std::string LastFrame(const char* start)
{
    bool taken = false;
    const std::string frame = ::LastFrame(ReadSimTraceFile(), start, &taken);
    return frame.substr(0, 10) + (taken ? " taken" : "");
}

LayoutBlock LayoutIn(const std::string& path)
{
    LayoutBlock block = {};
    const Bytes bytes = ReadBytes(path);
    memcpy(&block, bytes.data(), std::min(bytes.size(), sizeof block));
    return block;
}

} // namespace

TEST_F(MainWindowTest, ArrangingFilesByCommandsDialogsAndShortcuts)
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
    EXPECT_EQ(Cell(1, 1) + "|" + Cell(2, 1), "C:\\t\\one.bin|C:\\t\\zero.bin");
    EXPECT_EQ(Stored(0) + "|" + Stored(1), "C:\\t\\one.bin|C:\\t\\zero.bin");
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
    const std::string tune = TuneFile("tune.bin", "C:\\orig.bin");
    dialogAnswers = {tune};
    Command(IDC_BROWSE);
    EXPECT_EQ(asked, (Asked{kBrowseDialog, kBrowseDialog}));
    EXPECT_EQ(Stored(2), tune);
    EXPECT_EQ(Cell(3, 1), Shortened(tune));
    EXPECT_EQ(g_app.layoutModified, 1u);
    EXPECT_EQ(Text(IDC_FILE_INFO_BOX).rfind("Version: v7\r\n\r\nSummary: ", 0), 0u) << Text(IDC_FILE_INFO_BOX);

    // Edit File Info on that row: the editor, answered for real, saves the file under a
    // new name, which the row takes.
    const std::string edited = folder_ + "a name long enough to be shortened in the grid, edited.bin";
    g_app.layoutModified = 0;
    std::string shownVersion;
    std::thread editor([&] {
        HWND dialog = WaitForWindow("Tune File Metadata Editor", IDC_EDITOR_VERSION);
        if (dialog == nullptr)
            return;
        shownVersion = ControlText(dialog, IDC_EDITOR_VERSION);
        SetDlgItemTextA(dialog, IDC_EDITOR_SUMMARY, "edited");
        PressButton(dialog, IDOK);
        HWND save = WaitForWindow("Choose output file...", 1148);
        if (save == nullptr)
            return CloseEveryDialog();
        SendMessageA(GetDlgItem(save, 1148), WM_SETTEXT, 0, LPARAM(edited.c_str()));
        PressButton(save, IDOK);
    });
    Command(IDC_EDIT_FILE_INFO);
    editor.join();
    EXPECT_EQ(shownVersion, "v7");
    EXPECT_EQ(Stored(2), edited);
    EXPECT_EQ(Cell(3, 1), Shortened(edited));
    EXPECT_EQ(Text(IDC_FILE_INFO_BOX).rfind("Version: v7\r\n\r\nSummary: edited\r\n", 0), 0u)
        << Text(IDC_FILE_INFO_BOX);
    EXPECT_EQ(g_app.layoutModified, 1u);
    // Help > Check Internet for Update opens its dialog owned by the window.
    std::string updateStatus;
    HWND updateOwner = nullptr;
    std::thread update = AnswerBox("Check For Updates", IDCANCEL, &updateStatus,
                                   [&updateOwner](HWND dialog) { updateOwner = GetWindow(dialog, GW_OWNER); });
    Command(IDM_CHECK_UPDATE);
    update.join();
    EXPECT_EQ(updateOwner, static_cast<HWND>(g_app.mainWindow));

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

    // Each kind of shortcut goes through the message loop's accelerator step, whichever
    // control has the focus: a typed "+" moves the selection rather than being typed.
    const std::string rows = Cell(2, 1) + "|" + Cell(3, 1);
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
        EXPECT_EQ(Cell(2, 1) + "|" + Cell(3, 1), rows);
        // Alt+/ opens the About box, whose link opens the mail address and turns visited.
        std::string address, label;
        COLORREF before = 0, after = 0;
        asked.clear();
        std::thread about = AnswerBox("About", IDOK, &label, [&](HWND box) {
            HWND link = GetDlgItem(box, IDC_SUPPORT_LINK);
            before = HyperlinkColour(link);
            PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
            PostMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
            WaitUntil([&] { return HyperlinkColour(link) != before; }, 2000);
            after = HyperlinkColour(link);
            address = ControlText(box, IDC_SUPPORT_LINK);
        });
        AltChar('/');
        about.join();
        EXPECT_EQ(before, COLORREF(0xFF0000));
        EXPECT_EQ(after, COLORREF(0x800080));
        EXPECT_EQ(asked, Asked{"url mailto:" + address});
    }
    asked.clear();
    Key('B', true);
    EXPECT_EQ(asked, Asked{kBrowseDialog});
}

// The selector talks to the device from the window's thread; a request the device did not
// take is reported as such. The extended positions show what the tables hold for 8 to F.
TEST_F(MainWindowTest, SoftwarePositionAndExtendedPositions)
{
    SettingsBlock settings = LayoutSettings({});
    settings.allowSoftwarePositionSelection = 1;
    WriteSettings(settings);
    Open();
    EXPECT_TRUE(IsWindowVisible(Control(IDC_POSITION_SELECTOR)));
    EXPECT_TRUE(IsWindowVisible(Control(IDC_POSITION_SELECTOR_LABEL)));
    EXPECT_TRUE(MenuState(IDM_ALLOW_SOFTWARE_POSITION, MF_CHECKED));

    ChooseSelectorEntry("3");
    EXPECT_EQ(LastFrame("> 38 53"), "> 38 53 03 taken");
    EXPECT_EQ(LastFrame("> 38 4D"), "> 38 4D 59 taken");
    EXPECT_EQ(CurrentRow(), 4);
    EXPECT_EQ(SendMessageA(Grid(), GCM_GETCURCOL, 0, 0), 2);
    ChooseSelectorEntry("Chip Off");
    EXPECT_EQ(LastFrame("> 38 4D"), "> 38 4D 4E taken");
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

    Command(IDM_ALLOW_SOFTWARE_POSITION);
    EXPECT_EQ(g_settings.allowSoftwarePositionSelection, 0u);
    EXPECT_FALSE(IsWindowVisible(Control(IDC_POSITION_SELECTOR)));
    EXPECT_FALSE(MenuState(IDM_ALLOW_SOFTWARE_POSITION, MF_CHECKED));
}

// The window's side of the layout commands: its dialogs, questions and grid. (Which answer
// loads or keeps what: the native layout command tests.)
TEST_F(MainWindowTest, LayoutCommandsAndClosingAskAndShowInTheWindow)
{
    WriteSettings(LayoutSettings({"C:\\t\\zero.bin"}));
    Open(false);
    const std::string first = folder_ + "first.t6layout", second = folder_ + "second.t6layout";

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

    // Loading over a modified layout asks first; Yes saves it, then the chosen file loads.
    snprintf(g_settings.layout.positionPaths[5].path, kPathFieldSize, "C:\\changed.bin");
    g_app.layoutModified = 1;
    boxAnswers = {IDYES};
    dialogAnswers = {first};
    Command(IDM_LOAD_LAYOUT);
    EXPECT_EQ(Cell(2, 1), "C:\\t\\zero.bin");
    EXPECT_EQ(Stored(5), "");
    EXPECT_STREQ(LayoutIn(second).positionPaths[5].path, "C:\\changed.bin");
    // A layout file of a newer version is refused with a message, the layout kept.
    Bytes newer = ReadBytes(first);
    newer[0] = 2;
    WriteBytes(folder_ + "newer.t6layout", newer);
    dialogAnswers = {folder_ + "newer.t6layout"};
    Command(IDM_LOAD_LAYOUT);
    EXPECT_EQ(Cell(2, 1), "C:\\t\\zero.bin");

    // Closing with the layout modified: Cancel keeps the window, Yes saves and closes, and
    // settings.dat has the layout as it stood.
    SelectRow(2);
    Command(IDC_MOVE_UP);
    boxAnswers = {IDCANCEL};
    Command(IDCANCEL);
    ASSERT_NE(g_app.mainWindow, nullptr);
    boxAnswers = {IDYES};
    Command(IDCANCEL);
    EXPECT_EQ(g_app.mainWindow, nullptr);
    EXPECT_EQ(asked, (Asked{kLayoutSaveDialog, kLayoutSaveDialog, kLayoutSaveDialog, kSaveQuestion,
                            kLayoutOpenDialog, kLayoutOpenDialog,
                            "box Incompatible Layout|Layout version is newer than is supported.|0x10",
                            kSaveQuestion, kSaveQuestion}));
    const LayoutBlock saved = LayoutIn(first);
    EXPECT_STREQ(saved.positionPaths[0].path, "C:\\t\\zero.bin");
    SettingsBlock kept = {};
    const std::string bytes = ReadSettingsBytes();
    ASSERT_EQ(bytes.size(), sizeof kept);
    memcpy(&kept, bytes.data(), sizeof kept);
    EXPECT_EQ(BytesOf(kept.layout), BytesOf(saved));
    EXPECT_STREQ(kept.layoutPath, first.c_str());
}
