#include "app/update_check.h"

#include <wininet.h>

#include <cstdarg>
#include <cstdio>
#include <initializer_list>

#include "app/update_file.h"
#include "app/update_version.h"

const UpdateFtpCalls kWinInetFtpCalls = {
    InternetOpenA, InternetConnectA, FtpSetCurrentDirectoryA, FtpFindFirstFileA, FtpGetFileA, InternetCloseHandle,
};

static const UpdateFtpCalls* g_ftp = &kWinInetFtpCalls;

void SetUpdateFtpCalls(const UpdateFtpCalls* calls)
{
    g_ftp = calls != nullptr ? calls : &kWinInetFtpCalls;
}

namespace {

// The handles one check opens, closed at its end whichever step it reached.
struct Connection {
    const UpdateFtpCalls& ftp;
    HINTERNET session = nullptr;
    HINTERNET server = nullptr;
};

bool Cancelled(const UpdateCheck& check)
{
    return check.cancelRequested != 0;
}

// The dialog can be destroyed at any moment, between any test of the cancel flag and what
// follows it: it is only ever sent a posted message, which a window that is gone never gets.
void ShowStatus(UpdateCheck& check, const char* text)
{
    SetUpdateStatus(check, text);
    if (!Cancelled(check))
        PostMessageA(check.dialogWindow, check.statusMessage, 0, LPARAM(&check));
}

void Fail(UpdateCheck& check, const char* format, ...)
{
    char text[sizeof check.statusText];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    ShowStatus(check, text);
    check.failed = 1;
}

// Reads the downloaded file: the version on line 1, and the two addresses when it is newer.
void ReadUpdateInformation(UpdateCheck& check, FILE* file)
{
    char latest[50];
    ReadUpdateLine(file, latest, sizeof latest);
    if (!IsVersionLine(latest)) {
        Fail(check, "Invalid update information file.");
        return;
    }
    char text[sizeof check.statusText];
    snprintf(text, sizeof text, "Latest Version: %s", latest);
    ShowStatus(check, text);
    check.updateAvailable = uint32_t(IsNewerVersion(check.currentVersion, latest));
    if (check.updateAvailable) {
        ReadUpdateLine(file, check.downloadUrl1, sizeof check.downloadUrl1);
        ReadUpdateLine(file, check.downloadUrl2, sizeof check.downloadUrl2);
    }
}

// Fetches the update-information file into the work folder and reads it. An earlier copy
// is deleted first, so only what the server sends now is ever read.
void FetchUpdateInformation(UpdateCheck& check, Connection& connection, const char* remoteName)
{
    char folder[MAX_PATH + 1];
    UpdateWorkFolder(folder, sizeof folder);
    char local[MAX_PATH + 1];
    int length = snprintf(local, sizeof local, "%s%s", folder, check.fileName);
    if (folder[0] == '\0' || length < 0 || size_t(length) >= sizeof local) {
        Fail(check, "Error Opening File: %i...", int(ERROR_PATH_NOT_FOUND));
        return;
    }
    DeleteFileA(local);
    if (!connection.ftp.getFile(connection.server, remoteName, local, TRUE, FILE_ATTRIBUTE_NORMAL,
                                FTP_TRANSFER_TYPE_BINARY, 0)) {
        Fail(check, "Error Opening File: %i...", int(GetLastError()));
        DeleteFileA(local);
        return;
    }
    FILE* file = fopen(local, "rt");
    if (file == nullptr) {
        Fail(check, "Error Opening File: %i...", int(GetLastError()));
        return;
    }
    ReadUpdateInformation(check, file);
    fclose(file);
    Sleep(2000);
    DeleteFileA(local);
}

void RunCheck(UpdateCheck& check, Connection& connection)
{
    ShowStatus(check, "Connecting...");
    connection.session = connection.ftp.open("AppUpdater", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (connection.session == nullptr) {
        Fail(check, "InternetOpen error %i", int(GetLastError()));
        return;
    }
    if (Cancelled(check))
        return;
    connection.server = connection.ftp.connect(connection.session, check.host, INTERNET_DEFAULT_FTP_PORT,
                                               check.userName, check.password, INTERNET_SERVICE_FTP,
                                               INTERNET_FLAG_PASSIVE, 0);
    if (connection.server == nullptr) {
        DWORD error = GetLastError();
        char response[100];
        DWORD responseError = 0, responseLength = sizeof response;
        InternetGetLastResponseInfoA(&responseError, response, &responseLength);
        Fail(check, "InternetConnect error 0x%X", unsigned(error));
        return;
    }
    if (Cancelled(check))
        return;
    if (!connection.ftp.setDirectory(connection.server, check.directory)) {
        Fail(check, "Cannot set directory to %s %i", check.directory, int(GetLastError()));
        return;
    }
    if (Cancelled(check))
        return;
    WIN32_FIND_DATAA found = {};
    HINTERNET find = connection.ftp.findFirst(connection.server, check.fileName, &found, 0, 0);
    if (find == nullptr) {
        check.failed = 1;
        SetUpdateStatus(check, "Could not find update information file.");
        return;
    }
    // A session runs one FTP operation at a time: the listing must end before the download.
    connection.ftp.close(find);
    ShowStatus(check, "Getting Version Info...");
    FetchUpdateInformation(check, connection, found.cFileName);
}

} // namespace

DWORD WINAPI UpdateCheckThread(LPVOID record)
{
    UpdateCheck& check = *static_cast<UpdateCheck*>(record);
    Connection connection = {*g_ftp};
    RunCheck(check, connection);
    for (HINTERNET handle : {connection.server, connection.session}) {
        if (handle != nullptr)
            connection.ftp.close(handle);
    }
    if (check.dialogWindow != nullptr)
        PostMessageA(check.dialogWindow, check.doneMessage, 0, LPARAM(&check));
    ReleaseUpdateCheck(&check);
    return 0;
}
