// The main window from start to close without hardware: initialisation with the device
// log and the last layout file, arranging files in the grid (also by dropping them on it),
// every kind of shortcut, the About link, the layout commands' dialogs and questions, and
// closing.
#include <shlobj.h>

#include <string>
#include <thread>

#include "app/hyperlink.h"
#include "app/main_title.h"
#include "tests/app/main_window_fixture.h"
#include "t6_version.h"
#include "tune/metadata.h"

namespace {

const char kBrowseDialog[] = "open Select File...|All Files (*.*);*.*|bin";
const char kSaveQuestion[] = "box Save Layout?|Layout Modified, Save?|0x33";
const char kBusy[] = "box Device Busy|A device operation is still running. Please wait until it has finished.|0x40";

// A drop as Explorer hands it over: a DROPFILES block in global memory, the point in the
// receiver's client area, then the ANSI names, each ended by a NUL, and one more NUL. The
// window finishes (frees) the handle.
void DropFiles(HWND receiver, POINT point, const std::vector<std::string>& names)
{
    std::string list;
    for (const std::string& name : names)
        list += name + '\0';
    list += '\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size());
    ASSERT_NE(memory, nullptr);
    DROPFILES* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = point;
    drop->fNC = FALSE;
    drop->fWide = FALSE;
    memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(memory);
    SendMessageA(receiver, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

// The middle of a window, or of a grid row's file cell, in the client area of `in`.
POINT Middle(HWND window, HWND in, int gridRow = 0)
{
    RECT rect = {};
    if (gridRow > 0)
        SendMessageA(window, GCM_GETCELLRECT, MAKELONG(gridRow, 1), reinterpret_cast<LPARAM>(&rect));
    else
        GetClientRect(window, &rect);
    POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    MapWindowPoints(window, in, &point, 1);
    return point;
}

} // namespace

// The grid and the selector are set up and only Query is enabled until the first search
// ends; the option and the last layout file come back from settings.dat, the file loading
// over the layout kept there. Moves, browsing and typing change the row and the layout
// together and mark it modified; the shortcuts go through the message loop's accelerator
// step whichever control has the focus. Closing while a job runs would end the process in
// the middle of a transfer: it is refused until the job has finished. (Which answer loads
// or keeps what: the native layout command tests.)
TEST_F(MainWindowTest, FromStartToCloseWithoutHardware)
{
    const std::string folder = folder_ + "a\\b\\c\\", log = folder_ + "device.log";
    std::filesystem::create_directories(folder);
    const std::vector<std::string> files = {"C:\\t\\zero.bin", "C:\\t\\one.bin", "", "", "", "", "", "C:\\t\\seven.bin"};
    WriteBytes(folder + "d.t6layout", BytesOf(LayoutSettings(files).layout));
    SettingsBlock settings = LayoutSettings({"C:\\missing\\0.bin", "C:\\missing\\1.bin", "C:\\missing\\2.bin"});
    settings.allowSoftwarePositionSelection = 1;
    snprintf(settings.layoutPath, sizeof settings.layoutPath, "%s", (folder + "d.t6layout").c_str());
    WriteSettings(settings);
    StartUpProgram(GetModuleHandleA(nullptr), ("/log \"" + log + "\"").c_str());
    Create(false);
    EXPECT_EQ(EnabledCommands(), With({IDC_QUERY_DEVICE}));
    EXPECT_TRUE(IsWindowVisible(Control(IDC_POSITION_SELECTOR_LABEL)));
    EXPECT_EQ(Selector(), "Unknown/10");  // 0 to 7, "Chip Off" and "Unknown"
    HWND grid = Grid();
    EXPECT_EQ(SendMessageA(grid, GCM_GETROWCOUNT, 0, 0), 8);  // the layout's last file is in position 7
    EXPECT_EQ(SendMessageA(grid, GCM_GETCOLCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(grid, GCM_GETSTYLE, 0, 0) & (GS_MULTISELECT | GS_ROWNUMBERS | GS_COLUMNLETTERS), 0);
    EXPECT_EQ(Cell(0, 1) + "|" + Cell(0, 2), "File Selection|Device Content");
    for (int row = 1; row <= 8; ++row) {
        EXPECT_EQ(Cell(row, 0), std::string(1, char('0' + row - 1)));
        EXPECT_NE(SendMessageA(grid, GCM_GETREADONLY, MAKELONG(row, 2), 0), 0);
        EXPECT_EQ(SendMessageA(grid, GCM_GETREADONLY, MAKELONG(row, 1), 0), 0);
    }
    EXPECT_EQ(Shown(3), "");
    ASSERT_TRUE(WaitForQuery());
    EXPECT_EQ(EnabledCommands(), kNoHardware);
    const std::string title = "T6/Orrery Programming Utility v" T6_VERSION_SHORT_TEXT " - No Hardware - b\\c\\d.t6layout";
    EXPECT_EQ(Title(), title + " ");
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
    Command(IDM_MOVE_UP);
    EXPECT_EQ(Shown(7) + "|" + Shown(8), "C:\\t\\seven.bin|");
    EXPECT_EQ(CurrentRow(), 7);
    EXPECT_EQ(Title(), title + "*");

    // Browsing: a cancelled dialog changes nothing; a chosen file goes into the row.
    g_app.layoutModified = 0;
    SelectRow(8);
    dialogAnswers = {""};
    Command(IDC_BROWSE);
    EXPECT_EQ(g_app.layoutModified, 0u);
    const std::string tune = folder_ + "a tune whose name is longer than a grid cell shows.bin";
    WriteBytes(tune, Pattern(0x40000, 1));
    dialogAnswers = {tune};
    Command(IDC_BROWSE);
    EXPECT_EQ(asked, (Asked{kBrowseDialog, kBrowseDialog}));
    EXPECT_EQ(Shown(8), Shortened(tune));
    EXPECT_EQ(g_app.layoutModified, 1u);
    EXPECT_EQ(Text(IDC_FILE_INFO_BOX), "<no metadata found>");

    // A name typed into a cell: the grid's own editing, through the message loop.
    g_app.layoutModified = 0;
    SetFocus(grid);
    SelectRow(4);
    for (char c : std::string("C:\\typed.bin"))
        Char(c);
    Key(VK_RETURN);
    Pump();
    EXPECT_EQ(Shown(4), "C:\\typed.bin");
    EXPECT_EQ(g_app.layoutModified, 1u);
    EXPECT_EQ(CurrentRow(), 5);

    // Dropped files go the way of Browse into the rows from the one they land on, which
    // becomes current: one file on the grid's row 6; on the window over row 7, four files,
    // of which the path too long for the layout is left out whole and the last finds no
    // row; beside the grid, the current row takes the file.
    g_app.layoutModified = 0;
    UpdateTitle();
    const std::string recorded = folder_ + "recorded.bin", missing = folder_ + "missing.bin";
    Bytes image = Pattern(0x40000, 2);
    TuneMetadata record = {};
    StampMetadata(&record, recorded.c_str(), 0x40000, kBankOrderUnknown);
    memcpy(record.version, "drop-1", 7);
    memcpy(&image[kMetadataOffset], &record, sizeof record);
    WriteBytes(recorded, image);
    DropFiles(grid, Middle(grid, grid, 6), {recorded});
    EXPECT_EQ(Shown(6), Shortened(recorded));
    EXPECT_EQ(CurrentRow(), 6);
    EXPECT_EQ(Title().back(), '*');
    EXPECT_EQ(Text(IDC_FILE_INFO_BOX).substr(0, 15), "Version: drop-1");
    HWND main = static_cast<HWND>(g_app.mainWindow);
    // Without the style the shell drops nothing on a window, however it would handle one.
    for (HWND window : {main, grid})
        EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
    const std::string longName = std::string(240, 'n') + ".bin";
    size_t status = Text(IDC_STATUS_BOX).size();
    DropFiles(main, Middle(grid, main, 7), {recorded, folder_ + longName, missing, folder_ + "z.bin"});
    EXPECT_EQ(Shown(7) + "|" + Shown(8), Shortened(recorded) + "|" + Shortened(missing));
    EXPECT_EQ(CurrentRow(), 7);
    EXPECT_EQ(Text(IDC_FILE_INFO_BOX).substr(0, 15), "Version: drop-1");
    EXPECT_EQ(Text(IDC_STATUS_BOX).substr(status), "\r\nThe path of " + longName +
                                                       " is longer than 259 characters; the file was left out."
                                                       "\r\n1 file was not placed: no more rows.");
    SelectRow(5);
    DropFiles(main, Middle(Control(IDC_STATUS_BOX), main), {missing});
    EXPECT_EQ(Shown(5), Shortened(missing));

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

    // Nothing is pumped meanwhile, so the job cannot finish before each attempt to close.
    asked.clear();
    Command(IDM_QUERY_DEVICE);
    ASSERT_TRUE(IsJobRunning());
    EXPECT_EQ(EnabledCommands(), kAlwaysEnabled);
    Command(IDCANCEL);
    Command(IDM_EXIT);
    // Dropped tune files would go around the disabled grid and Browse: they are refused. A
    // layout loads as Load Layout, which stays enabled, loads one.
    const std::string row2 = Shown(2);
    status = Text(IDC_STATUS_BOX).size();
    DropFiles(grid, Middle(grid, grid, 2), {recorded});
    EXPECT_EQ(Shown(2), row2);
    EXPECT_EQ(Text(IDC_STATUS_BOX).substr(status), "\r\nFiles cannot be placed while a device operation runs.");
    boxAnswers = {IDNO};
    DropFiles(grid, Middle(grid, grid, 2), {folder + "d.t6layout"});
    EXPECT_EQ(Shown(3) + "|" + Shown(8), "|C:\\t\\seven.bin");
    EXPECT_EQ(asked, (Asked{kBusy, kBusy, kSaveQuestion}));
    ASSERT_TRUE(IsWindow(static_cast<HWND>(g_app.mainWindow)));
    ASSERT_TRUE(WaitForQuery());

    // The layout commands' side in the window: its dialogs, messages, title and grid.
    const std::string first = folder_ + "first.t6layout";
    asked.clear();
    dialogAnswers = {first};
    Command(IDM_SAVE_LAYOUT_AS);
    EXPECT_EQ(Title().substr(Title().size() - 16), "\\first.t6layout ");
    Command(IDM_CLEAR_LAYOUT);
    for (int row = 1; row <= 8; ++row)
        EXPECT_EQ(Shown(row), "") << row;
    Bytes newer = ReadBytes(first);
    newer[0] = 2;
    WriteBytes(folder_ + "newer.t6layout", newer);
    dialogAnswers = {folder_ + "newer.t6layout"};
    Command(IDM_LOAD_LAYOUT);
    EXPECT_EQ(Shown(2), "");
    // Among other files, only the first layout dropped is loaded, and nothing placed.
    g_app.layoutModified = 1;
    boxAnswers = {IDNO};
    status = Text(IDC_STATUS_BOX).size();
    DropFiles(grid, Middle(grid, grid, 3), {recorded, first, folder_ + "NEWER.T6LAYOUT"});
    EXPECT_EQ(Shown(2) + "|" + Shown(3), "C:\\t\\one.bin|");
    EXPECT_EQ(g_app.layoutModified, 0u);
    EXPECT_EQ(Text(IDC_STATUS_BOX).substr(status), "\r\nOnly the layout was loaded; 2 other files were not placed.");
    // A layout whose only file beyond the standard eight is in position 8 shows 16 rows,
    // which clearing empties to the last.
    std::vector<std::string> eight(9);
    eight[8] = "C:\\t\\eight.bin";
    WriteBytes(first, BytesOf(LayoutSettings(eight).layout));
    dialogAnswers = {first};
    Command(IDM_LOAD_LAYOUT);
    EXPECT_EQ(SendMessageA(grid, GCM_GETROWCOUNT, 0, 0), 16);
    EXPECT_EQ(Shown(9), eight[8]);
    SelectRow(16);
    dialogAnswers = {tune};
    Command(IDC_BROWSE);
    Command(IDM_CLEAR_LAYOUT);
    for (int row = 1; row <= 16; ++row)
        EXPECT_EQ(Shown(row), "") << row;

    // Closing with the layout modified: Cancel keeps the window, and so does Yes when the
    // save fails (the file is named) or its Save As dialog is cancelled, since the layout
    // file reopened at the next start would replace the edits. Yes saves and closes, and
    // settings.dat has the layout as it stood.
    g_app.layoutModified = 1;
    const std::string unwritable = folder_ + "gone\\first.t6layout";
    boxAnswers = {IDCANCEL, IDYES, IDOK, IDYES, IDYES};
    Command(IDCANCEL);
    for (const std::string& path : {unwritable, std::string()}) {
        snprintf(g_settings.layoutPath, sizeof g_settings.layoutPath, "%s", path.c_str());
        Command(IDCANCEL);
        ASSERT_NE(g_app.mainWindow, nullptr) << path;
    }
    snprintf(g_settings.layoutPath, sizeof g_settings.layoutPath, "%s", first.c_str());
    const Bytes layout = BytesOf(g_settings.layout);
    Command(IDCANCEL);
    EXPECT_EQ(g_app.mainWindow, nullptr);
    EXPECT_EQ(asked, (Asked{"save Select File...|Layout Files (*.t6layout);*.t6layout|t6layout",
                            "open Select File...|Layout Files (*.t6layout);*.t6layout|t6layout",
                            "box Incompatible Layout|Layout version is newer than is supported.|0x10",
                            kSaveQuestion, "open Select File...|Layout Files (*.t6layout);*.t6layout|t6layout",
                            kBrowseDialog, kSaveQuestion, kSaveQuestion,
                            "box Layout Not Saved|The layout was not saved. This file could not be written:\n" +
                                unwritable + "|0x10",
                            kSaveQuestion, "save Select File...|Layout Files (*.t6layout);*.t6layout|t6layout",
                            kSaveQuestion}));
    EXPECT_EQ(ReadBytes(first), layout);
    ASSERT_EQ(ReadSettingsFile(settingsPath_.c_str(), &settings), 1);
    EXPECT_EQ(BytesOf(settings.layout), layout);
    EXPECT_STREQ(settings.layoutPath, first.c_str());

    // The device log went to the file, line by line, and is let go at the end.
    ShutDownProgram();
    EXPECT_EQ(g_app.channel.logTarget, nullptr);
    const Bytes written = ReadBytes(log);
    const std::string text(written.begin(), written.end());
    EXPECT_EQ(text.compare(0, 10, "KVSerial: "), 0) << text.substr(0, 200);
    EXPECT_NE(text.find("\r\n"), std::string::npos);
}
