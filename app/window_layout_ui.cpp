// The layout commands' questions, file dialogs and grid, as the main window shows them.
#include <windows.h>

#include <cstdio>

#include "app/app_state.h"
#include "app/command_state.h"
#include "app/info_boxes.h"
#include "app/main_title.h"
#include "app/main_window.h"
#include "app/prompts.h"
#include "app/window_seams.h"
#include "controls/grid_control.h"
#include "resources/resource.h"

// A box that could not be shown counts as Cancel, so nothing is lost.
static LayoutAnswer AskSave(void*)
{
    switch (AskUser(kLayoutModifiedText, kLayoutModifiedTitle, MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDYES:
        return kAnswerYes;
    case IDNO:
        return kAnswerNo;
    default:
        return kAnswerCancel;
    }
}

static int ChooseLayoutFile(void*, int forSaving, char* path, size_t pathSize)
{
    return ChooseFileName(forSaving, kLayoutDialogFilter, kLayoutDefaultExtension, path, pathSize);
}

static void ReportLayoutTooNew(void*)
{
    AskUser(kLayoutTooNewText, kLayoutTooNewTitle, MB_OK | MB_ICONSTOP);
}

static void ReportLayoutFile(const char* what, const char* title, const char* path)
{
    char text[128 + kPathFieldSize];
    snprintf(text, sizeof text, "%s\n%s", what, path);
    AskUser(text, title, MB_OK | MB_ICONSTOP);
}

static void ReportLayoutNotSaved(void*, const char* path)
{
    ReportLayoutFile(kLayoutNotSavedText, kLayoutNotSavedTitle, path);
}

static void ReportLayoutNotRead(void*, const char* path)
{
    ReportLayoutFile(kLayoutNotReadText, kLayoutNotReadTitle, path);
}

static int GridRowCount(void*)
{
    return int(SendMessageA(MainControl(IDC_POSITION_GRID), GCM_GETROWCOUNT, 0, 0));
}

static void SetFileCell(void*, int row, const char* text)
{
    GridSetCellText(text, kPathFieldSize, MainControl(IDC_POSITION_GRID), row, 1);
}

static void ViewExtendedPositions(void*)
{
    SendMessageA(g_app.mainWindow, WM_COMMAND, IDM_VIEW_EXTENDED, 0);
}

static void ShowFirstPosition(void*)
{
    SendMessageA(MainControl(IDC_POSITION_GRID), GCM_SETSELECTION, MAKELONG(1, 1), MAKELONG(1, 1));
    ShowFileMetadata(1);
}

static void RefreshTitle(void*)
{
    UpdateTitle();
}

static void ShowSelector(void*, uint32_t show)
{
    ShowPositionSelectorWindows(show);
}

const LayoutUi kWindowLayoutUi = {
    nullptr,
    AskSave,
    ChooseLayoutFile,
    ReportLayoutTooNew,
    GridRowCount,
    SetFileCell,
    ViewExtendedPositions,
    ShowFirstPosition,
    RefreshTitle,
    ShowSelector,
    ReportLayoutNotSaved,
    ReportLayoutNotRead,
};
