#include "tests/app/main_window_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

// The next answer a test queued, or `none` when it queued no more.
template <class Answer>
Answer Next(std::deque<Answer>& answers, Answer none)
{
    if (answers.empty())
        return none;
    Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

} // namespace

// The seam's handlers reach the running test through g_test.
struct FakePrompts {
    static int Box(HWND owner, const char* text, const char* title, UINT type)
    {
        EXPECT_EQ(owner, g_app.mainWindow) << title;
        g_test->asked.push_back(std::string("box ") + title + "|" + text + "|" + Hex(type));
        return Next(g_test->boxAnswers, int(IDCANCEL));
    }
    static BOOL Dialog(OPENFILENAMEA* dialog, int forSaving)
    {
        EXPECT_EQ(dialog->hwndOwner, g_app.mainWindow);
        EXPECT_EQ(dialog->Flags, DWORD(OFN_OVERWRITEPROMPT | OFN_CREATEPROMPT));
        const char* filter = dialog->lpstrFilter;
        g_test->asked.push_back(std::string(forSaving ? "save " : "open ") + dialog->lpstrTitle + "|" + filter + ";" +
                                (filter + strlen(filter) + 1) + "|" + dialog->lpstrDefExt);
        const std::string answer = Next(g_test->dialogAnswers, std::string());
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

SettingsBlock LayoutSettings(const std::vector<std::string>& paths)
{
    SettingsBlock settings = {};
    settings.settingsVersion = 2;
    for (size_t i = 0; i < paths.size(); ++i)
        snprintf(settings.layout.positionPaths[i].path, kPathFieldSize, "%s", paths[i].c_str());
    return settings;
}

std::thread AnswerBox(const char* title, int button, std::string* text, std::function<void(HWND)> look)
{
    return std::thread([=] {
        HWND box = WaitForWindow(title, button, 0, 10000);
        if (box == nullptr)
            return;
        if (look)
            look(box);
        *text = ControlText(box, 0xFFFF);
        PressButton(box, button);
    });
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
    savedSettings_ = ReadBytes(path);
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
        WaitForJob();
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
        WriteBytes(settingsPath_, savedSettings_);
    else
        DeleteFileA(settingsPath_.c_str());
}

void MainWindowTest::WriteSettings(const SettingsBlock& settings)
{
    WriteBytes(settingsPath_, BytesOf(settings));
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

bool MainWindowTest::WaitForQuery()
{
    return PumpUntil([this] { return !IsJobRunning() && IsWindowEnabled(Grid()); });
}

bool MainWindowTest::WaitForJob(int timeoutMs)
{
    return PumpUntil([] { return !IsJobRunning(); }, timeoutMs);
}

void MainWindowTest::Pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT)
            HandleLoopMessage(&message, accelerators_);
    }
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

// A message to the window with the focus, through the loop's own per-message function,
// with a modifier key held meanwhile: the generic and the left key (0, 0 for none).
static void Deliver(UINT message, WPARAM wParam, LPARAM lParam, HACCEL accelerators, int key = 0, int leftKey = 0)
{
    BYTE keys[256] = {};
    keys[key] = keys[leftKey] = BYTE(key != 0 ? 0x80 : 0);
    SetKeyboardState(keys);
    HWND focus = GetFocus();
    MSG msg = {focus != nullptr ? focus : static_cast<HWND>(g_app.mainWindow), message, wParam, lParam,
               GetTickCount(), {0, 0}};
    HandleLoopMessage(&msg, accelerators);
    BYTE none[256] = {};
    SetKeyboardState(none);
}

void MainWindowTest::Key(int virtualKey, bool control)
{
    for (UINT message : {WM_KEYDOWN, WM_KEYUP})
        Deliver(message, WPARAM(virtualKey), message == WM_KEYUP ? LPARAM(0xC0000001) : 1, accelerators_,
                control ? VK_CONTROL : 0, control ? VK_LCONTROL : 0);
}

void MainWindowTest::Char(char c)
{
    Deliver(WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 1, accelerators_);
}

void MainWindowTest::AltChar(char c)
{
    // Bit 29: the Alt key is down, as TranslateMessage marks a WM_SYSCHAR.
    Deliver(WM_SYSCHAR, WPARAM(static_cast<unsigned char>(c)), LPARAM(0x20000001), accelerators_, VK_MENU, VK_LMENU);
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
    // kReady names every switched command: a control where the window has one by that id,
    // a menu item otherwise.
    std::set<int> enabled;
    for (int id : kReady) {
        if (Control(id) != nullptr ? IsWindowEnabled(Control(id)) != FALSE : !MenuState(id, MF_DISABLED | MF_GRAYED))
            enabled.insert(id);
    }
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
