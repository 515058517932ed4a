// The program as a user runs it without a device: t6utility.exe as a process of its own
// under Wine with no simulator anywhere, a settings.dat cut short, and Help > Check
// Internet for Update... against the real FTP server that scripts/with-ftp.sh starts
// (T6_UPDATE_HOST is in the program's environment).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "sim/demo/demo_material.h"
#include "tests/e2e/e2e_checks.h"
#include "tests/e2e/e2e_setup.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/window_driver.h"

// settings.dat of version 2, no layout file, ending 20 characters into position 2's path:
// the program starts with what it could keep and offers only what needs no device. The
// server offers 1.0.1 to the program's 1.0.0.1; answered No, so no browser is started, and
// the dialog stays with its check done. The layout, modified, is saved at closing through
// the save dialog, and settings.dat names the saved file.
TEST(ProgramWithoutDevice, KeepsWhatSettingsHoldChecksForAnUpdateAndSavesTheLayout)
{
    const std::string root = EnvironmentText("T6_UPDATE_ROOT");
    ASSERT_FALSE(root.empty()) << "run under scripts/with-ftp.sh";
    ASSERT_TRUE(CreateDirectoryA((root + "\\T5UP").c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    const std::string served = "1.0.1\r\nhttp://127.0.0.1/t6/download.htm\r\nhttp://127.0.0.1/t6/notes.htm\r\n";
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
    ASSERT_TRUE(program.Start(folder));
    HWND main = program.WaitForMainWindow(kWindowMs);
    ASSERT_NE(main, nullptr) << "no main window";
    const char kNotFound[] = "Searching for hardware...\r\nHardware not found.";
    EXPECT_EQ(WaitForControlText(main, IDC_STATUS_BOX, kNotFound, kQueryMs), kNotFound);
    // The title reads "No Hardware" from the start, and the job writes its last line before
    // it reports: only the commands show that the window has handled the outcome.
    EXPECT_TRUE(WaitUntil([&] { return ControlEnabled(main, IDC_QUERY_DEVICE); }, kAnswerMs));
    EXPECT_FALSE(ControlEnabled(main, IDC_WRITE_SELECTION) || ControlVisible(main, IDC_POSITION_SELECTOR));
    EXPECT_EQ(WindowText(main), Title("No Hardware", ' '));
    HWND grid = GetDlgItem(main, IDC_POSITION_GRID);
    EXPECT_EQ(CopyGridCells(grid, 8, 2), GridText(kept, nullptr));

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
}
