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

static bool WritePage(const char* pagePath, const char* page)
{
    // Text mode: every line ends in CR LF, as pages on this system do.
    FILE* file = fopen(pagePath, "wt");
    if (file == nullptr)
        return false;
    bool written = fputs(page, file) >= 0;
    return fclose(file) == 0 && written;
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
    // A page this call did not write (an old one, left by someone else) is never opened.
    if (WritePage(pagePath, page))
        g_openPage(owner, pagePath, folder);
    Sleep(500);
    DeleteFileA(pagePath);
}
