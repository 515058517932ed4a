// The update dialog against real FTP servers (scripts/with-ftp.sh): the dialog runs
// modally on the test's thread while a driver thread presses its buttons and answers its
// question. The served folder's contents change from case to case; only the browser
// launch is replaced, so the pages that would have been opened are kept and checked.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/app_state.h"
#include "app/update_check.h"
#include "app/update_dialog.h"
#include "app/web_page.h"
#include "resources/resource.h"
#include "tests/support/dialog_driver.h"

namespace {

std::vector<std::string> g_pages;  // "FOLDER|TEXT" of each page the dialog opened

void KeepPage(HWND, const char* pagePath, const char* folder)
{
    std::ifstream in(pagePath, std::ios::binary);
    g_pages.push_back(std::string(folder) + "|" + std::string(std::istreambuf_iterator<char>(in), {}));
}

// The worker's WinINet calls in order, made for real, with the handle each close is for.
std::mutex g_ftpLock;
std::string g_ftpCalls;
std::map<HINTERNET, std::string> g_handleNames;

void Note(const std::string& call)
{
    std::lock_guard<std::mutex> lock(g_ftpLock);
    g_ftpCalls += (g_ftpCalls.empty() ? "" : ", ") + call;
}
HINTERNET Named(HINTERNET handle, const char* call, const char* name)
{
    Note(call);
    std::lock_guard<std::mutex> lock(g_ftpLock);
    g_handleNames[handle] = name;
    return handle;
}
HINTERNET WINAPI Open(LPCSTR agent, DWORD access, LPCSTR proxy, LPCSTR bypass, DWORD flags)
{
    return Named(InternetOpenA(agent, access, proxy, bypass, flags), "open", "session");
}
HINTERNET WINAPI Connect(HINTERNET session, LPCSTR host, INTERNET_PORT port, LPCSTR user, LPCSTR password,
                         DWORD service, DWORD flags, DWORD_PTR context)
{
    return Named(InternetConnectA(session, host, port, user, password, service, flags, context), "connect", "server");
}
BOOL WINAPI SetDirectory(HINTERNET server, LPCSTR directory)
{
    Note("cd");
    return FtpSetCurrentDirectoryA(server, directory);
}
HINTERNET WINAPI FindFirst(HINTERNET server, LPCSTR pattern, LPWIN32_FIND_DATAA found, DWORD flags,
                           DWORD_PTR context)
{
    return Named(FtpFindFirstFileA(server, pattern, found, flags, context), "find", "find");
}
BOOL WINAPI GetFile(HINTERNET server, LPCSTR remote, LPCSTR local, BOOL failIfExists, DWORD attributes, DWORD flags,
                    DWORD_PTR context)
{
    Note("get");
    return FtpGetFileA(server, remote, local, failIfExists, attributes, flags, context);
}
BOOL WINAPI Close(HINTERNET handle)
{
    std::unique_lock<std::mutex> lock(g_ftpLock);
    const std::string name = g_handleNames[handle];
    lock.unlock();
    Note("close " + name);
    return InternetCloseHandle(handle);
}
const UpdateFtpCalls kRecordedFtpCalls = {Open, Connect, SetDirectory, FindFirst, GetFile, Close};

// Each text the dialog's status line was given, marked when a thread other than the
// dialog's set it: the worker may find the dialog gone, so it never touches its windows.
std::vector<std::string> g_statusTexts;
WNDPROC g_statusProc = nullptr;

LRESULT CALLBACK RecordStatus(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT)
        g_statusTexts.push_back(std::string(InSendMessage() ? "from another thread: " : "") +
                                reinterpret_cast<const char*>(lParam));
    return CallWindowProcA(g_statusProc, window, message, wParam, lParam);
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

class UpdateCheckTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        SetPageOpener(KeepPage);
        SetUpdateFtpCalls(&kRecordedFtpCalls);
    }
    static void TearDownTestSuite()
    {
        SetPageOpener(nullptr);
        SetUpdateFtpCalls(nullptr);
    }

    void SetUp() override
    {
        ASSERT_FALSE(Environment("T6_UPDATE_ROOT").empty()) << "run under scripts/with-ftp.sh";
        owner_ = CreateWindowExA(0, "STATIC", "Update check test", WS_OVERLAPPEDWINDOW, 100, 100, 600, 400, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        g_app.mainWindow = owner_;
        g_pages.clear();
        g_ftpCalls.clear();
        std::filesystem::create_directories(directory_);
    }
    void TearDown() override
    {
        g_app.mainWindow = nullptr;
        DestroyWindow(owner_);
        std::filesystem::remove(LocalCopy());
        _putenv(("T6_UPDATE_HOST=" + host_).c_str());
    }

    static std::string LocalCopy() { return WorkFolder() + "T6UD.TXT"; }
    void Serve(const std::string& bytes)
    {
        std::filesystem::remove_all(served_);
        std::ofstream(served_, std::ios::binary) << bytes;
    }

    // Opens the dialog, presses "Check For Updates" and answers the question, when it comes,
    // with `answer`. What the dialog showed: "button enabled; " when it would check again,
    // "asked "QUESTION"; ", "closed; " when it closed itself, then its status.
    std::string Check(int answer = IDNO)
    {
        std::string seen;
        std::thread driver([&] {
            HWND dialog = WaitForWindow("Check For Updates", IDC_UPDATE_STATUS);
            if (dialog == nullptr)
                return;
            g_statusProc = WNDPROC(SetWindowLongPtrA(GetDlgItem(dialog, IDC_UPDATE_STATUS), GWLP_WNDPROC,
                                                     LONG_PTR(RecordStatus)));
            PressButton(dialog, IDC_UPDATE_CHECK);
            // The worker lets go of the record before its completion message, the only time
            // a "not found" is shown, arrives.
            std::string status;
            WaitUntil([&] {
                status = ControlText(dialog, IDC_UPDATE_STATUS);
                return LiveUpdateChecks() == 1 && !StillChecking(status);
            }, 30000);
            seen = IsWindowEnabled(GetDlgItem(dialog, IDC_UPDATE_CHECK)) ? "button enabled; " : "";
            if (status == "Update Available") {
                HWND box = WaitForWindow("Update Available", 0xFFFF);
                if (box == nullptr)
                    return;
                seen += "asked \"" + ControlText(box, 0xFFFF) + "\"; ";
                PressButton(box, answer);
            }
            if (WaitUntil([&] { return !IsWindow(dialog); }, answer == IDYES ? 10000 : 200))
                seen += "closed; ";
            else
                PressButton(dialog, IDCANCEL);
            seen += status;
        });
        g_statusTexts.clear();
        ShowUpdateDialog();
        driver.join();
        EXPECT_TRUE(WaitUntil([] { return LiveUpdateChecks() == 0; })) << "the record outlived its worker";
        EXPECT_FALSE(g_statusTexts.empty());
        for (const std::string& text : g_statusTexts)
            EXPECT_EQ(text.find("from another thread"), std::string::npos) << text;
        return seen;
    }

    const std::string host_ = Environment("T6_UPDATE_HOST");
    const std::filesystem::path directory_ = std::filesystem::path(Environment("T6_UPDATE_ROOT")) / "T5UP";
    const std::filesystem::path served_ = directory_ / "T6UD.TXT";
    HWND owner_ = nullptr;
};

} // namespace

// The program is 1.0.0.1 (its version block); only newer versions offer the download.
// Only what the server sends now is read: an earlier copy in the work folder, which would
// offer 9.9.9, is deleted before the download, and a download that fails is an error.
// Every handle is closed, and the listing's before the download: WinINet on Windows runs
// one FTP operation at a time per session (Wine does not insist).
TEST_F(UpdateCheckTest, EveryOutcomeOfTheServer)
{
    const char* const fetched = "open, connect, cd, find, close find, get, close server, close session";
    const struct {
        const char* served;  // nullptr: no update file; "-": no T5UP folder either; "/": a folder
        const char* status;  // a prefix for texts that end in a system error code
        const char* host;    // nullptr: the server
        bool staleCopy;
        const char* calls;
    } cases[] = {
        {"1.0.0\nhttp://t6.example/no\n", "This version is the latest.", nullptr, true, fetched},
        {"", "Invalid update information file.", nullptr, false, fetched},
        {nullptr, "Could not find update information file.", nullptr, false,
         "open, connect, cd, find, close server, close session"},
        {"-", "Cannot set directory to T5UP ", nullptr, false, "open, connect, cd, close server, close session"},
        {"/", "Error Opening File: ", nullptr, true, fetched},  // listed, but it cannot be sent
        {"2\n", "InternetConnect error 0x", "127.0.0.3", false, "open, connect, close session"},  // nothing listens
    };
    for (const auto& c : cases) {
        const std::string served = c.served != nullptr ? c.served : "";
        std::filesystem::remove_all(directory_);
        if (served != "-")
            std::filesystem::create_directories(served == "/" ? served_ : directory_);
        if (served == "/")
            std::ofstream(served_ / "gone", std::ios::binary) << "1";
        else if (c.served != nullptr && served != "-")
            Serve(served);
        if (c.staleCopy)
            std::ofstream(LocalCopy(), std::ios::binary) << "9.9.9\nhttp://t6.example/stale\n";
        _putenv(("T6_UPDATE_HOST=" + std::string(c.host != nullptr ? c.host : host_)).c_str());
        g_ftpCalls.clear();
        EXPECT_EQ(Check().rfind(c.status, 0), 0u) << (c.served ? c.served : "no file");
        EXPECT_EQ(g_ftpCalls, c.calls) << (c.served ? c.served : "no file");
        EXPECT_TRUE(g_pages.empty());
        EXPECT_FALSE(std::filesystem::exists(LocalCopy()));
    }
}

// A newer version asks; Yes opens the pages of web addresses only, each in the user's
// temporary folder with the address escaped, and closes the dialog. No stays in it.
TEST_F(UpdateCheckTest, DownloadPagesOpenedOnYes)
{
    Serve("1..1\nfile:///C:/windows/notepad.exe\nhttps://t6.example/get?a=1&b=\"><script>'x'</script>\n");
    EXPECT_EQ(Check(IDYES), "asked \"Update Is Available! Download?\"; closed; Update Available");
    ASSERT_EQ(g_pages.size(), 1u);
    EXPECT_EQ(g_pages[0].rfind(WorkFolder() + "|<html>\r\n", 0), 0u) << g_pages[0];
    EXPECT_NE(g_pages[0].find("URL=https://t6.example/get?a=1&amp;b=&quot;&gt;&lt;script&gt;&#39;x&#39;&lt;/script&gt;"
                              "\r\n\">\r\n"),
              std::string::npos)
        << g_pages[0];
    EXPECT_FALSE(std::filesystem::exists(WorkFolder() + "temp.htm"));

    g_pages.clear();
    Serve("2");
    EXPECT_EQ(Check(IDNO), "asked \"Update Is Available! Download?\"; Update Available");
    EXPECT_TRUE(g_pages.empty());

    // A temp.htm that cannot be written, read-only or held open by another program, opens
    // no page: whatever it holds is never shown, and it stays as it was.
    Serve("2\nhttp://t6.example/new\n");
    const std::string page = WorkFolder() + "temp.htm";
    for (bool held : {false, true}) {
        g_pages.clear();
        std::ofstream(page, std::ios::binary) << "someone else's page";
        HANDLE holder = held ? CreateFileA(page.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                             : INVALID_HANDLE_VALUE;
        ASSERT_TRUE(held ? holder != INVALID_HANDLE_VALUE : SetFileAttributesA(page.c_str(), FILE_ATTRIBUTE_READONLY));
        EXPECT_EQ(Check(IDYES), "asked \"Update Is Available! Download?\"; closed; Update Available");
        EXPECT_TRUE(g_pages.empty()) << held;
        if (held)
            CloseHandle(holder);
        SetFileAttributesA(page.c_str(), FILE_ATTRIBUTE_NORMAL);
        std::ifstream in(page, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "someone else's page") << held;
        in.close();
        DeleteFileA(page.c_str());
    }
}

// Closing the dialog while the worker is still connecting (the slow server greets after
// 5 s) leaves the record to the worker, which skips the remaining steps, closes its
// handles and frees it.
TEST_F(UpdateCheckTest, ClosingDuringTheCheckLeavesTheRecordToTheWorker)
{
    Serve("2\nhttp://t6.example/\n");
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
