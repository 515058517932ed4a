// Driving a running program from outside, as a user would: its windows found by title,
// their texts and states read, commands posted, message boxes and file dialogs answered.
// Only what crosses processes is used: WM_GETTEXT, pointer-free messages, the clipboard.
#pragma once
#include <windows.h>

#include <string>

// Polls `done` every pollMs until it holds or the time runs out; true when it held.
template <class Check>
bool WaitUntil(Check done, DWORD timeoutMs, DWORD pollMs = 20)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(pollMs);
    }
}

std::string WindowText(HWND window);
std::string ControlText(HWND dialog, int id);
bool ControlEnabled(HWND dialog, int id);
bool ControlVisible(HWND dialog, int id);
// Puts the text into the control, as typing it over its old text would.
void SetControlText(HWND dialog, int id, const char* text);

// A shown top-level window of the process (0: of any process) whose title starts with
// titleStart; else null.
HWND FindProcessWindow(DWORD processId, const char* titleStart);
HWND WaitForProcessWindow(DWORD processId, const char* titleStart, DWORD timeoutMs);

// Waits until the control's text is `expected`; returns the text last seen either way.
std::string WaitForControlText(HWND dialog, int id, const std::string& expected, DWORD timeoutMs);

// Waits for the process's message box with this title and presses its button (IDYES,
// IDNO...); what the box said, "" when no box came.
std::string AnswerMessageBox(DWORD processId, const char* title, int button, DWORD timeoutMs);

// Waits for the process's open or save dialog with this title, types the path into its
// file-name box and presses OK.
bool AnswerFileDialog(DWORD processId, const char* title, const char* path, DWORD timeoutMs);

// Sends the command as a menu item or accelerator would.
void PostCommand(HWND window, int command);

// Picks entry `index` of the drop-down list and tells the owner, as a user's accepted
// choice does (CBN_SELENDOK).
void ChooseListEntry(HWND dialog, int id, int index);

// The grid's data cells of rows 1..rows, columns 1..columns, as its Copy puts them on the
// clipboard: one line a row, cells separated by tabs. The selection is left on them.
std::string CopyGridCells(HWND grid, int rows, int columns);
// Puts the grid's current cell on (row, column) and tells the owner, as a click does.
void ClickGridCell(HWND grid, int row, int column);
