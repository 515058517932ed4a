// Writing, verifying and erasing from the main window against the simulator: the questions,
// the command states while a job runs, the progress bar, the status lines as the user sees
// them, and what the device holds afterwards.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/command_state.h"
#include "device/chip.h"
#include "tests/app/main_window_fixture.h"
#include "tune/metadata.h"

namespace {

const char kMayTakeAWhile[] = "This may take a while. Are you sure?";

// Bytes that are never 0xFF, so every 256-byte block of them is sent.
Bytes Pattern(size_t size, uint8_t seed)
{
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = uint8_t((i * 7 + (i >> 8) + seed) % 255);
    return bytes;
}

SettingsBlock LayoutWith(int position, const std::string& path)
{
    SettingsBlock settings = {};
    settings.settingsVersion = 2;
    snprintf(settings.layout.positionPaths[position].path, kPathFieldSize, "%s", path.c_str());
    return settings;
}

// The frames that went to the device since the trace had `since` lines and start with these
// bytes ("> 38 57": a write). The simulator serves every test of the program.
size_t FramesSent(size_t since, const char* start)
{
    const std::vector<std::string> trace = ReadSimTraceFile();
    if (since > trace.size())
        return 0;
    return size_t(std::count_if(trace.begin() + std::ptrdiff_t(since), trace.end(),
                                [start](const std::string& line) { return line.rfind(start, 0) == 0; }));
}

Bytes DeviceBytes(uint32_t start, uint32_t length)
{
    Bytes bytes(length);
    EXPECT_GE(ReadChip(g_app.channel, bytes.data(), kChipT6ViaOrrery, start, length, nullptr), 0);
    return bytes;
}

std::string RecordPath(const Bytes& record)
{
    TuneMetadata metadata;
    memcpy(&metadata, record.data(), sizeof metadata);
    return std::string(metadata.originalPath, strnlen(metadata.originalPath, sizeof metadata.originalPath));
}

// The progress bar as the window's own messages leave it: its range's top and its
// position, read back after every message that moves it.
struct BarState {
    int top;
    int position;
};
std::vector<BarState> g_bar;
WNDPROC g_barProc = nullptr;

LRESULT CALLBACK RecordBar(HWND bar, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = CallWindowProcA(g_barProc, bar, message, wParam, lParam);
    if (message == PBM_SETRANGE32 || message == PBM_SETPOS || message == PBM_STEPIT) {
        PBRANGE range = {};
        SendMessageA(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        g_bar.push_back({range.iHigh, int(SendMessageA(bar, PBM_GETPOS, 0, 0))});
    }
    return result;
}

void WatchBar(HWND bar)
{
    g_bar.clear();
    g_barProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordBar)));
}

} // namespace

// A 256 KB image, written with the "Unknown File Format" question answered in a real box,
// then verified and erased; the window is busy while each runs and ready after it,
// whatever the job's result.
TEST_F(MainWindowTest, WriteVerifyAndEraseSelectionChangeTheDeviceAndShowEachStep)
{
    const Bytes file = Pattern(0x40000, 3);
    const std::string path = folder_ + "a whole image whose name is longer than a grid cell shows.bin";
    WriteBytes(path, file);
    WriteSettings(LayoutWith(2, path));
    Open();
    SelectRow(3);
    WatchBar(Control(IDC_PROGRESS));
    std::string status = Text(IDC_STATUS_BOX);
    const size_t start = ReadSimTraceFile().size();

    RealPrompts(true);
    HWND owner = nullptr;
    {
        BoxAnswerer unknown("Unknown File Format", "Yes", [&owner](HWND box) { owner = GetWindow(box, GW_OWNER); });
        Command(IDC_WRITE_SELECTION);
        EXPECT_TRUE(IsJobRunning());
        EXPECT_EQ(EnabledCommands(), kAlwaysEnabled);
        // A command that arrives meanwhile starts no second job on the same device.
        Command(IDM_VERIFY_SELECTION);
        ASSERT_TRUE(PumpUntil([] { return !IsJobRunning(); }, 60000));
        unknown.Join();
        EXPECT_TRUE(unknown.found());
        EXPECT_EQ(unknown.text, "Calibration bank order could not be determined. Upload anyway?");
        EXPECT_EQ(owner, g_app.mainWindow);
    }
    RealPrompts(false);
    EXPECT_EQ(EnabledCommands(), kReady);
    status += "\r\nUploading to position 2...\r\nErasing position 2... OK\r\nWriting data to position 2... OK"
              "\r\nUpload succeeded.";
    EXPECT_EQ(Text(IDC_STATUS_BOX), status);

    // Every block was sent, and the bar went up block by block to 1024 and back to 0.
    EXPECT_EQ(FramesSent(start, "> 38 57 "), 1024u);
    auto write = std::find_if(g_bar.begin(), g_bar.end(), [](const BarState& s) { return s.top == 1024; });
    ASSERT_NE(write, g_bar.end());
    std::vector<int> positions;
    for (auto s = write; s != g_bar.end(); ++s)
        positions.push_back(s->position);
    EXPECT_EQ(positions.back(), 0);
    positions.pop_back();
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_EQ(positions.back(), 1024);
    EXPECT_EQ(SendMessageA(Control(IDC_PROGRESS), PBM_GETPOS, 0, 0), 0);

    // The device holds the file with its record stamped, and the window shows that record.
    const Bytes held = DeviceBytes(2 * 0x40000, 0x40000);
    ASSERT_EQ(held.size(), file.size());
    EXPECT_TRUE(std::equal(file.begin(), file.begin() + kMetadataOffset, held.begin()));
    EXPECT_TRUE(std::equal(file.begin() + kMetadataOffset + sizeof(TuneMetadata), file.end(),
                           held.begin() + kMetadataOffset + sizeof(TuneMetadata)));
    const Bytes record(held.begin() + kMetadataOffset, held.begin() + kMetadataOffset + sizeof(TuneMetadata));
    EXPECT_EQ(RecordPath(record), path);
    EXPECT_EQ(Cell(3, 2), Shortened(path));
    const std::string info = Text(IDC_DEVICE_INFO_BOX);
    EXPECT_NE(info.find("Original Bank Order: N/A"), std::string::npos) << info;

    Command(IDC_VERIFY_SELECTION);
    EXPECT_EQ(EnabledCommands(), kAlwaysEnabled);
    ASSERT_TRUE(PumpUntil([] { return !IsJobRunning(); }));
    EXPECT_EQ(EnabledCommands(), kReady);
    status += "\r\nVerifying position 2...\r\n    Verifying bank 0... OK\r\n    Verifying bank 1... OK"
              "\r\n    Verifying bank 8... OK\r\n    Verifying bank 9... OK\r\nPosition 2 verify succeeded.";
    EXPECT_EQ(Text(IDC_STATUS_BOX), status);
    EXPECT_EQ(FramesSent(start, "> 38 56 "), 4u * 224u);

    Command(IDC_ERASE_SELECTION);
    ASSERT_TRUE(PumpUntil([] { return !IsJobRunning(); }));
    EXPECT_EQ(DeviceBytes(2 * 0x40000 + kMetadataOffset, sizeof(TuneMetadata)), Bytes(sizeof(TuneMetadata), 0xFF));
    EXPECT_EQ(Cell(3, 2), "");

    // A verify that fails leaves the window as ready as one that succeeds.
    Command(IDM_VERIFY_SELECTION);
    ASSERT_TRUE(PumpUntil([] { return !IsJobRunning(); }));
    EXPECT_EQ(EnabledCommands(), kReady);
    status += "\r\nErasing position 2... OK\r\nVerifying position 2...\r\n    Verifying bank 0... FAIL"
              "\r\nPosition 2 verify failed..";
    EXPECT_EQ(Text(IDC_STATUS_BOX), status);
}

// Write All, Verify All and Erase Device ask first: No sends nothing to the device and
// leaves the window as it was; Yes runs the job over every position.
TEST_F(MainWindowTest, WholeDeviceCommandsRunOnlyWhenTheQuestionIsAnsweredYes)
{
    // Two bank bodies: written without the "Unknown File Format" question.
    const std::string path = folder_ + "banks.bin";
    WriteBytes(path, Pattern(0x1C000, 9));
    WriteSettings(LayoutWith(1, path));
    Open();
    SelectRow(6);

    struct Case {
        WORD command;
        const char* title;
        const char* text;
        const char* lastLine;
    } const cases[] = {
        {IDC_WRITE_ALL, "Write All?", kMayTakeAWhile, "\r\nUpload succeeded."},
        {IDM_VERIFY_ALL, "Verify All?", kMayTakeAWhile, "\r\nPosition 1 verify succeeded."},
        {IDC_ERASE_ALL, "Erase Device?", "Are you sure you want to erase the device?", "\r\nErasing device... OK"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        const std::string question = std::string("box ") + c.title + "|" + c.text + "|0x24";
        const std::string status = Text(IDC_STATUS_BOX);
        const size_t frames = ReadSimTraceFile().size();
        asked.clear();
        boxAnswers = {IDNO};
        Command(c.command);
        EXPECT_FALSE(IsJobRunning());
        EXPECT_EQ(EnabledCommands(), kReady);
        Pump(200);
        EXPECT_EQ(ReadSimTraceFile().size(), frames);
        EXPECT_EQ(Text(IDC_STATUS_BOX), status);

        boxAnswers = {IDYES};
        Command(c.command);
        EXPECT_EQ(EnabledCommands(), kAlwaysEnabled);
        ASSERT_TRUE(PumpUntil([] { return !IsJobRunning(); }));
        EXPECT_EQ(EnabledCommands(), kReady);
        EXPECT_EQ(asked, (Asked{question, question}));
        const std::string shown = Text(IDC_STATUS_BOX);
        ASSERT_GE(shown.size(), status.size() + strlen(c.lastLine));
        EXPECT_EQ(shown.substr(shown.size() - strlen(c.lastLine)), c.lastLine) << shown.substr(status.size());

        if (c.command == IDC_WRITE_ALL) {
            EXPECT_EQ(RecordPath(DeviceBytes(0x40000 + kMetadataOffset, sizeof(TuneMetadata))), path);
            EXPECT_EQ(Cell(2, 2), Shortened(path));
        }
    }
    // The device is erased, and so is the Device Content of the rows shown.
    EXPECT_EQ(DeviceBytes(0x40000 + kMetadataOffset, sizeof(TuneMetadata)), Bytes(sizeof(TuneMetadata), 0xFF));
    for (int row = 1; row <= 8; ++row)
        EXPECT_EQ(Cell(row, 2), "") << row;
}
