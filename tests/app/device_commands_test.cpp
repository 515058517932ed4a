// The main window's device commands against the simulator: writing, verifying and erasing
// with their questions, the progress bar and each job's outcome as the window shows them
// (the jobs' status lines in full, and what they send and store: jobs_tests; the device's
// memory after each command and selector requests it takes: the end-to-end tests); the
// software position selector when the device fails, and the extended positions.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/position_paths.h"
#include "jobs/job_thread.h"
#include "tests/app/main_window_fixture.h"
#include "tests/support/trace_file.h"
#include "tune/metadata.h"

namespace {

// The progress bar's position, read back after every message that moves it, from the
// first time its range's top was 1024 on.
std::vector<int> g_bar;
WNDPROC g_barProc = nullptr;

LRESULT CALLBACK RecordBar(HWND bar, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = CallWindowProcA(g_barProc, bar, message, wParam, lParam);
    if (message == PBM_SETRANGE32 || message == PBM_SETPOS || message == PBM_STEPIT) {
        PBRANGE range = {};
        SendMessageA(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        if (range.iHigh == 1024 || !g_bar.empty())
            g_bar.push_back(int(SendMessageA(bar, PBM_GETPOS, 0, 0)));
    }
    return result;
}

// The result of the last job completion the main window was sent.
LPARAM g_jobResult = -1;
WNDPROC g_windowProc = nullptr;

LRESULT CALLBACK RecordJobResult(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message > kJobMessageBase && message <= kJobMessageBase + kJobEraseDevice)
        g_jobResult = lParam;
    return CallWindowProcA(g_windowProc, window, message, wParam, lParam);
}

// Whether the control's client area on screen is what it would draw now, pixel for pixel.
bool ShowsWhatItHolds(HWND control)
{
    RECT client;
    GetClientRect(control, &client);
    HDC screen = GetDC(control), shown = CreateCompatibleDC(screen), drawn = CreateCompatibleDC(screen);
    HBITMAP shownBits = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HBITMAP drawnBits = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ oldShown = SelectObject(shown, shownBits), oldDrawn = SelectObject(drawn, drawnBits);
    BitBlt(shown, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
    SendMessageA(control, WM_PRINTCLIENT, WPARAM(drawn), PRF_CLIENT | PRF_ERASEBKGND);
    bool same = true;
    for (int y = 0; y < client.bottom && same; ++y)
        for (int x = 0; x < client.right && same; ++x)
            same = GetPixel(shown, x, y) == GetPixel(drawn, x, y);
    SelectObject(shown, oldShown);
    SelectObject(drawn, oldDrawn);
    DeleteObject(shownBits);
    DeleteObject(drawnBits);
    DeleteDC(shown);
    DeleteDC(drawn);
    ReleaseDC(control, screen);
    return same;
}

// The status box's last line.
std::string LastLine(const std::string& shown)
{
    const size_t end = shown.rfind("\r\n");
    return end == std::string::npos ? shown : shown.substr(end + 2);
}

} // namespace

// A 256 KB image written after the "Unknown File Format" question, erased, and verified
// against the erased position; the window is busy while each runs and ready after it,
// whatever the job's result. The whole-device commands ask first: No starts nothing; Write
// All goes past a position that fails and ends failed.
// A selector request the device does not take is reported as such. The extended
// positions show what the tables hold for 8 to F.
TEST_F(MainWindowTest, DeviceJobsSoftwarePositionAndExtendedPositions)
{
    const std::string path = folder_ + "a whole image whose name is longer than a grid cell shows.bin";
    WriteBytes(path, Pattern(0x40000, 3));
    SettingsBlock settings = LayoutSettings({"", "", path});
    settings.allowSoftwarePositionSelection = 1;
    WriteSettings(settings);
    Open();
    // The device was not asked which position it shows: no entry of the selector.
    EXPECT_EQ(Selector(), "/10");
    SelectRow(3);
    g_bar.clear();
    g_barProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(Control(IDC_PROGRESS), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordBar)));
    boxAnswers = {IDYES};  // asked on the job's thread; nothing here touches the answers meanwhile
    Command(IDC_WRITE_SELECTION);
    EXPECT_TRUE(IsJobRunning());
    EXPECT_EQ(EnabledCommands(), kAlwaysEnabled);
    // A command that arrives meanwhile starts no second job on the same device.
    Command(IDM_VERIFY_SELECTION);
    ASSERT_TRUE(WaitForJob(60000));
    EXPECT_EQ(asked, Asked{"box Unknown File Format|Calibration bank order could not be determined. Upload "
                           "anyway?|0x24"});
    EXPECT_EQ(EnabledCommands(), kReady);
    EXPECT_EQ(LastLine(Text(IDC_STATUS_BOX)), "Upload succeeded.");
    // The bar went up block by block to 1024 and back to 0.
    ASSERT_GE(g_bar.size(), 2u);
    EXPECT_EQ(g_bar.back(), 0);
    EXPECT_TRUE(std::is_sorted(g_bar.begin(), g_bar.end() - 1));
    EXPECT_EQ(g_bar.end()[-2], 1024);
    // The row and the device info box show the record now on the device.
    EXPECT_EQ(Cell(3, 2), Shortened(path));
    EXPECT_NE(Text(IDC_DEVICE_INFO_BOX).find("Original Bank Order: N/A"), std::string::npos)
        << Text(IDC_DEVICE_INFO_BOX);
    // The boxes the job wrote into, from its own thread, show on screen what they hold once
    // the window has caught up with its painting.
    for (int box : {IDC_STATUS_BOX, IDC_DEVICE_INFO_BOX}) {
        EXPECT_TRUE(IsWindowVisible(Control(box))) << box;
        EXPECT_TRUE(PumpUntil([&] { return ShowsWhatItHolds(Control(box)); }, 5000)) << box;
    }

    Command(IDC_ERASE_SELECTION);
    ASSERT_TRUE(WaitForJob());
    EXPECT_EQ(Cell(3, 2), "");
    Command(IDM_VERIFY_SELECTION);
    ASSERT_TRUE(WaitForJob());
    EXPECT_EQ(EnabledCommands(), kReady);
    EXPECT_EQ(LastLine(Text(IDC_STATUS_BOX)), "Position 2 verify failed..");

    // Two bank bodies in position 2 now: written without the format question.
    WriteBytes(path, Pattern(0x1C000, 9));
    struct Case {
        WORD command;
        const char* title;
        const char* text;
        const char* lastLine;
    } const cases[] = {
        {IDC_WRITE_ALL, "Write All?", "This may take a while. Are you sure?", "Upload succeeded."},
        {IDM_VERIFY_ALL, "Verify All?", "This may take a while. Are you sure?", "Position 2 verify succeeded."},
        {IDC_ERASE_ALL, "Erase Device?", "Are you sure you want to erase the device?", "Erasing device... OK"},
    };
    for (const Case& c : cases) {
        const std::string question = std::string("box ") + c.title + "|" + c.text + "|0x24";
        asked.clear();
        boxAnswers = {IDNO, IDYES};
        Command(c.command);
        EXPECT_FALSE(IsJobRunning()) << c.title;
        Command(c.command);
        ASSERT_TRUE(WaitForJob()) << c.title;
        EXPECT_EQ(asked, (Asked{question, question}));
        EXPECT_EQ(LastLine(Text(IDC_STATUS_BOX)), c.lastLine);
        EXPECT_EQ(Cell(3, 2), c.command == IDC_ERASE_ALL ? "" : Shortened(path)) << c.title;
    }

    // Write All with a failing position between two good ones: both are written, and the
    // window is told the job failed, though the box ends with the last one's success.
    const std::string small = folder_ + "small.bin";
    WriteBytes(small, Bytes(1000, 0));
    StorePositionPath(0, path.c_str());
    StorePositionPath(1, small.c_str());
    HWND window = static_cast<HWND>(g_app.mainWindow);
    g_windowProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordJobResult)));
    boxAnswers = {IDYES};
    Command(IDC_WRITE_ALL);
    ASSERT_TRUE(WaitForJob());
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_windowProc));
    EXPECT_EQ(g_jobResult, 0);
    EXPECT_NE(Text(IDC_STATUS_BOX).find("Uploading to position 1...\r\nInvalid file size or unknown calibration "
                                        "bank order.\r\nUpload failed.\r\nUploading to position 2..."),
              std::string::npos)
        << Text(IDC_STATUS_BOX);
    EXPECT_EQ(Cell(1, 2), Shortened(path));
    EXPECT_EQ(Cell(3, 2), Shortened(path));
    StorePositionPath(0, "");
    StorePositionPath(1, "");

    // The device refuses every bank request: "Unknown" sends nothing, a position sends its
    // bank request but no chip enable and says it failed; the grid moves to the chosen
    // position all the same. With the device gone, Chip Off fails and says so too.
    EXPECT_TRUE(MenuState(IDM_ALLOW_SOFTWARE_POSITION, MF_CHECKED));
    const std::string status = Text(IDC_STATUS_BOX);
    const size_t traced = ReadSimTraceFile().size();
    for (const char* entry : {"Unknown", "5"})
        ChooseSelectorEntry(entry);
    std::vector<std::string> sent = ReadSimTraceFile();
    sent.erase(sent.begin(), sent.begin() + ptrdiff_t(std::min(traced, sent.size())));
    EXPECT_EQ(sent, (std::vector<std::string>{"> 38 53 05 90", "< 3F"}));
    g_app.channel.ClosePort();
    ChooseSelectorEntry("Chip Off");
    EXPECT_EQ(Text(IDC_STATUS_BOX), status + "\r\nPosition 5 could not be selected.\r\nChip Off could not be selected.");
    EXPECT_EQ(CurrentRow(), 6);
    EXPECT_EQ(SendMessageA(Grid(), GCM_GETCURCOL, 0, 0), 2);
    Command(IDC_QUERY_DEVICE);
    ASSERT_TRUE(WaitForQuery());

    // What a layout load and a query left for the extended positions while 8 were shown,
    // in the first and the last of them.
    snprintf(g_settings.layout.positionPaths[8].path, kPathFieldSize, "C:\\eight.bin");
    StampMetadata(&g_app.deviceMetadata[15], "C:\\on the device\\fifteen.bin", 0x40000, 0xFFFFFFFF);
    Command(IDM_VIEW_EXTENDED);
    HWND grid = Grid();
    EXPECT_EQ(SendMessageA(grid, GCM_GETROWCOUNT, 0, 0), 16);
    EXPECT_TRUE(MenuState(IDM_VIEW_EXTENDED, MF_CHECKED));
    EXPECT_EQ(Cell(9, 1), "C:\\eight.bin");
    EXPECT_EQ(Cell(16, 2), "C:\\on the device\\fifteen.bin");
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
    EXPECT_EQ(Cell(16, 2), "");

    // Back to 8 is refused while the selector shows an extended position, from the first
    // to the last.
    for (const char* entry : {"8", "F"}) {
        asked.clear();
        ChooseSelectorEntry(entry);
        Command(IDM_VIEW_EXTENDED);
        EXPECT_EQ(asked, Asked{"box User Input Required|An extended position is currently active. Please switch to "
                               "a position between 0 and 7 or select \x91"
                               "Chip Off\x92 before disabling extended positions.|0x40"})
            << entry;
        EXPECT_EQ(SendMessageA(grid, GCM_GETROWCOUNT, 0, 0), 16) << entry;
    }
    ChooseSelectorEntry("Chip Off");
    Command(IDM_VIEW_EXTENDED);
    EXPECT_EQ(SendMessageA(grid, GCM_GETROWCOUNT, 0, 0), 8);
    EXPECT_EQ(Selector(), "Chip Off/10");
    EXPECT_FALSE(MenuState(IDM_VIEW_EXTENDED, MF_CHECKED));
    EXPECT_STREQ(g_settings.layout.positionPaths[8].path, "C:\\eight.bin");

    Command(IDM_ALLOW_SOFTWARE_POSITION);
    EXPECT_EQ(g_settings.allowSoftwarePositionSelection, 0u);
    EXPECT_FALSE(IsWindowVisible(Control(IDC_POSITION_SELECTOR)));
    EXPECT_FALSE(MenuState(IDM_ALLOW_SOFTWARE_POSITION, MF_CHECKED));
}
