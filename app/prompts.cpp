#include "app/prompts.h"

#include <shellapi.h>

#include "app/app_state.h"

static int RealMessageBox(HWND owner, const char* text, const char* title, UINT type)
{
    return MessageBoxA(owner, text, title, type);
}

static BOOL RealFileDialog(OPENFILENAMEA* dialog, int forSaving)
{
    return forSaving ? GetSaveFileNameA(dialog) : GetOpenFileNameA(dialog);
}

static void RealOpenUrl(HWND owner, const char* url)
{
    ShellExecuteA(owner, "open", url, nullptr, nullptr, SW_SHOWNORMAL);
}

static const PromptHandlers kRealPrompts = {RealMessageBox, RealFileDialog, RealOpenUrl};
static const PromptHandlers* g_prompts = &kRealPrompts;

void SetPromptHandlers(const PromptHandlers* handlers)
{
    g_prompts = handlers != nullptr ? handlers : &kRealPrompts;
}

int AskUser(const char* text, const char* title, UINT type)
{
    return g_prompts->messageBox(g_app.mainWindow, text, title, type);
}

int ChooseFileName(int forSaving, const char* filter, const char* defaultExtension, char* path, size_t pathSize)
{
    if (path == nullptr || pathSize < 2)
        return 0;
    path[0] = '\0';
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = g_app.mainWindow;
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = path;
    dialog.nMaxFile = DWORD(pathSize);
    dialog.lpstrTitle = "Select File...";
    dialog.lpstrDefExt = defaultExtension;
    // The dialog must not move the current folder: a relative path in the layout would then
    // name another file.
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_CREATEPROMPT | OFN_NOCHANGEDIR;
    if (!g_prompts->fileDialog(&dialog, forSaving)) {
        path[0] = '\0';
        return 0;
    }
    path[pathSize - 1] = '\0';
    return path[0] != '\0';
}

void OpenUrl(HWND owner, const char* url)
{
    g_prompts->openUrl(owner, url);
}
