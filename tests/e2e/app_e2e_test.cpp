// The program as a user runs it: t6utility.exe started as a process of its own under Wine,
// against the standalone simulator or no device at all, and driven from outside through
// what its windows show. Each program start costs seconds, so each case goes through a
// whole session: start, query, look, change, close, and what was left on disk.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "sim/demo/demo_material.h"
#include "resources/resource.h"
#include "tests/e2e/e2e_checks.h"
#include "tests/e2e/e2e_setup.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/sim_session.h"
#include "tests/e2e/window_driver.h"
#include "tune/metadata.h"

namespace {

const char kDescription[] = "Orrery Programmer v1.5.Z";
const char kMetadataFailed[] = "Failed to get tune metadata from device.";

// The controls the command states enable and disable, as a user names them.
const struct {
    int id;
    const char* name;
} kCommandControls[] = {
    {IDC_POSITION_GRID, "grid"},          {IDC_QUERY_DEVICE, "Query"},
    {IDC_WRITE_SELECTION, "Write Sel"},   {IDC_WRITE_ALL, "Write All"},
    {IDC_VERIFY_SELECTION, "Verify Sel"}, {IDC_ERASE_SELECTION, "Erase Sel"},
    {IDC_ERASE_ALL, "Erase All"},         {IDC_MOVE_UP, "Up"},
    {IDC_MOVE_DOWN, "Down"},              {IDC_BROWSE, "Browse"},
    {IDC_EDIT_FILE_INFO, "Edit Info"},    {IDCANCEL, "Close"},
    {IDC_POSITION_SELECTOR, "Selector"},
};
const char kReadyCommands[] =
    "grid, Query, Write Sel, Write All, Verify Sel, Erase Sel, Erase All, Up, Down, Browse, Edit Info, Close, Selector";
const char kNoHardwareCommands[] = "grid, Query, Up, Down, Browse, Edit Info, Close";

std::string EnabledCommands(HWND main)
{
    std::string names;
    for (const auto& command : kCommandControls)
        if (ControlEnabled(main, command.id))
            names += (names.empty() ? "" : ", ") + std::string(command.name);
    return names;
}

// The title's layout text: the last three components of the layout path.
std::string LayoutTitleText(const std::string& layoutPath)
{
    size_t cut = layoutPath.size();
    for (int separators = 0; separators < 3 && cut != std::string::npos && cut > 0; ++separators)
        cut = layoutPath.find_last_of('\\', cut - 1);
    return cut == std::string::npos || cut == 0 ? layoutPath : layoutPath.substr(cut + 1);
}

std::string Title(const char* hardware, const std::string& layoutPath, char modified)
{
    return kMainTitleStart + std::string(hardware) + " - " + LayoutTitleText(layoutPath) + modified;
}

} // namespace

// The demo device and layout: the query finds the device and reads every position, the
// window offers every command, a moved row marks the layout modified, and closing without
// saving still keeps the layout as it stood in settings.dat.
TEST(ProgramWithDevice, ShowsEveryPositionAndKeepsTheArrangedLayoutAtClosing)
{
    const std::string folder = FreshTestFolder(TestName());
    ASSERT_EQ(WriteDemoMaterial(folder, folder), "");
    const std::vector<uint8_t> memory = ReadWholeFile(folder + kDemoDeviceFile);
    SimSession sim;
    ProgramRun program;
    HWND main = StartProgramWithDevice(folder, {"--memory", LinuxPathOf(folder + kDemoDeviceFile)}, sim, program);
    ASSERT_NE(main, nullptr);

    SettingsBlock demo;
    BuildDemoSettings(folder, &demo);
    const std::string layoutPath = demo.layoutPath;
    EXPECT_EQ(WaitForControlText(main, IDC_STATUS_BOX, kReady, kQueryMs), kReady);
    // The title and the commands change together once the query's completion is handled.
    EXPECT_TRUE(WaitUntil([&] { return WindowText(main) == Title(kDescription, layoutPath, ' '); }, kAnswerMs))
        << WindowText(main);
    EXPECT_EQ(EnabledCommands(main), kReadyCommands);
    EXPECT_TRUE(ControlVisible(main, IDC_POSITION_SELECTOR));

    TuneMetadata records[kPositionCount];
    for (int p = 0; p < kPositionCount; ++p)
        records[p] = DemoDeviceRecord(memory, p);
    HWND grid = GetDlgItem(main, IDC_POSITION_GRID);
    EXPECT_EQ(CopyGridCells(grid, 8, 2), GridText(demo.layout, records, 8));

    // Position 3: the device's record, and a file of the 216 KB form, which has none.
    ClickGridCell(grid, 4, 1);
    char deviceInfo[kInfoTextSize];
    BuildDeviceInfoText(records, 4, deviceInfo, sizeof deviceInfo);
    EXPECT_TRUE(WaitUntil([&] { return ControlText(main, IDC_DEVICE_INFO_BOX) == deviceInfo; }, kAnswerMs))
        << ControlText(main, IDC_DEVICE_INFO_BOX);
    EXPECT_EQ(ControlText(main, IDC_FILE_INFO_BOX), "<no metadata found>");

    ClickGridCell(grid, 1, 1);
    PostCommand(main, IDM_MOVE_DOWN);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(main) == Title(kDescription, layoutPath, '*'); }, kAnswerMs))
        << WindowText(main);
    PostCommand(main, IDCANCEL);
    MessageBoxAnswer asked = AnswerMessageBox(program.processId(), "Save Layout?", "No", kAnswerMs);
    EXPECT_TRUE(asked.found);
    EXPECT_EQ(asked.text, "Layout Modified, Save?");
    DWORD code = 1;
    ASSERT_TRUE(program.WaitForExit(kExitMs, &code));
    EXPECT_EQ(code, 0u);

    LayoutBlock moved = demo.layout;
    std::swap(moved.positionPaths[0], moved.positionPaths[1]);
    ExpectSettingsFile(folder, layoutPath, moved, 1);
    // Answered No: the layout file keeps the demo's order.
    LayoutBlock file;
    ASSERT_TRUE(ReadBlockFile(DemoLayoutPath(folder), &file));
    EXPECT_EQ(Paths(file), Paths(demo.layout));
    // A query only reads.
    ASSERT_TRUE(sim.Stop());
    EXPECT_TRUE(ReadWholeFile(folder + kDemoDeviceFile) == memory);
}

namespace {

// settings.dat as a user may have it: damaged, from a newer version, or cut short.
struct BadSettings {
    const char* name;
    std::vector<uint8_t> (*make)(const SettingsBlock& demo);
    int keptPositions;  // demo positions the cut file still holds whole (-1: all gone)
};

std::vector<uint8_t> Garbage(const SettingsBlock&)
{
    std::vector<uint8_t> bytes(3000);
    uint32_t noise = 12345;
    for (uint8_t& b : bytes)
        b = uint8_t((noise = noise * 1103515245u + 12345u) >> 16);
    return bytes;
}

std::vector<uint8_t> NewerVersion(const SettingsBlock& demo)
{
    SettingsBlock newer = demo;
    newer.settingsVersion = 3;
    return BytesOf(newer);
}

// Version 2, no layout file, and the file ends 20 characters into position 2's path.
std::vector<uint8_t> CutShort(const SettingsBlock& demo)
{
    SettingsBlock cut = demo;
    cut.layoutPath[0] = '\0';
    std::vector<uint8_t> bytes = BytesOf(cut);
    bytes.resize(offsetof(SettingsBlock, layout.positionPaths[2]) + 20);
    return bytes;
}

const BadSettings kBadSettings[] = {
    {"Garbage", Garbage, -1},
    {"NewerVersion", NewerVersion, -1},
    {"CutShort", CutShort, 2},
};

class BadSettingsWithoutDevice : public ::testing::TestWithParam<BadSettings> {};

} // namespace

// No device anywhere, and a settings.dat the program cannot take whole: it starts with what
// it could keep, offers only what needs no device, and leaves a sound settings.dat. The
// cut file's layout is modified and saved at closing through the save dialog.
TEST_P(BadSettingsWithoutDevice, StartsWithWhatItCanKeepAndClosesCleanly)
{
    const BadSettings& bad = GetParam();
    const std::string folder = FreshTestFolder(TestName());
    SettingsBlock demo;
    BuildDemoSettings(folder, &demo);
    ASSERT_TRUE(WriteWholeFile(folder + "settings.dat", bad.make(demo)));
    LayoutBlock kept = {};
    for (int p = 0; p < bad.keptPositions; ++p)
        kept.positionPaths[p] = demo.layout.positionPaths[p];
    if (bad.keptPositions >= 0)
        memcpy(kept.positionPaths[bad.keptPositions].path, demo.layout.positionPaths[bad.keptPositions].path, 20);

    ProgramRun program;
    ASSERT_TRUE(program.Start(folder));
    HWND main = program.WaitForMainWindow(kWindowMs);
    ASSERT_NE(main, nullptr) << "no main window";
    EXPECT_EQ(WaitForControlText(main, IDC_STATUS_BOX, "Searching for hardware...\r\nHardware not found.", kQueryMs),
              "Searching for hardware...\r\nHardware not found.");
    EXPECT_TRUE(WaitUntil([&] { return WindowText(main) == Title("No Hardware", "", ' '); }, kAnswerMs))
        << WindowText(main);
    // The title read "No Hardware" from the start, and the job writes its last line before
    // it reports: only the commands show that the window has handled the outcome.
    EXPECT_TRUE(WaitUntil([&] { return EnabledCommands(main) == kNoHardwareCommands; }, kAnswerMs))
        << EnabledCommands(main);
    EXPECT_FALSE(ControlVisible(main, IDC_POSITION_SELECTOR));
    EXPECT_EQ(CopyGridCells(GetDlgItem(main, IDC_POSITION_GRID), 8, 2), GridText(kept, nullptr, 8));

    if (bad.keptPositions < 0) {
        CloseAndExpectExit(program, main);
        ExpectSettingsFile(folder, "", kept, 0);
        return;
    }
    ClickGridCell(GetDlgItem(main, IDC_POSITION_GRID), 1, 1);
    PostCommand(main, IDM_MOVE_DOWN);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(main) == Title("No Hardware", "", '*'); }, kAnswerMs));
    PostCommand(main, IDCANCEL);
    EXPECT_TRUE(AnswerMessageBox(program.processId(), "Save Layout?", "Yes", kAnswerMs).found);
    const std::string saved = folder + "saved.t6layout";
    EXPECT_TRUE(AnswerFileDialog(program.processId(), "Select File...", saved.c_str(), kAnswerMs));
    DWORD code = 1;
    ASSERT_TRUE(program.WaitForExit(kExitMs, &code));
    EXPECT_EQ(code, 0u);

    std::swap(kept.positionPaths[0], kept.positionPaths[1]);
    ExpectSettingsFile(folder, saved, kept, 0);
    LayoutBlock written;
    ASSERT_TRUE(ReadBlockFile(saved, &written));
    EXPECT_EQ(written.layoutVersion, kLayoutVersion);
    EXPECT_EQ(Paths(written), Paths(kept));
}

INSTANTIATE_TEST_SUITE_P(Program, BadSettingsWithoutDevice, ::testing::ValuesIn(kBadSettings),
                         [](const ::testing::TestParamInfo<BadSettings>& info) {
                             return std::string(info.param.name);
                         });

// A device that stops answering in the middle of the metadata pass (at position 5), and a
// layout whose files and layout file are gone: the records read so far stay, the failure
// is shown below the description, the window stays usable, and the next query reads all.
TEST(ProgramWithDevice, KeepsWhatItReadWhenTheDeviceStopsAnsweringAndShowsMissingFiles)
{
    const std::string folder = FreshTestFolder(TestName());
    ASSERT_EQ(WriteDemoMaterial(folder, folder), "");
    const std::vector<uint8_t> memory = ReadWholeFile(folder + kDemoDeviceFile);
    SettingsBlock settings = {};
    settings.settingsVersion = kSettingsVersion;
    const std::string missingLayout = folder + "gone\\missing.t6layout";
    snprintf(settings.layoutPath, sizeof settings.layoutPath, "%s", missingLayout.c_str());
    for (int p = 0; p < 3; ++p)
        snprintf(settings.layout.positionPaths[p].path, kPathFieldSize, "%sgone\\tune-%d.bin", folder.c_str(), p);
    ASSERT_TRUE(WriteWholeFile(folder + "settings.dat", BytesOf(settings)));

    SimSession sim;
    ProgramRun program;
    // Each position is four read frames ("8R"); the 21st is position 5's first.
    HWND main = StartProgramWithDevice(
        folder, {"--memory", LinuxPathOf(folder + kDemoDeviceFile), "--fault", "8:21:silence"}, sim, program);
    ASSERT_NE(main, nullptr);
    const std::string failed = std::string(kReady) + "\r\n" + kMetadataFailed;
    EXPECT_EQ(WaitForControlText(main, IDC_STATUS_BOX, failed, kQueryMs), failed);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(main) == Title(kDescription, missingLayout, ' '); }, kAnswerMs))
        << WindowText(main);
    EXPECT_EQ(EnabledCommands(main), kReadyCommands);

    TuneMetadata records[kPositionCount] = {};
    for (int p = 0; p < 5; ++p)
        records[p] = DemoDeviceRecord(memory, p);
    HWND grid = GetDlgItem(main, IDC_POSITION_GRID);
    EXPECT_EQ(CopyGridCells(grid, 8, 2), GridText(settings.layout, records, 8));
    ClickGridCell(grid, 1, 1);
    EXPECT_EQ(WaitForControlText(main, IDC_FILE_INFO_BOX, "<Error opening file>", kAnswerMs), "<Error opening file>");

    PostCommand(main, IDM_QUERY_DEVICE);
    EXPECT_EQ(WaitForControlText(main, IDC_STATUS_BOX, kReady, kQueryMs), kReady);
    for (int p = 5; p < kPositionCount; ++p)
        records[p] = DemoDeviceRecord(memory, p);
    EXPECT_TRUE(WaitUntil([&] { return CopyGridCells(grid, 8, 2) == GridText(settings.layout, records, 8); },
                          kAnswerMs))
        << CopyGridCells(grid, 8, 2);

    CloseAndExpectExit(program, main);
    ExpectSettingsFile(folder, missingLayout, settings.layout, 0);
}
