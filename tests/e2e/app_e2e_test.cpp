// The program as a user runs it: t6utility.exe started as a process of its own under
// Wine and driven from outside through what its windows show. Each program start costs
// seconds, so each case is one whole session. With the device (the standalone simulator),
// one session goes through every device command, and after each step the simulator's
// memory (saved on request while the program keeps its port) must hold exactly what the
// step leaves: every other byte as it was. Without a device, the other session starts
// from a settings.dat cut short and checks for an update against the real FTP server that
// scripts/with-ftp.sh starts (T6_UPDATE_HOST is in the program's environment); it has a
// ctest entry of its own, as the server needs port 21.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "resources/resource.h"
#include "sim/demo/demo_material.h"
#include "t6_version.h"
#include "tests/e2e/e2e_setup.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/sim_session.h"
#include "tests/e2e/window_driver.h"
#include "tune/metadata.h"
#include "tune/tune_image.h"

namespace {

// Discovery scans the prefix's ports and the query reads 16 records: a few seconds, more
// on a loaded machine. A job writes up to three positions in 256-byte frames.
enum : DWORD { kWindowMs = 20000, kQueryMs = 30000, kAnswerMs = 10000, kExitMs = 15000, kJobMs = 90000 };
const char kDescription[] = "Orrery Programmer v1.5.Z";
// Positions of the demo layout: the 224 KB, 112 KB and 56 KB forms; the first is on the
// demo device too.
enum { kTrackPosition = 1, kBanks18Position = 4, kBank9Position = 6 };

// The title: the hardware ("No Hardware" or the device's description), the last three
// parts of the layout file's path (none without a file), and "*" while the layout has
// unsaved changes.
std::string Title(const char* hardware, char modified, const std::string& layoutPath = "")
{
    size_t at = layoutPath.size();
    for (int parts = 0; parts < 3 && at != std::string::npos && at > 0; ++parts)
        at = layoutPath.rfind('\\', at - 1);
    const std::string tail = at < layoutPath.size() ? layoutPath.substr(at + 1) : layoutPath;
    return kMainTitleStart + std::string(hardware) + " - " + tail + modified;
}

std::string Shortened(const char* path, size_t pathSize)
{
    char text[kShortPathLength + 1];
    ShortenPathForDisplay(path, pathSize, text, sizeof text);
    return text;
}

// The grid's two columns of positions 0 to 7 as Copy gives them: the layout's files, and
// what the device's memory holds (empty: nothing known of the device).
std::string GridText(const LayoutBlock& layout, const std::vector<uint8_t>& memory = {})
{
    std::string text;
    for (int p = 0; p < 8; ++p) {
        const PositionEntry& entry = layout.positionPaths[p];
        text += Shortened(entry.path, sizeof entry.path) + "\t";
        const TuneMetadata record = memory.empty() ? TuneMetadata() : DemoDeviceRecord(memory, p);
        if (HasMetadataMagic(record))
            text += Shortened(record.originalPath, sizeof record.originalPath);
        text += "\r\n";
    }
    return text;
}

std::vector<std::string> Paths(const LayoutBlock& layout)
{
    std::vector<std::string> paths;
    for (const PositionEntry& entry : layout.positionPaths)
        paths.push_back(std::string(entry.path, strnlen(entry.path, sizeof entry.path)));
    return paths;
}

template <class Block>
std::vector<uint8_t> BytesOf(const Block& block)
{
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&block);
    return std::vector<uint8_t>(p, p + sizeof block);
}

// A file of exactly one block, read into it; false for any other size.
template <class Block>
bool ReadBlockFile(const std::string& path, Block* block)
{
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    if (bytes.size() != sizeof *block)
        return false;
    memcpy(block, bytes.data(), sizeof *block);
    return true;
}

// settings.dat as the program left it: whole, version 2, the given layout and option.
void ExpectSettingsFile(const std::string& folder, const std::string& layoutPath, const LayoutBlock& layout,
                        uint32_t allowSoftwarePosition)
{
    SettingsBlock written;
    ASSERT_TRUE(ReadBlockFile(folder + "settings.dat", &written));
    EXPECT_EQ(written.settingsVersion, kSettingsVersion);
    EXPECT_EQ(std::string(written.layoutPath, strnlen(written.layoutPath, kPathFieldSize)), layoutPath);
    EXPECT_EQ(Paths(written.layout), Paths(layout));
    EXPECT_EQ(written.allowSoftwarePositionSelection, allowSoftwarePosition);
}

// Closes the window of a modified layout, answers "Save Layout?" with the button (Yes:
// into savePath through the save dialog), and expects the program to end cleanly.
void CloseModified(ProgramRun& program, HWND main, int button, const std::string& savePath = "")
{
    PostCommand(main, IDCANCEL);
    EXPECT_EQ(AnswerMessageBox(program.processId(), "Save Layout?", button, kAnswerMs), "Layout Modified, Save?");
    if (!savePath.empty()) {
        EXPECT_TRUE(AnswerFileDialog(program.processId(), "Select File...", savePath.c_str(), kAnswerMs));
    }
    DWORD code = 1;
    ASSERT_TRUE(program.WaitForExit(kExitMs, &code)) << "the program did not end after Close";
    EXPECT_EQ(code, 0u);
}

// The file's 256 KB image with the record an upload or a save stamps: the given path, the
// file's size and bank order, and the upload time (the program's own clock) of the record
// at `at` in `stamped`.
std::vector<uint8_t> StampedImage(const std::string& file, const std::string& path,
                                  const std::vector<uint8_t>& stamped, size_t at)
{
    const std::vector<uint8_t> bytes = ReadWholeFile(file);
    std::vector<uint8_t> image(kTuneImageSize, 0xFF);
    BankOrder order = kBankOrderUnknown;
    RecogniseTuneFile(bytes.data(), uint32_t(bytes.size()), image.data(), kTuneImageSize, &order);
    TuneMetadata record, found;
    memcpy(&record, &image[kMetadataOffset], sizeof record);
    memcpy(&found, &stamped[at], sizeof found);
    StampMetadata(&record, path.c_str(), uint32_t(bytes.size()), order);
    EXPECT_TRUE(UploadTimePresent(found.uploadTime)) << path;
    record.uploadTime = found.uploadTime;
    memcpy(&image[kMetadataOffset], &record, sizeof record);
    return image;
}

// Puts into `expected` what a write of the position's file leaves there, as found in
// `memory`.
void PlaceWritten(std::vector<uint8_t>& expected, const LayoutBlock& layout, int position,
                  const std::vector<uint8_t>& memory)
{
    const std::string path = layout.positionPaths[position].path;
    const size_t start = size_t(position) * kTuneImageSize;
    memcpy(&expected[start], StampedImage(path, path, memory, start + kMetadataOffset).data(), kTuneImageSize);
}

// "" when the two are the same bytes, else where they first differ.
std::string FirstDifference(const std::vector<uint8_t>& actual, const std::vector<uint8_t>& expected)
{
    if (actual.size() != expected.size())
        return std::to_string(actual.size()) + " bytes instead of " + std::to_string(expected.size());
    const size_t at = std::mismatch(actual.begin(), actual.end(), expected.begin()).first - actual.begin();
    char text[32];
    snprintf(text, sizeof text, "at 0x%zX", at);
    return at == actual.size() ? "" : text;
}

// The box is never empty once the query has written to it, but a read can come back
// empty while a message box of the program goes away.
size_t StatusLength(HWND main)
{
    std::string text;
    WaitUntil([&] { return !(text = ControlText(main, IDC_STATUS_BOX)).empty(); }, kAnswerMs);
    return text.size();
}

// Waits until the lines added to the status box since it was statusBefore characters long
// end in lastLine and the window takes commands again (a job writes its last line before
// it reports); returns those lines, which tell of no failure.
std::string WaitForOutcome(HWND main, size_t statusBefore, const std::string& lastLine)
{
    std::string added;
    WaitUntil(
        [&] {
            const std::string text = ControlText(main, IDC_STATUS_BOX);
            added = text.size() > statusBefore ? text.substr(statusBefore) : "";
            return added.size() >= lastLine.size() &&
                   added.compare(added.size() - lastLine.size(), lastLine.size(), lastLine) == 0 &&
                   ControlEnabled(main, IDC_WRITE_SELECTION);
        },
        kJobMs, 50);
    EXPECT_EQ(added.find("FAIL"), std::string::npos) << added;
    return added;
}

// Posts the command, answers Yes to each question as it comes, and waits for the outcome.
void RunJob(const ProgramRun& program, HWND main, int command, const std::string& lastLine,
            std::initializer_list<const char*> questions = {})
{
    const size_t before = StatusLength(main);
    PostCommand(main, command);
    for (const char* question : questions)
        EXPECT_NE(AnswerMessageBox(program.processId(), question, IDYES, kAnswerMs), "") << "no " << question;
    WaitForOutcome(main, before, lastLine);
}

} // namespace

// The demo device, with a layout of the 224 KB, 112 KB and 56 KB files in a layout file
// named on the command line, as Explorer opens one with the program; it takes the place
// of the demo layout that settings.dat reopens. The query reads every position and
// changes nothing; the selector,
// switched on from the menu, picks a position and Chip Off; Write, Verify and
// Erase Selection on the 112 KB file's position; the metadata editor saves that file under
// a new name with typed texts; Write All writes it and the others; Erase Device; closing
// without saving keeps the layout, its file and the option in settings.dat.
TEST(ProgramWithDevice, EveryDeviceCommandChangesExactlyWhatItNames)
{
    const std::string folder = FreshTestFolder("ProgramWithDevice");
    ASSERT_EQ(WriteDemoMaterial(folder, folder), "");
    SettingsBlock demo;
    BuildDemoSettings(folder, &demo);
    demo.allowSoftwarePositionSelection = 0;
    ASSERT_TRUE(WriteWholeFile(folder + "settings.dat", BytesOf(demo)));
    LayoutBlock layout = {};
    layout.layoutVersion = kLayoutVersion;
    for (int p : {kTrackPosition, kBanks18Position, kBank9Position})
        layout.positionPaths[p] = demo.layout.positionPaths[p];
    const std::string opened = folder + "open me.t6layout";
    ASSERT_TRUE(WriteWholeFile(opened, BytesOf(layout)));
    std::vector<uint8_t> expected = ReadWholeFile(folder + kDemoDeviceFile);

    SimSession sim;
    ProgramRun program;  // ended before the simulator
    ASSERT_TRUE(sim.Start(folder + "sim\\", 7, {"--memory", LinuxPathOf(folder + kDemoDeviceFile)})) << sim.Output();
    ASSERT_TRUE(program.Start(folder, "\"" + opened + "\""));
    HWND main = program.WaitForMainWindow(kWindowMs);
    ASSERT_NE(main, nullptr) << "no main window";
    const std::string ready = std::string("Hardware ready.\r\n") + kDescription;
    ASSERT_TRUE(WaitUntil(
        [&] { return ControlText(main, IDC_STATUS_BOX) == ready && ControlEnabled(main, IDC_WRITE_SELECTION); },
        kQueryMs))
        << ControlText(main, IDC_STATUS_BOX);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(main) == Title(kDescription, ' ', opened); }, kAnswerMs))
        << WindowText(main);
    auto memory = [&] { return sim.SaveMemory() ? ReadWholeFile(folder + kDemoDeviceFile) : std::vector<uint8_t>(); };
    std::vector<uint8_t> now = memory();
    EXPECT_EQ(FirstDifference(now, expected), "") << "after the query";
    HWND grid = GetDlgItem(main, IDC_POSITION_GRID);
    EXPECT_EQ(CopyGridCells(grid, 8, 2), GridText(layout, expected));
    // The device's record of the 224 KB file's position, and the file, which has none.
    ClickGridCell(grid, kTrackPosition + 1, 1);
    TuneMetadata records[kPositionCount];
    for (int p = 0; p < kPositionCount; ++p)
        records[p] = DemoDeviceRecord(expected, p);
    char deviceInfo[kInfoTextSize];
    BuildDeviceInfoText(records, kTrackPosition + 1, deviceInfo, sizeof deviceInfo);
    EXPECT_EQ(WaitForControlText(main, IDC_DEVICE_INFO_BOX, deviceInfo, kAnswerMs), deviceInfo);
    EXPECT_EQ(ControlText(main, IDC_FILE_INFO_BOX), "<no metadata found>");

    // The list holds positions 0 to 7, then "Chip Off"; each line tells that the device
    // took the choice.
    EXPECT_FALSE(ControlVisible(main, IDC_POSITION_SELECTOR));
    PostCommand(main, IDM_ALLOW_SOFTWARE_POSITION);
    EXPECT_TRUE(WaitUntil([&] { return ControlVisible(main, IDC_POSITION_SELECTOR); }, kAnswerMs));
    for (const auto& [index, line] : {std::pair<int, std::string>{3, "Position 3 selected"}, {8, "Chip Off selected"}}) {
        const size_t before = StatusLength(main);
        ChooseListEntry(main, IDC_POSITION_SELECTOR, index);
        EXPECT_EQ(WaitForOutcome(main, before, line), "\r\n" + line);
    }

    ClickGridCell(grid, kBanks18Position + 1, 1);
    RunJob(program, main, IDM_WRITE_SELECTION, "Upload succeeded.");
    now = memory();
    PlaceWritten(expected, layout, kBanks18Position, now);
    EXPECT_EQ(FirstDifference(now, expected), "") << "after Write Selection";
    RunJob(program, main, IDM_VERIFY_SELECTION, "Position 4 verify succeeded.");
    RunJob(program, main, IDM_ERASE_SELECTION, "Erasing position 4... OK");
    memset(&expected[kBanks18Position * kTuneImageSize], 0xFF, kTuneImageSize);
    EXPECT_EQ(FirstDifference(memory(), expected), "") << "after Verify and Erase Selection";

    PostCommand(main, IDC_EDIT_FILE_INFO);
    HWND editor = WaitForProcessWindow(program.processId(), "Tune File Metadata Editor", kAnswerMs);
    ASSERT_NE(editor, nullptr) << "no editor";
    const char kVersion[] = "2.1-e2e", kSummary[] = "Street tune, edited", kText[] = "Line one\r\nLine two";
    SetControlText(editor, IDC_EDITOR_VERSION, kVersion);
    SetControlText(editor, IDC_EDITOR_SUMMARY, kSummary);
    SetControlText(editor, IDC_EDITOR_DESCRIPTION, kText);
    PostCommand(editor, IDOK);
    const std::string saved = folder + "edited.bin";
    ASSERT_TRUE(AnswerFileDialog(program.processId(), "Choose output file...", saved.c_str(), kAnswerMs));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(editor); }, kAnswerMs)) << "the editor stayed open";
    // The saved file: the 112 KB file's image, with the typed texts and the save's stamp.
    const std::vector<uint8_t> savedBytes = ReadWholeFile(saved);
    ASSERT_EQ(savedBytes.size(), size_t(kTuneImageSize));
    std::vector<uint8_t> image =
        StampedImage(layout.positionPaths[kBanks18Position].path, saved, savedBytes, kMetadataOffset);
    TuneMetadata* record = reinterpret_cast<TuneMetadata*>(&image[kMetadataOffset]);
    memcpy(record->version, kVersion, sizeof kVersion);
    memcpy(record->summary, kSummary, sizeof kSummary);
    memcpy(record->description, kText, sizeof kText);
    EXPECT_EQ(FirstDifference(savedBytes, image), "") << "the saved file";

    // The row now names the saved file, a whole 256 KB image: Write All asks before it.
    snprintf(layout.positionPaths[kBanks18Position].path, kPathFieldSize, "%s", saved.c_str());
    RunJob(program, main, IDM_WRITE_ALL, "Upload succeeded.", {"Write All?", "Unknown File Format"});
    now = memory();
    for (int p : {kTrackPosition, kBanks18Position, kBank9Position})
        PlaceWritten(expected, layout, p, now);
    EXPECT_EQ(FirstDifference(now, expected), "") << "after Write All";
    const TuneMetadata onDevice = DemoDeviceRecord(now, kBanks18Position);
    EXPECT_TRUE(memcmp(onDevice.version, kVersion, sizeof kVersion) == 0 &&
                memcmp(onDevice.summary, kSummary, sizeof kSummary) == 0 &&
                memcmp(onDevice.description, kText, sizeof kText) == 0)
        << "the typed texts on the device";
    EXPECT_EQ(CopyGridCells(grid, 8, 2), GridText(layout, now));

    RunJob(program, main, IDM_ERASE_DEVICE, "Erasing device... OK", {"Erase Device?"});
    EXPECT_EQ(CopyGridCells(grid, 8, 2), GridText(layout));
    // The new file is a change of the layout; the option switched on is kept.
    CloseModified(program, main, IDNO);
    ExpectSettingsFile(folder, opened, layout, 1);
    ASSERT_TRUE(sim.Stop());
    EXPECT_EQ(FirstDifference(ReadWholeFile(folder + kDemoDeviceFile), std::vector<uint8_t>(kDemoDeviceSize, 0xFF)),
              "")
        << "after Erase Device";
}

// settings.dat of version 2, no layout file, ending 20 characters into position 2's path:
// the program starts with what it could keep (a layout file named on the command line
// that is not there leaves it so) and offers only what needs no device; "/log" before
// that name still writes the device log. The
// server offers the program's next patch version; answered No, so no browser is started, and
// the dialog stays with its check done. The layout, modified, is saved at closing through
// the save dialog, and settings.dat names the saved file.
TEST(ProgramWithoutDevice, KeepsWhatSettingsHoldChecksForAnUpdateAndSavesTheLayout)
{
    const std::string root = EnvironmentText("T6_UPDATE_ROOT");
    ASSERT_FALSE(root.empty()) << "run under scripts/with-ftp.sh";
    ASSERT_TRUE(CreateDirectoryA((root + "\\T5UP").c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    const std::string served = std::to_string(T6_VERSION_MAJOR) + "." + std::to_string(T6_VERSION_MINOR) + "." +
                               std::to_string(T6_VERSION_PATCH + 1) +
                               "\r\nhttp://127.0.0.1/t6/download.htm\r\nhttp://127.0.0.1/t6/notes.htm\r\n";
    ASSERT_TRUE(WriteWholeFile(root + "\\T5UP\\T6UD.TXT", std::vector<uint8_t>(served.begin(), served.end())));

    const std::string folder = FreshTestFolder("ProgramWithoutDevice");
    SettingsBlock demo;
    BuildDemoSettings(folder, &demo);
    demo.layoutPath[0] = '\0';
    std::vector<uint8_t> bytes = BytesOf(demo);
    bytes.resize(offsetof(SettingsBlock, layout.positionPaths[2]) + 20);
    ASSERT_TRUE(WriteWholeFile(folder + "settings.dat", bytes));
    LayoutBlock kept = {};
    kept.positionPaths[0] = demo.layout.positionPaths[0];
    kept.positionPaths[1] = demo.layout.positionPaths[1];
    memcpy(kept.positionPaths[2].path, demo.layout.positionPaths[2].path, 20);

    ProgramRun program;
    ASSERT_TRUE(program.Start(folder, "/log \"" + folder + "device log.txt\" " + folder + "missing.t6layout"));
    HWND main = program.WaitForMainWindow(kWindowMs);
    ASSERT_NE(main, nullptr) << "no main window";
    // The layout named on the command line is not there: said, and settings.dat's stays.
    EXPECT_EQ(AnswerMessageBox(program.processId(), "Layout Not Loaded", IDOK, kAnswerMs),
              "The layout was not loaded. This file could not be read as a layout:\n" + folder + "missing.t6layout");
    const char kNotFound[] = "Searching for hardware...\r\nHardware not found.";
    EXPECT_EQ(WaitForControlText(main, IDC_STATUS_BOX, kNotFound, kQueryMs), kNotFound);
    // The title reads "No Hardware" from the start, and the job writes its last line before
    // it reports: only the commands show that the window has handled the outcome.
    EXPECT_TRUE(WaitUntil([&] { return ControlEnabled(main, IDC_QUERY_DEVICE); }, kAnswerMs));
    EXPECT_FALSE(ControlEnabled(main, IDC_WRITE_SELECTION) || ControlVisible(main, IDC_POSITION_SELECTOR));
    EXPECT_EQ(WindowText(main), Title("No Hardware", ' '));
    HWND grid = GetDlgItem(main, IDC_POSITION_GRID);
    EXPECT_EQ(CopyGridCells(grid, 8, 2), GridText(kept));

    PostCommand(main, IDM_CHECK_UPDATE);
    HWND dialog = WaitForProcessWindow(program.processId(), "Check For Updates", kAnswerMs);
    ASSERT_NE(dialog, nullptr) << "no update dialog";
    PostCommand(dialog, IDC_UPDATE_CHECK);
    // The check waits 2 s before it deletes its copy of the file, then reports.
    EXPECT_EQ(AnswerMessageBox(program.processId(), "Update Available", IDNO, kQueryMs),
              "Update Is Available! Download?");
    // (Read at once, the text can come back empty while the question box goes away.)
    EXPECT_EQ(WaitForControlText(dialog, IDC_UPDATE_STATUS, "Update Available", kAnswerMs), "Update Available");
    EXPECT_FALSE(WaitUntil([&] { return !IsWindow(dialog); }, 500));
    EXPECT_FALSE(ControlEnabled(dialog, IDC_UPDATE_CHECK));
    PostCommand(dialog, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, kAnswerMs)) << "the dialog stayed open";

    ClickGridCell(grid, 1, 1);
    PostCommand(main, IDM_MOVE_DOWN);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(main) == Title("No Hardware", '*'); }, kAnswerMs));
    const std::string saved = folder + "saved.t6layout";
    CloseModified(program, main, IDYES, saved);
    std::swap(kept.positionPaths[0], kept.positionPaths[1]);
    ExpectSettingsFile(folder, saved, kept, 0);
    LayoutBlock written;
    ASSERT_TRUE(ReadBlockFile(saved, &written));
    EXPECT_EQ(written.layoutVersion, kLayoutVersion);
    EXPECT_EQ(Paths(written), Paths(kept));
    const std::vector<uint8_t> log = ReadWholeFile(folder + "device log.txt");
    EXPECT_EQ(std::string(log.begin(), log.end()).substr(0, 10), "KVSerial: ");
}
