// The update dialog against real FTP servers (scripts/with-ftp.sh): the dialog runs
// modally on the test's thread while a driver thread presses its buttons and answers its
// question. The served folder's contents change from case to case; only the browser
// launch is replaced, so the pages that would have been opened are kept and checked.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/app_state.h"
#include "app/update_check.h"
#include "app/update_dialog.h"
#include "app/web_page.h"
#include "resources/resource.h"
#include "tests/support/dialog_driver.h"
#include "tests/tune/temp_folder.h"

namespace {

struct OpenedPage {
    std::string folder;
    std::string text;
};
std::vector<OpenedPage> g_pages;

void KeepPage(HWND, const char* pagePath, const char* folder)
{
    std::ifstream in(pagePath, std::ios::binary);
    g_pages.push_back({folder, std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())});
}

std::string Environment(const char* name)
{
    const char* value = getenv(name);
    return value != nullptr ? value : "";
}

std::string WorkFolder()
{
    char folder[MAX_PATH + 1];
    UpdateWorkFolder(folder, sizeof folder);
    return folder;
}

bool StillChecking(const std::string& status)
{
    return status.empty() || status == "Connecting..." || status == "Getting Version Info..." ||
           status.rfind("Latest Version: ", 0) == 0;
}

// What one run of the dialog showed.
struct Seen {
    std::string status;     // once the worker had finished
    bool buttonEnabled = true;
    std::string question;   // the "Update Available" box's text, when it came
    bool closedItself = false;
};

class UpdateCheckTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { SetPageOpener(KeepPage); }
    static void TearDownTestSuite() { SetPageOpener(nullptr); }

    void SetUp() override
    {
        root_ = Environment("T6_UPDATE_ROOT");
        ASSERT_FALSE(root_.empty()) << "run under scripts/with-ftp.sh";
        owner_ = CreateWindowExA(0, "STATIC", "Update check test", WS_OVERLAPPEDWINDOW, 100, 100, 600,
                                 400, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        g_app.mainWindow = owner_;
        g_pages.clear();
        std::filesystem::create_directories(Directory());
    }
    void TearDown() override
    {
        g_app.mainWindow = nullptr;
        DestroyWindow(owner_);
        std::filesystem::remove(LocalCopy());
    }

    std::filesystem::path Directory() const { return std::filesystem::path(root_) / "T5UP"; }
    std::filesystem::path ServedFile() const { return Directory() / "T6UD.TXT"; }
    static std::string LocalCopy() { return WorkFolder() + "T6UD.TXT"; }

    void Serve(const std::string& bytes)
    {
        std::filesystem::remove_all(ServedFile());
        std::ofstream(ServedFile(), std::ios::binary) << bytes;
    }

    // Opens the dialog, presses "Check For Updates", answers the question with `answer`
    // when one is expected, and closes the dialog unless it closed itself.
    Seen Check(int answer = 0)
    {
        Seen seen;
        std::thread driver([&] {
            HWND dialog = WaitForWindow("Check For Updates", IDC_UPDATE_STATUS);
            if (dialog == nullptr)
                return;
            PressButton(dialog, IDC_UPDATE_CHECK);
            WaitUntil([&] { return !IsWindowEnabled(GetDlgItem(dialog, IDC_UPDATE_CHECK)); });
            if (answer != 0) {
                HWND box = WaitForWindow("Update Available", 0xFFFF);
                if (box == nullptr)
                    return;
                seen.question = ControlText(box, 0xFFFF);
                seen.status = ControlText(dialog, IDC_UPDATE_STATUS);
                seen.buttonEnabled = IsWindowEnabled(GetDlgItem(dialog, IDC_UPDATE_CHECK));
                PressButton(box, answer);
            } else {
                // The worker has let go of the record; its completion message, the only
                // time a "not found" is shown, follows.
                WaitUntil([&] { return LiveUpdateChecks() == 1; }, 30000);
                WaitUntil([&] { return !StillChecking(ControlText(dialog, IDC_UPDATE_STATUS)); });
                seen.status = ControlText(dialog, IDC_UPDATE_STATUS);
                seen.buttonEnabled = IsWindowEnabled(GetDlgItem(dialog, IDC_UPDATE_CHECK));
            }
            seen.closedItself = WaitUntil([&] { return !IsWindow(dialog); }, answer == IDYES ? 10000 : 200);
            if (!seen.closedItself)
                PressButton(dialog, IDCANCEL);
        });
        ShowUpdateDialog();
        driver.join();
        EXPECT_TRUE(WaitUntil([] { return LiveUpdateChecks() == 0; })) << "the record outlived its worker";
        return seen;
    }

    std::string root_;
    HWND owner_ = nullptr;
};

} // namespace

// The program is 1.0.0.1 (its version block); only newer versions offer the download.
// Only what the server sends now is read: an earlier copy in the work folder, which would
// offer 9.9.9, is deleted before the download, and a download that fails is an error.
TEST_F(UpdateCheckTest, EveryOutcomeOfTheServer)
{
    struct Case {
        const char* served;  // nullptr: no update file; "-": no T5UP folder either; "/": a folder
        const char* status;  // a prefix for texts that end in a system error code
        const char* host;    // nullptr: the server
        bool staleCopy;
    };
    const Case cases[] = {
        {"1.0.0\nhttp://t6.example/no\n", "This version is the latest.", nullptr, true},
        {"", "Invalid update information file.", nullptr, false},
        {nullptr, "Could not find update information file.", nullptr, false},
        {"-", "Cannot set directory to T5UP ", nullptr, false},
        {"/", "Error Opening File: ", nullptr, true},  // listed, but it cannot be sent
        {"2\n", "InternetConnect error 0x", "127.0.0.3", false},  // nothing listens there
    };
    const std::string server = Environment("T6_UPDATE_HOST");
    for (const Case& c : cases) {
        const std::string served = c.served != nullptr ? c.served : "";
        std::filesystem::remove_all(Directory());
        if (served != "-")
            std::filesystem::create_directories(served == "/" ? ServedFile() : Directory());
        if (served == "/")
            std::ofstream(ServedFile() / "gone", std::ios::binary) << "1";
        else if (c.served != nullptr && served != "-")
            Serve(served);
        if (c.staleCopy)
            std::ofstream(LocalCopy(), std::ios::binary) << "9.9.9\nhttp://t6.example/stale\n";
        _putenv(("T6_UPDATE_HOST=" + (c.host != nullptr ? std::string(c.host) : server)).c_str());
        Seen seen = Check();
        EXPECT_EQ(seen.status.substr(0, strlen(c.status)), c.status) << (c.served ? c.served : "no file");
        EXPECT_FALSE(seen.buttonEnabled) << "a dialog checks once";
        EXPECT_TRUE(g_pages.empty());
        EXPECT_FALSE(std::filesystem::exists(LocalCopy()));
    }
    _putenv(("T6_UPDATE_HOST=" + server).c_str());
}

// A newer version asks; Yes opens the third line's page, then the second's, each in the
// user's temporary folder, and closes the dialog. An address that is not a web address
// opens nothing, and one that is is escaped in the page.
TEST_F(UpdateCheckTest, DownloadPagesOpenedOnYes)
{
    const std::string crafted = "http://t6.example/get?a=1&b=\"><script>alert('x')</script>%20";
    Serve("1.0.1\n" + crafted + "\nhttps://t6.example/third\n");
    Seen seen = Check(IDYES);
    EXPECT_EQ(seen.question, "Update Is Available! Download?");
    EXPECT_EQ(seen.status, "Update Available");
    EXPECT_TRUE(seen.closedItself);
    ASSERT_EQ(g_pages.size(), 2u);
    EXPECT_NE(g_pages[0].text.find("content=\"1; URL=https://t6.example/third\r\n\">\r\n"), std::string::npos)
        << g_pages[0].text;
    EXPECT_NE(g_pages[1].text.find("URL=http://t6.example/get?a=1&amp;b=&quot;&gt;&lt;script&gt;alert(&#39;x&#39;)"
                                   "&lt;/script&gt;%20\r\n\">"),
              std::string::npos)
        << g_pages[1].text;
    for (const OpenedPage& page : g_pages) {
        EXPECT_EQ(page.folder, WorkFolder());
        EXPECT_EQ(page.text.rfind("<html>\r\n<head>\r\n<title>Launching Web Site ...</title>\r\n", 0), 0u);
    }
    EXPECT_FALSE(std::filesystem::exists(WorkFolder() + "temp.htm"));

    // "1..1" is 1.1.0; of its lines only web addresses open.
    Serve("1..1\njavascript:alert(1)\nfile:///C:/windows/notepad.exe\n");
    g_pages.clear();
    seen = Check(IDYES);
    EXPECT_TRUE(seen.closedItself);
    EXPECT_TRUE(g_pages.empty());

    // No stays in the dialog, with nothing opened.
    Serve("2");
    seen = Check(IDNO);
    EXPECT_EQ(seen.status, "Update Available");
    EXPECT_FALSE(seen.closedItself);
    EXPECT_TRUE(g_pages.empty());
}

// Closing the dialog while the worker is still connecting (the slow server greets after
// 5 s) leaves the record to the worker, which skips the remaining steps, closes its
// handles and frees it.
TEST_F(UpdateCheckTest, ClosingDuringTheCheckLeavesTheRecordToTheWorker)
{
    Serve("2\nhttp://t6.example/\n");
    const std::string host = Environment("T6_UPDATE_HOST");
    _putenv(("T6_UPDATE_HOST=" + Environment("T6_SLOW_UPDATE_HOST")).c_str());
    int liveAfterClose = -1;
    std::thread driver([&] {
        HWND dialog = WaitForWindow("Check For Updates", IDC_UPDATE_STATUS);
        if (dialog == nullptr)
            return;
        PressButton(dialog, IDC_UPDATE_CHECK);
        WaitUntil([&] { return ControlText(dialog, IDC_UPDATE_STATUS) == "Connecting..."; });
        Sleep(500);
        PressButton(dialog, IDCANCEL);
        WaitUntil([&] { return !IsWindow(dialog); });
        liveAfterClose = LiveUpdateChecks();
    });
    ShowUpdateDialog();
    driver.join();
    _putenv(("T6_UPDATE_HOST=" + host).c_str());
    EXPECT_EQ(liveAfterClose, 1) << "the worker still holds the record";
    EXPECT_TRUE(WaitUntil([] { return LiveUpdateChecks() == 0; }, 20000));
    // Its connection is closed: the server sees the client go while the test still runs.
    std::string commands;
    WaitUntil([&] {
        std::ifstream log(Environment("T6_SLOW_FTP_LOG"));
        commands.assign(std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>());
        return commands.find("DISCONNECT") != std::string::npos;
    });
    EXPECT_EQ(commands, "USER\nPASS\nDISCONNECT\n");
    EXPECT_FALSE(std::filesystem::exists(LocalCopy()));
}
