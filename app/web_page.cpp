#include "app/web_page.h"

#include <shellapi.h>

#include <cstdio>

#include "app/update_page.h"

static void OpenWithShell(HWND owner, const char* pagePath, const char* folder)
{
    ShellExecuteA(owner, nullptr, pagePath, nullptr, folder, SW_SHOWNORMAL);
}

static PageOpener g_openPage = OpenWithShell;

void SetPageOpener(PageOpener opener)
{
    g_openPage = opener != nullptr ? opener : OpenWithShell;
}

// Windows refuses to write over a read-only file; so does this where the system would let
// it (Wine run by root).
static bool IsReadOnlyFile(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// False when the page is not there whole; a file it could not open (read-only, held open by
// another program) is someone else's and is left as it is.
static bool WritePage(const char* pagePath, const char* page)
{
    if (IsReadOnlyFile(pagePath))
        return false;
    // Text mode: every line ends in CR LF, as pages on this system do.
    FILE* file = fopen(pagePath, "wt");
    if (file == nullptr)
        return false;
    bool written = fputs(page, file) >= 0;
    written = fclose(file) == 0 && written;
    if (!written)
        DeleteFileA(pagePath);
    return written;
}

void LaunchWebPage(const char* url, const char* folder, HWND owner)
{
    char page[kRedirectPageSize];
    if (!IsWebAddress(url) || folder == nullptr || !BuildRedirectPage(url, page, sizeof page))
        return;
    char pagePath[MAX_PATH];
    int length = snprintf(pagePath, sizeof pagePath, "%stemp.htm", folder);
    if (length < 0 || size_t(length) >= sizeof pagePath)
        return;
    // A page this call did not write (an old one, left by someone else) is never opened,
    // nor deleted.
    if (!WritePage(pagePath, page))
        return;
    g_openPage(owner, pagePath, folder);
    Sleep(500);
    DeleteFileA(pagePath);
}
