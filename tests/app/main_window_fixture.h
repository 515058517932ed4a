// The main window created in the test process from the real resources and driven with
// messages through the program's own message loop, against the simulator on the COM port
// scripts/with-sim.sh links (T6_SIM_PORT), a device that refuses every bank request.
// Message boxes and file dialogs are answered through the prompt seam.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/command_state.h"
#include "app/main_window.h"
#include "app/message_loop.h"
#include "app/program_main.h"
#include "app/prompts.h"
#include "app/settings_file.h"
#include "controls/grid_control.h"
#include "resources/resource.h"
#include "tests/support/dialog_driver.h"
#include "tests/tune/temp_folder.h"

// What the seam was asked, one line per question or dialog:
// "box TITLE|TEXT|TYPE", "open TITLE|FILTER|EXTENSION", "save ...", "url URL".
typedef std::vector<std::string> Asked;

// Every command SetCommandsEnabled switches, and those it leaves alone (also while a job
// runs).
inline const std::set<int> kAlwaysEnabled = {IDC_EDIT_FILE_INFO, IDCANCEL, IDM_LOAD_LAYOUT, IDM_EXIT};
inline std::set<int> With(std::set<int> ids)
{
    ids.insert(kAlwaysEnabled.begin(), kAlwaysEnabled.end());
    return ids;
}
inline const std::set<int> kNoHardware = With({IDC_POSITION_GRID, IDC_MOVE_DOWN, IDC_MOVE_UP, IDC_BROWSE,
                                               IDC_QUERY_DEVICE, IDM_MOVE_DOWN, IDM_MOVE_UP, IDM_BROWSE,
                                               IDM_QUERY_DEVICE});
inline const std::set<int> kReady = With({IDC_POSITION_GRID, IDC_MOVE_DOWN, IDC_MOVE_UP, IDC_BROWSE,
                                          IDC_QUERY_DEVICE, IDC_ERASE_ALL, IDC_ERASE_SELECTION, IDC_WRITE_ALL,
                                          IDC_WRITE_SELECTION, IDC_VERIFY_SELECTION, IDC_POSITION_SELECTOR,
                                          IDM_MOVE_DOWN, IDM_MOVE_UP, IDM_BROWSE, IDM_QUERY_DEVICE,
                                          IDM_ERASE_DEVICE, IDM_ERASE_SELECTION, IDM_WRITE_ALL,
                                          IDM_WRITE_SELECTION, IDM_VERIFY_SELECTION, IDM_VERIFY_ALL});

// A path as the grid shows it.
inline std::string Shortened(const std::string& path)
{
    char shown[260];
    ShortenPathForDisplay(path.c_str(), path.size() + 1, shown, sizeof shown);
    return shown;
}

// settings.dat of version 2 with these files in positions 0, 1, ...
inline SettingsBlock LayoutSettings(const std::vector<std::string>& paths)
{
    SettingsBlock settings = {};
    settings.settingsVersion = 2;
    for (size_t i = 0; i < paths.size(); ++i)
        snprintf(settings.layout.positionPaths[i].path, kPathFieldSize, "%s", paths[i].c_str());
    return settings;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static bool started = (StartUpProgram(GetModuleHandleA(nullptr), ""), true);
        (void)started;
        current_ = this;
        SetPromptHandlers(&kFakePrompts);
        accelerators_ = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
        char path[300];
        SettingsFilePath(path, sizeof path);
        settingsPath_ = path;
        DeleteFileA(path);
        folder_ = tempFolder_.File("");
        g_app.positionCount = 8;
        g_app.layoutModified = 0;
        g_app.deviceDescription[0] = '\0';
        memset(g_app.deviceMetadata, 0, sizeof g_app.deviceMetadata);
        memset(&g_settings, 0, sizeof g_settings);
    }
    void TearDown() override
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
        DeleteFileA(settingsPath_.c_str());
    }

    // Creates the window, as the entry function does; Open also waits for the first
    // search. Without hardware the search looks only at a port that does not exist.
    void Create(bool hardware = true)
    {
        static const char* candidate = nullptr;
        candidate = hardware ? getenv("T6_SIM_PORT") : "\\\\.\\COM199";
        ASSERT_NE(candidate, nullptr) << "run through scripts/with-sim.sh";
        g_app.channel.portCandidates = &candidate;
        g_app.channel.portCandidateCount = 1;
        ASSERT_EQ(CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOW), 1);
    }
    void Open(bool hardware = true)
    {
        Create(hardware);
        ASSERT_TRUE(WaitForQuery());
    }
    // The grid comes back when a search has finished.
    bool WaitForQuery() { return PumpUntil([this] { return !IsJobRunning() && IsWindowEnabled(Grid()); }); }
    bool WaitForJob(int timeoutMs = 20000) { return PumpUntil([] { return !IsJobRunning(); }, timeoutMs); }
    void Pump()
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message != WM_QUIT)
                HandleLoopMessage(&message, accelerators_);
        }
    }
    bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 20000)
    {
        for (DWORD start = GetTickCount(); !done(); MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT)) {
            if (GetTickCount() - start > DWORD(timeoutMs))
                return false;
            Pump();
        }
        Pump();
        return true;
    }

    void Command(WORD id, WORD code = 0, LPARAM lParam = 0)
    {
        SendMessageA(static_cast<HWND>(g_app.mainWindow), WM_COMMAND, MAKEWPARAM(id, code), lParam);
    }
    // Keys through the message loop's own per-message function, to the window with the
    // focus, with Control held. Nothing else is pumped meanwhile.
    void Key(int virtualKey, bool control = false)
    {
        for (UINT message : {WM_KEYDOWN, WM_KEYUP})
            Deliver(message, WPARAM(virtualKey), message == WM_KEYUP ? LPARAM(0xC0000001) : 1, control ? VK_CONTROL : 0,
                    VK_LCONTROL);
    }
    void Char(char c) { Deliver(WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 1); }
    // Bit 29: the Alt key is down, as TranslateMessage marks a WM_SYSCHAR.
    void AltChar(char c) { Deliver(WM_SYSCHAR, WPARAM(static_cast<unsigned char>(c)), 0x20000001, VK_MENU, VK_LMENU); }

    HWND Control(int id) const { return GetDlgItem(g_app.mainWindow, id); }
    HWND Grid() const { return Control(IDC_POSITION_GRID); }
    std::string Title() const { return WindowText(static_cast<HWND>(g_app.mainWindow)); }
    std::string Text(int id) const
    {
        char text[4096] = "";
        GetWindowTextA(Control(id), text, sizeof text);
        return text;
    }
    std::string Cell(int row, int column) const
    {
        char text[512] = "";
        GridGetCellText(text, sizeof text, Grid(), row, column);
        return text;
    }
    // The row's file as the grid shows it, or both texts when the grid and the layout differ.
    std::string Shown(int row) const
    {
        const std::string stored = g_settings.layout.positionPaths[row - 1].path;
        return Cell(row, 1) == Shortened(stored) ? Cell(row, 1) : "grid " + Cell(row, 1) + ", layout " + stored;
    }
    int CurrentRow() const { return int(SendMessageA(Grid(), GCM_GETCURROW, 0, 0)); }
    void SelectRow(int row) { SendMessageA(Grid(), GCM_SELECTCELL, WPARAM(row), 1); }
    bool MenuState(int id, UINT flags) const  // whether the item has any of the MF_ flags
    {
        UINT state = GetMenuState(GetMenu(static_cast<HWND>(g_app.mainWindow)), UINT(id), MF_BYCOMMAND);
        return state != UINT(-1) && (state & flags) != 0;
    }
    // Which of the switched commands are enabled now: a control where the window has one
    // by that id, a menu item otherwise.
    std::set<int> EnabledCommands() const
    {
        std::set<int> enabled;
        for (int id : kReady) {
            if (Control(id) != nullptr ? IsWindowEnabled(Control(id)) != FALSE : !MenuState(id, MF_DISABLED | MF_GRAYED))
                enabled.insert(id);
        }
        return enabled;
    }
    // The selector as "CURRENT/COUNT" ("" for no current entry).
    std::string Selector() const
    {
        HWND combo = Control(IDC_POSITION_SELECTOR);
        char text[64] = "";
        LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
        if (index != CB_ERR)
            SendMessageA(combo, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(text));
        return std::string(text) + "/" + std::to_string(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    }
    void ChooseSelectorEntry(const char* text)
    {
        HWND combo = Control(IDC_POSITION_SELECTOR);
        LRESULT index = SendMessageA(combo, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text));
        ASSERT_NE(index, CB_ERR) << text;
        SendMessageA(combo, CB_SETCURSEL, WPARAM(index), 0);
        Command(IDC_POSITION_SELECTOR, CBN_SELENDOK, reinterpret_cast<LPARAM>(combo));
    }

    void WriteSettings(const SettingsBlock& settings) { WriteBytes(settingsPath_, BytesOf(settings)); }

    std::string settingsPath_;  // beside the test program, as the program reads it
    // Answers for the next questions and dialogs; an empty answer list answers Cancel.
    std::deque<int> boxAnswers;
    std::deque<std::string> dialogAnswers;  // "" cancels the dialog
    Asked asked;
    TempFolder tempFolder_;
    std::string folder_;  // with its trailing separator

private:
    // A message to the window with the focus, with a modifier key (generic and left) held.
    void Deliver(UINT message, WPARAM wParam, LPARAM lParam, int key = 0, int leftKey = 0)
    {
        BYTE keys[256] = {};
        if (key != 0)
            keys[key] = keys[leftKey] = 0x80;
        SetKeyboardState(keys);
        HWND focus = GetFocus();
        MSG msg = {focus != nullptr ? focus : static_cast<HWND>(g_app.mainWindow), message, wParam, lParam,
                   GetTickCount(), {0, 0}};
        HandleLoopMessage(&msg, accelerators_);
        BYTE none[256] = {};
        SetKeyboardState(none);
    }

    // The seam's handlers reach the running test through current_.
    template <class Answer>
    static Answer Next(std::deque<Answer>& answers, Answer none)
    {
        if (answers.empty())
            return none;
        Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    static int Box(HWND owner, const char* text, const char* title, UINT type)
    {
        EXPECT_EQ(owner, g_app.mainWindow) << title;
        char line[512];
        snprintf(line, sizeof line, "box %s|%s|0x%X", title, text, type);
        current_->asked.push_back(line);
        return Next(current_->boxAnswers, int(IDCANCEL));
    }
    static BOOL Dialog(OPENFILENAMEA* dialog, int forSaving)
    {
        EXPECT_EQ(dialog->hwndOwner, g_app.mainWindow);
        EXPECT_EQ(dialog->Flags, DWORD(OFN_OVERWRITEPROMPT | OFN_CREATEPROMPT | OFN_NOCHANGEDIR));
        const char* filter = dialog->lpstrFilter;
        current_->asked.push_back(std::string(forSaving ? "save " : "open ") + dialog->lpstrTitle + "|" + filter +
                                  ";" + (filter + strlen(filter) + 1) + "|" + dialog->lpstrDefExt);
        const std::string answer = Next(current_->dialogAnswers, std::string());
        snprintf(dialog->lpstrFile, dialog->nMaxFile, "%s", answer.c_str());
        return !answer.empty();
    }
    static void Url(HWND, const char* url) { current_->asked.push_back(std::string("url ") + url); }
    static inline MainWindowTest* current_ = nullptr;
    static inline const PromptHandlers kFakePrompts = {Box, Dialog, Url};
    HACCEL accelerators_ = nullptr;
};
