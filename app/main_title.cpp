#include "app/main_title.h"

#include <windows.h>

#include <cstdio>

#include "app/app_state.h"
#include "app/split_path.h"

void UpdateTitle()
{
    char hardware[50];
    snprintf(hardware, sizeof hardware, "%s", g_app.channel.IsPortOpen() ? g_app.deviceDescription : "No Hardware");
    // The last three components of the layout path say enough about where it lives.
    char layout[kPathFieldSize] = "";
    SplitPath(g_settings.layoutPath, layout, sizeof layout, nullptr, 0, 2);
    char title[255];
    snprintf(title, sizeof title, "T6/Orrery Programming Utility v%s - %s - %s%c", g_app.versionText, hardware,
             layout, g_app.layoutModified ? '*' : ' ');
    SetWindowTextA(g_app.mainWindow, title);
}
