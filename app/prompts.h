// What the main window asks of the user and of the shell: message boxes, the open and save
// file dialogs, and opening a web or mail link. The program calls the real ones; tests
// put their own answers in place.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include <cstddef>

struct PromptHandlers {
    int (*messageBox)(HWND owner, const char* text, const char* title, UINT type);
    // GetOpenFileNameA (forSaving 0) or GetSaveFileNameA (1).
    BOOL (*fileDialog)(OPENFILENAMEA* dialog, int forSaving);
    void (*openUrl)(HWND owner, const char* url);
};

// From now on these answer; null brings back the real ones.
void SetPromptHandlers(const PromptHandlers* handlers);

// A message box owned by the main window; returns the button pressed (IDYES, IDOK, ...).
int AskUser(const char* text, const char* title, UINT type);

// The "Select File..." dialog owned by the main window: filter is a double-NUL list of
// name and pattern, defaultExtension has no dot. Returns 1 with the chosen full path in
// path (at most pathSize - 1 characters), 0 when the user cancelled.
int ChooseFileName(int forSaving, const char* filter, const char* defaultExtension, char* path, size_t pathSize);

// Opens a link with the "open" verb, normal show state.
void OpenUrl(HWND owner, const char* url);
