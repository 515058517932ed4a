// The update check: one record shared by the update dialog and the worker thread that
// asks the update server. The dialog may be closed while the worker still runs, so the
// record is held by both and freed by whichever lets go last.
#pragma once
#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>

struct UpdateCheck {
    std::atomic<uint32_t> cancelRequested;  // the dialog was closed: skip what is left
    uint32_t updateAvailable;
    uint32_t failed;              // statusText then holds the error
    // The worker only posts messages to the dialog, which may be gone by then: statusMessage
    // when statusText changed, doneMessage when it has finished; lParam is the record.
    HWND dialogWindow;
    uint32_t statusMessage;
    uint32_t doneMessage;
    std::mutex statusLock;        // statusText is written by the worker and read by the dialog
    char statusText[100];
    char host[260];
    char userName[50];
    char password[25];
    char directory[260];
    char fileName[50];
    char currentVersion[260];
    char downloadUrl1[300];       // line 2 of the update-information file
    char downloadUrl2[300];       // line 3, opened first
    std::atomic<int> holders;
};

// A zero-filled record held once, by its dialog; null when there is no memory.
UpdateCheck* NewUpdateCheck();
void ReleaseUpdateCheck(UpdateCheck* check);
// Records not yet freed: a dialog closed during a check leaves one until its worker ends.
int LiveUpdateChecks();

// The status text under its lock: set by the worker, read by the dialog.
void SetUpdateStatus(UpdateCheck& check, const char* text);
void GetUpdateStatus(UpdateCheck& check, char* out, size_t outSize);

// Starts UpdateCheckThread on the record, which it holds until it ends. False when no
// thread could be started.
bool StartUpdateCheck(UpdateCheck* check);
DWORD WINAPI UpdateCheckThread(LPVOID record);

// The WinINet calls the worker makes, in a table a test can wrap to see their order.
struct UpdateFtpCalls {
    HINTERNET(WINAPI* open)(LPCSTR agent, DWORD access, LPCSTR proxy, LPCSTR bypass, DWORD flags);
    HINTERNET(WINAPI* connect)(HINTERNET session, LPCSTR host, INTERNET_PORT port, LPCSTR user, LPCSTR password,
                               DWORD service, DWORD flags, DWORD_PTR context);
    BOOL(WINAPI* setDirectory)(HINTERNET server, LPCSTR directory);
    HINTERNET(WINAPI* findFirst)(HINTERNET server, LPCSTR pattern, LPWIN32_FIND_DATAA found, DWORD flags,
                                 DWORD_PTR context);
    BOOL(WINAPI* getFile)(HINTERNET server, LPCSTR remote, LPCSTR local, BOOL failIfExists, DWORD attributes,
                          DWORD flags, DWORD_PTR context);
    BOOL(WINAPI* close)(HINTERNET handle);
};
extern const UpdateFtpCalls kWinInetFtpCalls;
// Checks started from now on use these; null brings WinINet's own back.
void SetUpdateFtpCalls(const UpdateFtpCalls* calls);

// The user's temporary folder with its trailing separator, where the update check keeps
// its local files (the program's own folder is often not writable); "" when unknown.
void UpdateWorkFolder(char* out, size_t outSize);
