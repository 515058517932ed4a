// What a job sends the main window: each member is the one message the window's controls
// take for it. Called on the job's thread; SendMessageA hands every one to the window's.
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>

#include "app/app_state.h"
#include "app/info_boxes.h"
#include "app/main_window.h"
#include "app/position_selector.h"
#include "app/prompts.h"
#include "app/window_seams.h"
#include "controls/grid_control.h"
#include "device/log_window.h"
#include "jobs/job_thread.h"
#include "resources/resource.h"

static void AppendStatus(void*, const char* text, int lineBreaks, int clearFirst)
{
    AppendStatusText(MainControl(IDC_STATUS_BOX), text, lineBreaks, clearFirst);
}

static void SetDeviceContent(void*, int row, const char* text)
{
    GridSetCellText(text, kPathFieldSize, MainControl(IDC_POSITION_GRID), row, 2);
}

static int CurrentRow(void*)
{
    return int(SendMessageA(MainControl(IDC_POSITION_GRID), GCM_GETCURROW, 0, 0));
}

static void SetSelectorIndex(void*, int index)
{
    SetSelectorIndex(MainControl(IDC_POSITION_SELECTOR), index);
}

static int AskYesNo(void*, const char* text, const char* title)
{
    return AskUser(text, title, MB_YESNO | MB_ICONQUESTION) == IDYES ? 1 : 0;
}

static void PlayResourceSound(void*, int resourceId)
{
    PlaySoundA(MAKEINTRESOURCEA(resourceId), g_app.instance, SND_RESOURCE | SND_ASYNC | SND_NODEFAULT);
}

static void ProgressBar(void*, ProgressBarOp op, uint32_t value)
{
    HWND bar = static_cast<HWND>(g_app.progressWindow);
    switch (op) {
    case kBarSetRange:
        SendMessageA(bar, PBM_SETRANGE32, 0, LPARAM(value));
        break;
    case kBarStep:
        SendMessageA(bar, PBM_STEPIT, 0, 0);
        break;
    case kBarSetPos:
        SendMessageA(bar, PBM_SETPOS, WPARAM(value), 0);
        break;
    }
}

static void RefreshDeviceInfo(void*, int row)
{
    ShowDeviceMetadata(row);
}

static void JobDone(void*, const JobRequest* request, int result)
{
    SendMessageA(static_cast<HWND>(request->notifyWindow), request->notifyMessage,
                 reinterpret_cast<WPARAM>(request), LPARAM(result));
}

const JobUi kWindowJobUi = {
    nullptr,
    AppendStatus,
    SetDeviceContent,
    CurrentRow,
    SetSelectorIndex,
    AskYesNo,
    PlayResourceSound,
    ProgressBar,
    RefreshDeviceInfo,
    JobDone,
    nullptr,  // a failed device step: the job's status lines say all the window shows
};
