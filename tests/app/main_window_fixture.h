// The main window created in the test process from the real resources and driven with
// messages through the program's own message loop, against the simulator on the COM port
// scripts/with-sim.sh links (T6_SIM_PORT). Message boxes and file dialogs are answered
// through the prompt seam; AnswerBox answers a real one.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/app_state.h"
#include "controls/grid_control.h"
#include "resources/resource.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/trace_file.h"
#include "tests/tune/temp_folder.h"

// What the seam was asked, one line per question or dialog:
// "box TITLE|TEXT|TYPE", "open TITLE|FILTER|EXTENSION", "save ...", "url URL".
typedef std::vector<std::string> Asked;

struct FakePrompts;

// Every command SetCommandsEnabled switches, and those it leaves alone (also while a job
// runs).
extern const std::set<int> kAlwaysEnabled;
std::set<int> With(std::set<int> ids);  // those and kAlwaysEnabled
extern const std::set<int> kReady;
extern const std::set<int> kNoHardware;

// A path as the grid shows it.
std::string Shortened(const std::string& path);

// settings.dat of version 2 with these files in positions 0, 1, ...
SettingsBlock LayoutSettings(const std::vector<std::string>& paths);

// Waits on a thread of its own for a visible window of this process with this title and
// presses its button (IDOK, IDYES, IDNO, ...) as a user would; `look` sees the window
// first. *text gets a message box's text (a dialog's first label); join before reading it.
std::thread AnswerBox(const char* title, int button, std::string* text,
                      std::function<void(HWND)> look = nullptr);

class MainWindowTest : public ::testing::Test {
    friend struct FakePrompts;

protected:
    void SetUp() override;
    void TearDown() override;

    // settings.dat beside the test program, as the program will read it.
    void WriteSettings(const SettingsBlock& settings);
    std::string ReadSettingsBytes();  // "" when there is none

    // Creates the window, as the entry function does, and waits for the first search.
    // Without hardware the search looks only at a port that does not exist.
    void Open(bool hardware = true);
    // The same without waiting: the window as initialisation leaves it.
    void Create(bool hardware = true);
    bool WaitForQuery();  // the grid comes back when a search has finished
    bool WaitForJob(int timeoutMs = 20000);
    void Pump();
    bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 20000);

    void Command(WORD id, WORD code = 0, LPARAM lParam = 0);
    // Keys through the message loop's own per-message function, to the window with the
    // focus, with Control or Alt held. Nothing else is pumped meanwhile.
    void Key(int virtualKey, bool control = false);
    void Char(char c);
    void AltChar(char c);

    HWND Control(int id) const { return GetDlgItem(g_app.mainWindow, id); }
    HWND Grid() const { return Control(IDC_POSITION_GRID); }
    std::string Title() const { return WindowText(static_cast<HWND>(g_app.mainWindow)); }
    std::string Text(int id) const;
    std::string Cell(int row, int column) const;
    int CurrentRow() const;
    // Whether the menu item has any of the MF_ flags.
    bool MenuState(int id, UINT flags) const;
    // Which of the switched commands (buttons with the grid, the selector, Edit File Info
    // and Close; and menu items) are enabled now.
    std::set<int> EnabledCommands() const;
    // The selector's entries as "text=data", and its current entry's text ("" for none).
    std::vector<std::string> SelectorEntries() const;
    std::string SelectorCurrent() const;
    void ChooseSelectorEntry(const char* text);
    void SelectRow(int row);

    // Questions go to real message boxes (AnswerBox answers them) or to boxAnswers.
    void RealPrompts(bool real);

    // A tune file of 256 KB whose record names originalPath, in the test's folder.
    std::string TuneFile(const std::string& name, const char* originalPath);

    // Answers for the next questions and dialogs; an empty answer list answers Cancel.
    std::deque<int> boxAnswers;
    std::deque<std::string> dialogAnswers;  // "" cancels the dialog
    Asked asked;

    HACCEL accelerators_ = nullptr;
    TempFolder tempFolder_;
    std::string folder_;  // with its trailing separator

private:
    std::string settingsPath_;
    Bytes savedSettings_;
    bool hadSettings_ = false;
};
