// Answering this process's dialogs the way a user would, from a thread of the test while
// the test's own thread runs a modal dialog: find a window by its title, read and set its
// controls, press its buttons. Messages sent across threads are handled by the modal
// loop of the window's thread.
#pragma once
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>

// Polls every 20 ms until done() or the time is up; returns done().
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 15000)
{
    for (DWORD start = GetTickCount(); !done(); Sleep(20)) {
        if (GetTickCount() - start > DWORD(timeoutMs))
            return done();
    }
    return true;
}

inline std::string WindowText(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// A visible top-level window of this process with this title that has a child with this
// id and, when withoutId is given, none with that one (a message box's text is child
// 0xFFFF; a file dialog's name box 1148, and its questions come with its title); null
// when none shows up in time.
inline HWND WaitForWindow(const char* title, int childId, int withoutId = 0, int timeoutMs = 15000)
{
    struct Search {
        const char* title;
        int childId;
        int withoutId;
        HWND found;
    } search = {title, childId, withoutId, nullptr};
    WaitUntil(
        [&] {
            EnumWindows(
                [](HWND window, LPARAM lParam) -> BOOL {
                    Search& s = *reinterpret_cast<Search*>(lParam);
                    DWORD process = 0;
                    GetWindowThreadProcessId(window, &process);
                    if (process != GetCurrentProcessId() || !IsWindowVisible(window) ||
                        WindowText(window) != s.title || GetDlgItem(window, s.childId) == nullptr ||
                        (s.withoutId != 0 && GetDlgItem(window, s.withoutId) != nullptr))
                        return TRUE;
                    s.found = window;
                    return FALSE;
                },
                LPARAM(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

// Presses a button (or answers a message box with IDYES, IDNO, ...) as a click does.
inline void PressButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
}

inline std::string ControlText(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

// Ends whatever dialogs of this process are still open, for a test that has gone wrong:
// No where there is one, else Cancel, else OK, until none is left.
inline void CloseEveryDialog()
{
    WaitUntil(
        [] {
            bool any = false;
            EnumWindows(
                [](HWND window, LPARAM lParam) -> BOOL {
                    DWORD process = 0;
                    GetWindowThreadProcessId(window, &process);
                    char className[16] = "";
                    GetClassNameA(window, className, sizeof className);
                    if (process != GetCurrentProcessId() || !IsWindowVisible(window) ||
                        std::string(className) != "#32770")
                        return TRUE;
                    *reinterpret_cast<bool*>(lParam) = true;
                    for (int id : {IDNO, IDCANCEL, IDOK}) {
                        if (GetDlgItem(window, id) != nullptr) {
                            PressButton(window, id);
                            break;
                        }
                    }
                    return TRUE;
                },
                LPARAM(&any));
            return !any;
        },
        20000);
}
