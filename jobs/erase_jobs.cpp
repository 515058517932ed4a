#include "jobs/erase_jobs.h"

#include <cstring>

#include "app/app_state.h"
#include "device/chip.h"
#include "jobs/job_thread.h"
#include "jobs/job_ui_calls.h"
#include "resources/resource.h"

DeviceResult ErasePosition(int row)
{
    if (row < 1 || row > kPositionCount)
        return CW_E_INVALID_FUNC_PARAM;
    const int p = row - 1;
    UiStatus(1, "Erasing position %.1X...", p);
    UiSetSelectorIndex(kSelectorIndexDuringJobs);
    const DeviceResult result =
        EraseChip(g_app.channel, JobProgressCallback, g_app.chipId, kEraseBlocks, uint32_t(p), 1);
    if (result < 0) {
        UiAppendStatus(" FAILED", 0, 0);
        UiDeviceFailed(result, "erasing position %X", p);
        return result;
    }
    memset(&g_app.deviceMetadata[p], 0, sizeof g_app.deviceMetadata[p]);
    UiSetDeviceContent(row, "");
    UiAppendStatus(" OK", 0, 0);
    return result;
}

int JobEraseSelection()
{
    const int row = UiCurrentRow();
    const int ok = ErasePosition(row) >= 0 ? 1 : 0;
    PlayJobSound(ok ? IDS_SOUND_ERASE_OK : IDS_SOUND_FAILED);
    UiShowDeviceMetadata(row);
    return ok;
}

int JobEraseDevice()
{
    UiAppendStatus("Erasing device...", 1, 0);
    const DeviceResult result = EraseChip(g_app.channel, JobProgressCallback, g_app.chipId, kEraseWholeChip, 0, 0);
    if (result < 0) {
        UiAppendStatus(" FAILED", 0, 0);
        UiDeviceFailed(result, "erasing the device");
        PlayJobSound(IDS_SOUND_FAILED);
        return 0;
    }
    memset(g_app.deviceMetadata, 0, sizeof g_app.deviceMetadata);
    // Only the rows shown have cells: the grid makes rows 9 to 16 afresh, empty, when
    // the extended positions are shown.
    const int shown = g_app.positionCount < kPositionCount ? g_app.positionCount : kPositionCount;
    for (int row = 1; row <= shown; ++row)
        UiSetDeviceContent(row, "");
    UiShowDeviceMetadata(UiCurrentRow());
    UiAppendStatus(" OK", 0, 0);
    PlayJobSound(IDS_SOUND_ERASE_OK);
    return 1;
}
