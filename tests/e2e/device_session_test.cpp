// The device as a user changes it from the window: writes, verifies and erases, the
// metadata editor's file written, and the position picked in the selector. After each
// step the simulator's memory (saved on request while the program keeps its port) must
// hold exactly what the step leaves: every other byte as it was.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "resources/resource.h"
#include "sim/demo/demo_material.h"
#include "tests/e2e/e2e_checks.h"
#include "tests/e2e/e2e_setup.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/sim_session.h"
#include "tests/e2e/window_driver.h"
#include "tests/support/trace_file.h"
#include "tune/metadata.h"
#include "tune/tune_image.h"

namespace {

// Positions of the demo layout: the 224 KB, 112 KB and 56 KB forms.
enum { kTrackPosition = 1, kBanks18Position = 4, kBank9Position = 6 };

// The start-up query has found the device and the window has handled its outcome: the
// job writes its last line before it reports, and until then a command is ignored.
bool WaitForReadyWindow(HWND main)
{
    return WaitUntil(
        [&] { return ControlText(main, IDC_STATUS_BOX) == kReady && ControlEnabled(main, IDC_WRITE_SELECTION); },
        kQueryMs);
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
// end in lastLine and the window takes commands again; returns those lines.
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
    return added;
}

// A job that asks nothing, from its menu command to its last line.
std::string RunJob(HWND main, int command, const std::string& lastLine)
{
    const size_t before = StatusLength(main);
    PostCommand(main, command);
    return WaitForOutcome(main, before, lastLine);
}

// The device's memory as it stands, through the simulator's save.
std::vector<uint8_t> DeviceMemory(SimSession& sim, const std::string& folder)
{
    if (!sim.SaveMemory())
        return {};
    return ReadWholeFile(folder + kDemoDeviceFile);
}

TuneMetadata RecordIn(const std::vector<uint8_t>& image, size_t at)
{
    TuneMetadata record;
    memcpy(&record, &image[at], sizeof record);
    return record;
}

// The file's 256 KB image with the record an upload or a save stamps: the given path, the
// file's size and bank order, and the time `stamped` carries, which is the program's own.
std::vector<uint8_t> StampedImage(const std::vector<uint8_t>& file, const std::string& path,
                                  const TuneMetadata& stamped)
{
    std::vector<uint8_t> image(kTuneImageSize, 0xFF);
    BankOrder order = kBankOrderUnknown;
    RecogniseTuneFile(file.data(), uint32_t(file.size()), image.data(), kTuneImageSize, &order);
    TuneMetadata record = RecordIn(image, kMetadataOffset);
    StampMetadata(&record, path.c_str(), uint32_t(file.size()), order);
    EXPECT_TRUE(UploadTimePresent(stamped.uploadTime)) << path;
    record.uploadTime = stamped.uploadTime;
    memcpy(&image[kMetadataOffset], &record, sizeof record);
    return image;
}

// What a write of the position's file leaves there, as found in `memory`.
std::vector<uint8_t> WrittenPosition(const LayoutBlock& layout, int position, const std::vector<uint8_t>& memory)
{
    const std::string path = layout.positionPaths[position].path;
    return StampedImage(ReadWholeFile(path), path, RecordIn(memory, position * kTuneImageSize + kMetadataOffset));
}

void Place(std::vector<uint8_t>& memory, int position, const std::vector<uint8_t>& image)
{
    memcpy(&memory[position * kTuneImageSize], image.data(), kTuneImageSize);
}

void Erase(std::vector<uint8_t>& memory, int position)
{
    memset(&memory[position * kTuneImageSize], 0xFF, kTuneImageSize);
}

std::vector<TuneMetadata> Records(const std::vector<uint8_t>& memory)
{
    std::vector<TuneMetadata> records;
    for (int p = 0; p < kPositionCount; ++p)
        records.push_back(DemoDeviceRecord(memory, p));
    return records;
}

std::string Field(const char* field, size_t size)
{
    return std::string(field, FieldLength(field, size));
}

// The demo material with the layout kept in settings.dat alone (no layout file), holding
// the given positions' files only.
SettingsBlock PrepareSession(const std::string& folder, std::initializer_list<int> keptPositions,
                             uint32_t allowSoftwarePosition)
{
    EXPECT_EQ(WriteDemoMaterial(folder, folder), "");
    SettingsBlock demo, settings;
    BuildDemoSettings(folder, &demo);
    settings = demo;
    settings.layoutPath[0] = '\0';
    memset(&settings.layout.positionPaths, 0, sizeof settings.layout.positionPaths);
    for (int p : keptPositions)
        settings.layout.positionPaths[p] = demo.layout.positionPaths[p];
    settings.allowSoftwarePositionSelection = allowSoftwarePosition;
    EXPECT_TRUE(WriteWholeFile(folder + "settings.dat", BytesOf(settings)));
    return settings;
}

// One session: the demo device, a layout of the 224 KB, 112 KB and 56 KB files kept in
// settings.dat with the software position option off, the simulator serving with a trace,
// and the program ready after its start-up query.
class DeviceSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = FreshTestFolder(TestName());
        settings_ = PrepareSession(folder_, {kTrackPosition, kBanks18Position, kBank9Position}, 0);
        expected_ = ReadWholeFile(folder_ + kDemoDeviceFile);
        trace_ = folder_ + "sim\\trace.txt";
        main_ = StartProgramWithDevice(
            folder_, {"--memory", LinuxPathOf(folder_ + kDemoDeviceFile), "--trace", LinuxPathOf(trace_)}, sim_,
            program_);
        ASSERT_NE(main_, nullptr);
        ASSERT_TRUE(WaitForReadyWindow(main_)) << ControlText(main_, IDC_STATUS_BOX);
        grid_ = GetDlgItem(main_, IDC_POSITION_GRID);
    }

    std::vector<uint8_t> Memory() { return DeviceMemory(sim_, folder_); }

    std::string folder_;
    SettingsBlock settings_ = {};
    std::vector<uint8_t> expected_;  // the device's memory as the steps so far must leave it
    std::string trace_;
    SimSession sim_;
    ProgramRun program_;  // ended before the simulator
    HWND main_ = nullptr;
    HWND grid_ = nullptr;
};

} // namespace

// Write Selection, Verify Selection and Erase Selection on the 112 KB file's position,
// Write All, then Erase Device: the device holds exactly the stamped images where files
// were written, and nothing else changes.
TEST_F(DeviceSession, WritesVerifiesAndErasesExactlyWhatTheCommandsName)
{
    ClickGridCell(grid_, kBanks18Position + 1, 1);
    EXPECT_EQ(RunJob(main_, IDM_WRITE_SELECTION, "Upload succeeded."),
              "\r\nUploading to position 4...\r\nErasing position 4... OK\r\nWriting data to position 4... OK\r\n"
              "Upload succeeded.");
    std::vector<uint8_t> memory = Memory();
    ASSERT_EQ(memory.size(), size_t(kDemoDeviceSize));
    Place(expected_, kBanks18Position, WrittenPosition(settings_.layout, kBanks18Position, memory));
    EXPECT_EQ(FirstDifference(memory, expected_), "") << "after Write Selection";

    EXPECT_NE(RunJob(main_, IDM_VERIFY_SELECTION, "Position 4 verify succeeded.").find("Verifying bank 9... OK"),
              std::string::npos);
    EXPECT_EQ(FirstDifference(Memory(), expected_), "") << "after Verify Selection";

    RunJob(main_, IDM_ERASE_SELECTION, "Erasing position 4... OK");
    Erase(expected_, kBanks18Position);
    EXPECT_EQ(FirstDifference(Memory(), expected_), "") << "after Erase Selection";

    size_t before = StatusLength(main_);
    PostCommand(main_, IDM_WRITE_ALL);
    EXPECT_TRUE(AnswerMessageBox(program_.processId(), "Write All?", "Yes", kAnswerMs).found);
    const std::string lines = WaitForOutcome(main_, before, "Upload succeeded.");
    EXPECT_EQ(lines.find("failed"), std::string::npos) << lines;
    memory = Memory();
    ASSERT_EQ(memory.size(), size_t(kDemoDeviceSize));
    for (int p : {kTrackPosition, kBanks18Position, kBank9Position})
        Place(expected_, p, WrittenPosition(settings_.layout, p, memory));
    EXPECT_EQ(FirstDifference(memory, expected_), "") << "after Write All";
    EXPECT_EQ(CopyGridCells(grid_, 8, 2), GridText(settings_.layout, Records(memory).data(), 8));

    before = StatusLength(main_);
    PostCommand(main_, IDM_ERASE_DEVICE);
    MessageBoxAnswer asked = AnswerMessageBox(program_.processId(), "Erase Device?", "Yes", kAnswerMs);
    EXPECT_TRUE(asked.found);
    EXPECT_EQ(asked.text, "Are you sure you want to erase the device?");
    WaitForOutcome(main_, before, "Erasing device... OK");
    EXPECT_EQ(CopyGridCells(grid_, 8, 2), GridText(settings_.layout, nullptr, 8));
    CloseAndExpectExit(program_, main_);

    ASSERT_TRUE(sim_.Stop());
    EXPECT_EQ(FirstDifference(ReadWholeFile(folder_ + kDemoDeviceFile), std::vector<uint8_t>(kDemoDeviceSize, 0xFF)),
              "")
        << "after Erase Device";
}

// The software position switched on from the menu, a position and then Chip Off chosen in
// it; then Edit File Info on the 112 KB file, saved under a new name with typed texts, and
// that file written. The device takes the bank and chip-enable frames, the saved file is
// the stamped 256 KB image, and the device holds it with the typed texts.
TEST_F(DeviceSession, SelectsThePositionAndWritesTheFileSavedByTheEditor)
{
    EXPECT_FALSE(ControlVisible(main_, IDC_POSITION_SELECTOR));
    PostCommand(main_, IDM_ALLOW_SOFTWARE_POSITION);
    EXPECT_TRUE(WaitUntil([&] { return ControlVisible(main_, IDC_POSITION_SELECTOR); }, kAnswerMs));
    // The list holds positions 0 to 7, then "Chip Off". The bank frame is "8S" with the
    // bank, the chip-enable frame "8M" with Y or N.
    const struct {
        int index;
        const char* line;
        std::vector<const char*> frames;
    } kChoices[] = {
        {3, "Position 3 selected", {"> 38 53 03 ", "> 38 4D 59 "}},
        {8, "Chip Off selected", {"> 38 4D 4E "}},
    };
    for (const auto& choice : kChoices) {
        const size_t before = StatusLength(main_);
        ChooseListEntry(main_, IDC_POSITION_SELECTOR, choice.index);
        EXPECT_EQ(WaitForOutcome(main_, before, choice.line), "\r\n" + std::string(choice.line));
        const std::vector<std::string> frames = ReadTraceFile(trace_.c_str());
        for (const char* frame : choice.frames) {
            bool taken = false;
            EXPECT_EQ(LastFrame(frames, std::string(frame, 7).c_str(), &taken).substr(0, 11), frame);
            EXPECT_TRUE(taken) << frame;
        }
    }

    ClickGridCell(grid_, kBanks18Position + 1, 1);
    PostCommand(main_, IDC_EDIT_FILE_INFO);
    HWND editor = WaitForProcessWindow(program_.processId(), "#32770", "Tune File Metadata Editor", true, kAnswerMs);
    ASSERT_NE(editor, nullptr) << "no editor";
    const char kVersion[] = "2.1-e2e", kSummary[] = "Street tune, edited", kDescription[] = "Line one\r\nLine two";
    SetControlText(editor, IDC_EDITOR_VERSION, kVersion);
    SetControlText(editor, IDC_EDITOR_SUMMARY, kSummary);
    SetControlText(editor, IDC_EDITOR_DESCRIPTION, kDescription);
    PostCommand(editor, IDOK);
    const std::string saved = folder_ + "edited.bin";
    ASSERT_TRUE(AnswerFileDialog(program_.processId(), "Choose output file...", saved.c_str(), kAnswerMs));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(editor); }, kAnswerMs)) << "the editor stayed open";

    // The saved file: the 112 KB file's image, with the typed texts and the save's stamp.
    const std::vector<uint8_t> savedBytes = ReadWholeFile(saved);
    ASSERT_EQ(savedBytes.size(), size_t(kTuneImageSize));
    const std::vector<uint8_t> file = ReadWholeFile(settings_.layout.positionPaths[kBanks18Position].path);
    std::vector<uint8_t> image = StampedImage(file, saved, RecordIn(savedBytes, kMetadataOffset));
    TuneMetadata record = RecordIn(image, kMetadataOffset);
    memcpy(record.version, kVersion, sizeof kVersion);
    memcpy(record.summary, kSummary, sizeof kSummary);
    memcpy(record.description, kDescription, sizeof kDescription);
    memcpy(&image[kMetadataOffset], &record, sizeof record);
    EXPECT_EQ(FirstDifference(savedBytes, image), "") << "the saved file";

    // The row now names the saved file: Write Selection writes it.
    snprintf(settings_.layout.positionPaths[kBanks18Position].path, kPathFieldSize, "%s", saved.c_str());
    const size_t before = StatusLength(main_);
    PostCommand(main_, IDM_WRITE_SELECTION);
    EXPECT_TRUE(AnswerMessageBox(program_.processId(), "Unknown File Format", "Yes", kAnswerMs).found);
    EXPECT_EQ(WaitForOutcome(main_, before, "Upload succeeded.").find("failed"), std::string::npos);
    const std::vector<uint8_t> memory = Memory();
    ASSERT_EQ(memory.size(), size_t(kDemoDeviceSize));
    Place(expected_, kBanks18Position, WrittenPosition(settings_.layout, kBanks18Position, memory));
    EXPECT_EQ(FirstDifference(memory, expected_), "") << "after writing the saved file";
    const TuneMetadata onDevice = DemoDeviceRecord(memory, kBanks18Position);
    EXPECT_EQ(Field(onDevice.version, sizeof onDevice.version), kVersion);
    EXPECT_EQ(Field(onDevice.summary, sizeof onDevice.summary), kSummary);
    EXPECT_EQ(Field(onDevice.description, sizeof onDevice.description), kDescription);
    EXPECT_EQ(CopyGridCells(grid_, 8, 2), GridText(settings_.layout, Records(memory).data(), 8));

    // The new file is a change of the layout; the option switched on is kept.
    PostCommand(main_, IDCANCEL);
    EXPECT_TRUE(AnswerMessageBox(program_.processId(), "Save Layout?", "No", kAnswerMs).found);
    DWORD code = 1;
    ASSERT_TRUE(program_.WaitForExit(kExitMs, &code));
    EXPECT_EQ(code, 0u);
    ExpectSettingsFile(folder_, "", settings_.layout, 1);
}
