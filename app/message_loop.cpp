#include "app/message_loop.h"

#include "app/app_state.h"

void HandleLoopMessage(MSG* message, HACCEL accelerators)
{
    if (g_app.mainWindow != nullptr && accelerators != nullptr &&
        TranslateAcceleratorA(g_app.mainWindow, accelerators, message))
        return;
    for (int i = 0; i < g_app.dialogWindowCount; ++i)
        if (IsDialogMessageA(g_app.dialogWindows[i], message))
            return;
    TranslateMessage(message);
    DispatchMessageA(message);
}

int RunMessageLoop(HACCEL accelerators)
{
    MSG message = {};
    BOOL got;
    while ((got = GetMessageA(&message, nullptr, 0, 0)) > 0)
        HandleLoopMessage(&message, accelerators);
    return got == 0 ? int(message.wParam) : 0;
}

bool AddDialogWindow(HWND window)
{
    if (g_app.dialogWindowCount >= kMaxDialogWindows)
        return false;
    g_app.dialogWindows[g_app.dialogWindowCount++] = window;
    return true;
}

void RemoveDialogWindow(HWND window)
{
    int kept = 0;
    for (int i = 0; i < g_app.dialogWindowCount; ++i)
        if (g_app.dialogWindows[i] != window)
            g_app.dialogWindows[kept++] = g_app.dialogWindows[i];
    for (int i = kept; i < g_app.dialogWindowCount; ++i)
        g_app.dialogWindows[i] = nullptr;
    g_app.dialogWindowCount = kept;
}
