// Opening a download address in the user's browser, through a local page that refreshes
// to it.
#pragma once
#include <windows.h>

// Writes "temp.htm" into folder (which ends in a separator), opens it with the shell's
// default verb, and deletes it half a second later. Only web addresses are opened, and
// the address is escaped in the page; anything else opens nothing. A temp.htm that cannot
// be written (read-only, held open) is left as it is and nothing is opened.
void LaunchWebPage(const char* url, const char* folder, HWND owner);

// What opens the written page: the shell, unless a test puts its own in place (null puts
// the shell back). The page exists while it runs.
typedef void (*PageOpener)(HWND owner, const char* pagePath, const char* folder);
void SetPageOpener(PageOpener opener);
