#include "app/closing.h"

#include "app/app_state.h"
#include "app/command_state.h"
#include "app/layout_commands.h"
#include "app/message_loop.h"
#include "app/prompts.h"
#include "app/settings_file.h"
#include "app/window_seams.h"

void CloseMainWindow()
{
    // Ending the process now would stop a transfer half-way and leave a position half
    // written.
    if (IsJobRunning()) {
        AskUser("A device operation is still running. Please wait until it has finished.", "Device Busy",
                MB_OK | MB_ICONINFORMATION);
        return;
    }
    // Edits the user wanted saved but that were not keep the window open: settings.dat
    // would keep them, but the layout file reopened at the next start replaces them.
    if (!OfferToSaveModifiedLayout())
        return;
    DestroyWindow(g_app.mainWindow);
}

void OnMainWindowDestroyed(HWND window)
{
    SaveSettings();
    DisconnectWindowSeams();
    RemoveDialogWindow(window);
    if (g_app.mainWindow == window) {
        g_app.mainWindow = nullptr;
        g_app.progressWindow = nullptr;
    }
    PostQuitMessage(0);
}
