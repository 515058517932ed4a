#include "tests/app/main_window_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "app/closing.h"
#include "app/command_state.h"
#include "app/main_window.h"
#include "app/message_loop.h"
#include "app/program_main.h"
#include "app/prompts.h"
#include "app/settings_file.h"
#include "tune/metadata.h"

namespace {

MainWindowTest* g_test = nullptr;

std::string Hex(unsigned value)
{
    char text[16];
    snprintf(text, sizeof text, "0x%X", value);
    return text;
}

} // namespace

// The seam's handlers reach the running test through g_test.
struct FakePrompts {
    static int Box(HWND owner, const char* text, const char* title, UINT type)
    {
        EXPECT_EQ(owner, g_app.mainWindow) << title;
        g_test->asked.push_back(std::string("box ") + title + "|" + text + "|" + Hex(type));
        if (g_test->boxAnswers.empty())
            return IDCANCEL;
        int answer = g_test->boxAnswers.front();
        g_test->boxAnswers.pop_front();
        return answer;
    }
    static BOOL Dialog(OPENFILENAMEA* dialog, int forSaving)
    {
        EXPECT_EQ(dialog->hwndOwner, g_app.mainWindow);
        EXPECT_EQ(dialog->Flags, DWORD(OFN_OVERWRITEPROMPT | OFN_CREATEPROMPT));
        const char* filter = dialog->lpstrFilter;
        g_test->asked.push_back(std::string(forSaving ? "save " : "open ") + dialog->lpstrTitle + "|" + filter + ";" +
                                (filter + strlen(filter) + 1) + "|" + dialog->lpstrDefExt);
        std::string answer;
        if (!g_test->dialogAnswers.empty()) {
            answer = g_test->dialogAnswers.front();
            g_test->dialogAnswers.pop_front();
        }
        if (answer.empty())
            return FALSE;
        snprintf(dialog->lpstrFile, dialog->nMaxFile, "%s", answer.c_str());
        return TRUE;
    }
    static void Url(HWND, const char* url) { g_test->asked.push_back(std::string("url ") + url); }
};

static const PromptHandlers kFakePrompts = {FakePrompts::Box, FakePrompts::Dialog, FakePrompts::Url};

const std::set<int> kAlwaysEnabled = {IDC_EDIT_FILE_INFO, IDCANCEL, IDM_LOAD_LAYOUT, IDM_EXIT};

std::set<int> With(std::set<int> ids)
{
    ids.insert(kAlwaysEnabled.begin(), kAlwaysEnabled.end());
    return ids;
}

const std::set<int> kReady = With({IDC_POSITION_GRID, IDC_MOVE_DOWN, IDC_MOVE_UP, IDC_BROWSE, IDC_QUERY_DEVICE,
                                   IDC_ERASE_ALL, IDC_ERASE_SELECTION, IDC_WRITE_ALL, IDC_WRITE_SELECTION,
                                   IDC_VERIFY_SELECTION, IDC_POSITION_SELECTOR, IDM_MOVE_DOWN, IDM_MOVE_UP,
                                   IDM_BROWSE, IDM_QUERY_DEVICE, IDM_ERASE_DEVICE, IDM_ERASE_SELECTION,
                                   IDM_WRITE_ALL, IDM_WRITE_SELECTION, IDM_VERIFY_SELECTION, IDM_VERIFY_ALL});
const std::set<int> kNoHardware = With({IDC_POSITION_GRID, IDC_MOVE_DOWN, IDC_MOVE_UP, IDC_BROWSE,
                                        IDC_QUERY_DEVICE, IDM_MOVE_DOWN, IDM_MOVE_UP, IDM_BROWSE,
                                        IDM_QUERY_DEVICE});

std::string Shortened(const std::string& path)
{
    char shown[260];
    ShortenPathForDisplay(path.c_str(), path.size() + 1, shown, sizeof shown);
    return shown;
}

void MainWindowTest::SetUp()
{
    static bool started = (StartUpProgram(GetModuleHandleA(nullptr), ""), true);
    (void)started;
    g_test = this;
    SetPromptHandlers(&kFakePrompts);
    accelerators_ = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    ASSERT_NE(accelerators_, nullptr);
    folder_ = tempFolder_.File("");

    char path[300];
    SettingsFilePath(path, sizeof path);
    settingsPath_ = path;
    hadSettings_ = GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
    savedSettings_ = ReadSettingsBytes();
    DeleteFileA(path);

    g_app.positionCount = 8;
    g_app.layoutModified = 0;
    g_app.deviceDescription[0] = '\0';
    memset(g_app.deviceMetadata, 0, sizeof g_app.deviceMetadata);
    memset(&g_settings, 0, sizeof g_settings);
}

void MainWindowTest::TearDown()
{
    if (g_app.mainWindow != nullptr) {
        PumpUntil([] { return !IsJobRunning(); });
        DestroyWindow(static_cast<HWND>(g_app.mainWindow));
    }
    // The window's end posts WM_QUIT; left in the queue it would end the next modal loop.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        ;
    g_app.channel.ClosePort();
    g_app.channel.portCandidates = nullptr;
    g_app.channel.portCandidateCount = 0;
    SetPromptHandlers(nullptr);
    g_test = nullptr;
    if (hadSettings_)
        WriteSettingsBytes(savedSettings_);
    else
        DeleteFileA(settingsPath_.c_str());
}

void MainWindowTest::WriteSettings(const SettingsBlock& settings)
{
    WriteSettingsBytes(std::string(reinterpret_cast<const char*>(&settings), sizeof settings));
}

void MainWindowTest::WriteSettingsBytes(const std::string& bytes)
{
    std::ofstream out(settingsPath_, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

std::string MainWindowTest::ReadSettingsBytes()
{
    Bytes bytes = ReadBytes(settingsPath_);
    return std::string(bytes.begin(), bytes.end());
}

void MainWindowTest::RealPrompts(bool real)
{
    SetPromptHandlers(real ? nullptr : &kFakePrompts);
}

void MainWindowTest::Create(bool hardware)
{
    static const char* candidate = nullptr;
    candidate = hardware ? getenv("T6_SIM_PORT") : "\\\\.\\COM199";
    ASSERT_NE(candidate, nullptr) << "run through scripts/with-sim.sh";
    g_app.channel.portCandidates = &candidate;
    g_app.channel.portCandidateCount = 1;
    ASSERT_EQ(CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOW), 1);
}

void MainWindowTest::Open(bool hardware)
{
    Create(hardware);
    ASSERT_TRUE(WaitForQuery());
}

void MainWindowTest::Close()
{
    boxAnswers = {IDNO};
    Command(IDCANCEL);
    boxAnswers.clear();
}

bool MainWindowTest::WaitForQuery()
{
    return PumpUntil([this] { return !IsJobRunning() && IsWindowEnabled(Grid()); });
}

void MainWindowTest::Pump(int milliseconds)
{
    DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message != WM_QUIT)
                HandleLoopMessage(&message, accelerators_);
        }
        if (milliseconds > 0)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < DWORD(milliseconds));
}

bool MainWindowTest::PumpUntil(const std::function<bool()>& done, int timeoutMs)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > DWORD(timeoutMs))
            return false;
        Pump();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    Pump();
    return true;
}

void MainWindowTest::Command(WORD id, WORD code, LPARAM lParam)
{
    SendMessageA(static_cast<HWND>(g_app.mainWindow), WM_COMMAND, MAKEWPARAM(id, code), lParam);
}

static void Deliver(UINT message, WPARAM wParam, LPARAM lParam, HACCEL accelerators)
{
    HWND focus = GetFocus();
    MSG msg = {};
    msg.hwnd = focus != nullptr ? focus : static_cast<HWND>(g_app.mainWindow);
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = GetTickCount();
    HandleLoopMessage(&msg, accelerators);
}

void MainWindowTest::Key(int virtualKey, bool control, bool shift)
{
    BYTE keys[256] = {};
    if (control)
        keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
    if (shift)
        keys[VK_SHIFT] = keys[VK_LSHIFT] = 0x80;
    SetKeyboardState(keys);
    Deliver(WM_KEYDOWN, WPARAM(virtualKey), 1, accelerators_);
    Deliver(WM_KEYUP, WPARAM(virtualKey), LPARAM(0xC0000001), accelerators_);
    BYTE none[256] = {};
    SetKeyboardState(none);
}

void MainWindowTest::Char(char c)
{
    Deliver(WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 1, accelerators_);
}

void MainWindowTest::AltChar(char c)
{
    BYTE keys[256] = {};
    keys[VK_MENU] = keys[VK_LMENU] = 0x80;
    SetKeyboardState(keys);
    // Bit 29: the Alt key is down, as TranslateMessage marks a WM_SYSCHAR.
    Deliver(WM_SYSCHAR, WPARAM(static_cast<unsigned char>(c)), LPARAM(0x20000001), accelerators_);
    BYTE none[256] = {};
    SetKeyboardState(none);
}

std::string MainWindowTest::Title() const
{
    char text[300] = "";
    GetWindowTextA(static_cast<HWND>(g_app.mainWindow), text, sizeof text);
    return text;
}

std::string MainWindowTest::Text(int id) const
{
    char text[4096] = "";
    GetWindowTextA(Control(id), text, sizeof text);
    return text;
}

std::string MainWindowTest::Cell(int row, int column) const
{
    char text[512] = "";
    GridGetCellText(text, sizeof text, Grid(), row, column);
    return text;
}

int MainWindowTest::CurrentRow() const
{
    return int(SendMessageA(Grid(), GCM_GETCURROW, 0, 0));
}

bool MainWindowTest::MenuState(int id, UINT flags) const
{
    UINT state = GetMenuState(GetMenu(static_cast<HWND>(g_app.mainWindow)), UINT(id), MF_BYCOMMAND);
    return state != UINT(-1) && (state & flags) != 0;
}

std::set<int> MainWindowTest::EnabledCommands() const
{
    static const int kButtons[] = {IDC_POSITION_GRID, IDC_MOVE_DOWN,      IDC_MOVE_UP,          IDC_BROWSE,
                                   IDC_QUERY_DEVICE,  IDC_ERASE_ALL,      IDC_ERASE_SELECTION,  IDC_WRITE_ALL,
                                   IDC_WRITE_SELECTION, IDC_VERIFY_SELECTION, IDC_POSITION_SELECTOR,
                                   IDC_EDIT_FILE_INFO, IDCANCEL};
    static const int kMenuItems[] = {IDM_MOVE_DOWN,     IDM_MOVE_UP,         IDM_BROWSE,     IDM_QUERY_DEVICE,
                                     IDM_ERASE_DEVICE,  IDM_ERASE_SELECTION, IDM_WRITE_ALL,  IDM_WRITE_SELECTION,
                                     IDM_VERIFY_SELECTION, IDM_VERIFY_ALL,   IDM_LOAD_LAYOUT, IDM_EXIT};
    std::set<int> enabled;
    for (int id : kButtons)
        if (Enabled(id))
            enabled.insert(id);
    for (int id : kMenuItems)
        if (!MenuState(id, MF_DISABLED | MF_GRAYED))
            enabled.insert(id);
    return enabled;
}

std::vector<std::string> MainWindowTest::SelectorEntries() const
{
    HWND combo = Control(IDC_POSITION_SELECTOR);
    std::vector<std::string> entries;
    LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[64] = "";
        SendMessageA(combo, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
        entries.push_back(std::string(text) + "=" + std::to_string(SendMessageA(combo, CB_GETITEMDATA, WPARAM(i), 0)));
    }
    return entries;
}

std::string MainWindowTest::SelectorCurrent() const
{
    HWND combo = Control(IDC_POSITION_SELECTOR);
    LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    char text[64] = "";
    if (index != CB_ERR)
        SendMessageA(combo, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(text));
    return text;
}

void MainWindowTest::ChooseSelectorEntry(const char* text)
{
    HWND combo = Control(IDC_POSITION_SELECTOR);
    LRESULT index = SendMessageA(combo, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text));
    ASSERT_NE(index, CB_ERR) << text;
    SendMessageA(combo, CB_SETCURSEL, WPARAM(index), 0);
    Command(IDC_POSITION_SELECTOR, CBN_SELENDOK, reinterpret_cast<LPARAM>(combo));
}

void MainWindowTest::SelectRow(int row)
{
    SendMessageA(Grid(), GCM_SELECTCELL, WPARAM(row), 1);
}

std::string MainWindowTest::TuneFile(const std::string& name, const char* originalPath)
{
    Bytes image(0x40000, 0xFF);
    TuneMetadata record;
    memset(&record, 0, sizeof record);
    StampMetadata(&record, originalPath, 0x40000, 0xFFFFFFFF);
    snprintf(record.version, sizeof record.version, "v7");
    memcpy(image.data() + kMetadataOffset, &record, sizeof record);
    std::string path = folder_ + name;
    WriteBytes(path, image);
    return path;
}

BoxAnswerer::BoxAnswerer(const char* title, const char* press, std::function<void(HWND)> look)
    : title_(title), press_(press != nullptr ? press : ""), look_(std::move(look))
{
    thread_ = std::thread([this] {
        for (int i = 0; i < 1000; ++i) {
            HWND box = FindWindowA("#32770", title_.c_str());
            if (box != nullptr && IsWindowVisible(box)) {
                char message[512] = "";
                GetDlgItemTextA(box, 0xFFFF, message, sizeof message);
                text = message;
                if (look_)
                    look_(box);
                found_ = true;
                if (!press_.empty())
                    PressButton(box);
                return;
            }
            Sleep(10);
        }
    });
}

void BoxAnswerer::PressButton(HWND box)
{
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        char text[64] = "";
        GetWindowTextA(child, text, sizeof text);
        std::string plain;
        for (const char* p = text; *p != '\0'; ++p)
            if (*p != '&')
                plain += *p;
        if (plain == press_) {
            PostMessageA(child, BM_CLICK, 0, 0);
            return;
        }
    }
    ADD_FAILURE() << "no button " << press_ << " in " << title_;
}

BoxAnswerer::~BoxAnswerer()
{
    Join();
}

void BoxAnswerer::Join()
{
    if (thread_.joinable())
        thread_.join();
}
