#include "jobs/query_job.h"

#include <cstring>

#include "app/app_state.h"
#include "device/chip.h"
#include "device/reply_time.h"
#include "jobs/job_thread.h"
#include "jobs/job_ui_calls.h"
#include "resources/resource.h"

namespace {

const char kMetadataFailed[] = "Failed to get tune metadata from device.";

} // namespace

int ReadDeviceMetadata(int position, TuneMetadata* record)
{
    if (record == nullptr || position < 0 || position >= kPositionCount)
        return 0;
    const uint32_t address = uint32_t(position) * kTuneImageSize + kMetadataOffset;
    DeviceResult result = ReadChip(g_app.channel, reinterpret_cast<uint8_t*>(record), g_app.chipId, address,
                                   sizeof(TuneMetadata), JobProgressCallback);
    return result >= 0 ? 1 : 0;
}

int ReadAllDeviceMetadata()
{
    if (!g_app.channel.IsPortOpen())
        return 0;
    memset(g_app.deviceMetadata, 0, sizeof g_app.deviceMetadata);
    for (int p = 0; p < kPositionCount; ++p) {
        TuneMetadata& record = g_app.deviceMetadata[p];
        if (!ReadDeviceMetadata(p, &record)) {
            // A refused frame may already stand in the record: it was not read.
            memset(&record, 0, sizeof record);
            return 0;
        }
        // Erased positions read 0xFF: only a path that starts like one is kept.
        ClearPathWithoutLetter(&record);
    }
    return 1;
}

int JobQueryDevice()
{
    UiAppendStatus("Searching for hardware...", 0, 1);
    uint8_t version[3] = {};
    const DeviceCaps caps =
        g_app.channel.FindHardware(version, 0, g_app.deviceDescription, sizeof g_app.deviceDescription);
    if (!(caps & kCapsOrrery)) {
        memset(g_app.deviceMetadata, 0, sizeof g_app.deviceMetadata);
        g_app.deviceDescription[0] = '\0';
        UiAppendStatus("Hardware not found.", 1, 0);
        return 0;
    }
    LogReplyTime(g_app.channel);

    UiAppendStatus("Getting device tune metadata...", 1, 0);
    const int metadataRead = ReadAllDeviceMetadata();
    if (!metadataRead)
        UiAppendStatus(kMetadataFailed, 1, 0);
    UiAppendStatus("Hardware ready.", 0, 1);
    UiAppendStatus(g_app.deviceDescription, 1, 0);
    // The clear above removed the failure line; the user must still see it.
    if (!metadataRead)
        UiAppendStatus(kMetadataFailed, 1, 0);
    PlayJobSound(IDS_SOUND_HARDWARE_FOUND);
    return 1;
}
