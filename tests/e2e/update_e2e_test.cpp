// The update check as a user meets it: Help > Check Internet for Update... in the running
// program, against the real FTP server that scripts/with-ftp.sh starts (T6_UPDATE_HOST is
// in the program's environment). Answered No, so no browser is started.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/e2e/e2e_checks.h"
#include "tests/e2e/e2e_setup.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/window_driver.h"

// The program is 1.0.0.1; the server offers 1.0.1 with two download pages.
TEST(ProgramUpdateCheck, OffersTheNewerVersionAndStaysWhenTheUserSaysNo)
{
    const std::string root = EnvironmentText("T6_UPDATE_ROOT");
    ASSERT_FALSE(root.empty()) << "run under scripts/with-ftp.sh";
    ASSERT_TRUE(CreateDirectoryA((root + "\\T5UP").c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    const std::string served = "1.0.1\r\nhttp://127.0.0.1/t6/download.htm\r\nhttp://127.0.0.1/t6/notes.htm\r\n";
    ASSERT_TRUE(WriteWholeFile(root + "\\T5UP\\T6UD.TXT", std::vector<uint8_t>(served.begin(), served.end())));

    const std::string folder = FreshTestFolder(TestName());
    ProgramRun program;
    ASSERT_TRUE(program.Start(folder));
    HWND main = program.WaitForMainWindow(kWindowMs);
    ASSERT_NE(main, nullptr) << "no main window";
    const char kNotFound[] = "Searching for hardware...\r\nHardware not found.";
    EXPECT_EQ(WaitForControlText(main, IDC_STATUS_BOX, kNotFound, kQueryMs), kNotFound);

    PostCommand(main, IDM_CHECK_UPDATE);
    HWND dialog = WaitForProcessWindow(program.processId(), "#32770", "Check For Updates", true, kAnswerMs);
    ASSERT_NE(dialog, nullptr) << "no update dialog";
    PostCommand(dialog, IDC_UPDATE_CHECK);
    // The check waits 2 s before it deletes its copy of the file, then reports.
    MessageBoxAnswer asked = AnswerMessageBox(program.processId(), "Update Available", "No", kQueryMs);
    EXPECT_TRUE(asked.found);
    EXPECT_EQ(asked.text, "Update Is Available! Download?");
    // No keeps the dialog open, its check done. (Read at once, the text can come back
    // empty while the question box goes away.)
    EXPECT_EQ(WaitForControlText(dialog, IDC_UPDATE_STATUS, "Update Available", kAnswerMs), "Update Available");
    EXPECT_FALSE(WaitUntil([&] { return !IsWindow(dialog); }, 500));
    EXPECT_FALSE(ControlEnabled(dialog, IDC_UPDATE_CHECK));

    PostCommand(dialog, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, kAnswerMs)) << "the dialog stayed open";
    CloseAndExpectExit(program, main);
}
