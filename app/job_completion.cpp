#include "app/job_completion.h"

#include "app/app_state.h"
#include "app/command_state.h"
#include "app/grid_rows.h"
#include "app/info_boxes.h"
#include "app/main_title.h"
#include "app/main_window.h"
#include "app/position_selector.h"
#include "controls/grid_control.h"
#include "jobs/job_thread.h"
#include "resources/resource.h"

static void OnQueryCompleted(LPARAM result)
{
    if (result == 1) {
        EnterReadyState();
        uint8_t bank = 0;
        g_app.channel.GetBank(&bank, kBankEmulation, false, 0);
        // By list index: in the 8-position list there is no entry 17, so the selector
        // shows nothing rather than a position the device may not present.
        SetSelectorIndex(MainControl(IDC_POSITION_SELECTOR), kSelectorUnknown);
        FillDeviceContentColumn();
        ShowDeviceMetadata(int(SendMessageA(MainControl(IDC_POSITION_GRID), GCM_GETCURROW, 0, 0)));
    } else {
        EnterNoHardwareState();
    }
    UpdateTitle();
}

void OnJobCompleted(uint32_t kind, LPARAM result)
{
    switch (kind) {
    case kJobQueryDevice:
        OnQueryCompleted(result);
        break;
    case kJobWriteSelection:
    case kJobEraseSelection:
    case kJobWriteAll:
    case kJobVerifySelection:
    case kJobVerifyAll:
    case kJobEraseDevice:
        // The jobs have shown their outcome in the grid and the status box themselves.
        EnterReadyState();
        break;
    }
}
