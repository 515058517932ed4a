#include "jobs/upload_jobs.h"

#include <cstring>
#include <memory>
#include <new>

#include "app/app_state.h"
#include "app/position_paths.h"
#include "device/chip.h"
#include "jobs/erase_jobs.h"
#include "jobs/job_thread.h"
#include "jobs/job_ui_calls.h"
#include "resources/resource.h"
#include "tune/metadata.h"
#include "tune/tune_file.h"

namespace {

// Recognised files go as they are; a whole 256 KB image has no bank order to check, so
// the user decides. The recogniser has already copied it unchanged.
bool AcceptedForUpload(const TuneFileImage& tune)
{
    if (tune.recognised == 1)
        return true;
    return tune.fileSize == kTuneImageSize &&
           UiAskYesNo("Calibration bank order could not be determined. Upload anyway?", "Unknown File Format") == 1;
}

void StampImage(TuneFileImage& tune, const char* path)
{
    TuneMetadata record;
    uint8_t* place = tune.image.bytes + kMetadataOffset;
    memcpy(&record, place, sizeof record);
    StampMetadata(&record, path, tune.fileSize, tune.order);
    memcpy(place, &record, sizeof record);
}

// Erases the position and writes the stamped image; 1 when both succeeded.
int WriteImage(int row, const TuneFileImage& tune)
{
    const int p = row - 1;
    // Flash that was not erased would AND the old bytes with the new ones, and blank
    // blocks are not sent at all: the position would hold neither tune.
    if (ErasePosition(row) < 0)
        return 0;
    UiStatus(1, "Writing data to position %X...", p);
    UiSetSelectorIndex(kSelectorIndexDuringJobs);
    const DeviceResult result = WriteChip(g_app.channel, tune.image.bytes, g_app.chipId,
                                          uint32_t(p) * kTuneImageSize, kTuneImageSize, JobProgressCallback);
    if (result < 0) {
        UiAppendStatus(" FAILED", 0, 0);
        UiDeviceFailed(result, "writing position %X", p);
        return 0;
    }
    UiAppendStatus(" OK", 0, 0);
    TuneMetadata& record = g_app.deviceMetadata[p];
    memcpy(&record, tune.image.bytes + kMetadataOffset, sizeof record);
    char shown[kPathFieldSize];
    ShortenPathForDisplay(record.originalPath, sizeof record.originalPath, shown, sizeof shown);
    UiSetDeviceContent(row, shown);
    return 1;
}

int UploadFile(int row, const char* path)
{
    std::unique_ptr<TuneFileImage> tune(new (std::nothrow) TuneFileImage);
    const TuneFileStatus status = tune ? ReadTuneFileImage(path, tune.get()) : kTuneFileNotRead;
    if (status == kTuneFileNotOpened) {
        UiAppendStatus("Invalid file path.", 1, 0);
        return 0;
    }
    if (status != kTuneFileRead)
        return 0;
    if (!AcceptedForUpload(*tune)) {
        UiAppendStatus("Invalid file size or unknown calibration bank order.", 1, 0);
        return 0;
    }
    StampImage(*tune, path);
    return WriteImage(row, *tune);
}

// The upload of one position from the path the job took for it; "" has nothing to write.
int UploadPath(int row, const char* path)
{
    if (row < 1 || row > kPositionCount)
        return 0;
    if (path[0] == '\0')
        return 1;
    UiStatus(1, "Uploading to position %X...", row - 1);
    const int result = UploadFile(row, path);
    UiAppendStatus(result ? "Upload succeeded." : "Upload failed.", 1, 0);
    return result;
}

} // namespace

int UploadPosition(int row)
{
    char path[kPathFieldSize];
    CopyPositionPath(row - 1, path);
    return UploadPath(row, path);
}

int JobWriteSelection()
{
    const int row = UiCurrentRow();
    char path[kPathFieldSize];
    CopyPositionPath(row - 1, path);
    int result = 0;
    // Write All skips a position without a file; asked for by itself, it is an error.
    if (row >= 1 && row <= kPositionCount && path[0] == '\0')
        UiStatus(1, "No tune file selected for position %X.", row - 1);
    else
        result = UploadPath(row, path);
    PlayJobSound(result ? IDS_SOUND_WRITE_OK : IDS_SOUND_FAILED);
    UiShowDeviceMetadata(row);
    return result;
}

int JobWriteAll()
{
    PositionPathSet paths;
    CopyAllPositionPaths(&paths);
    int result = 1;
    // Every position, whatever the number shown; one failure does not stop the others.
    for (int row = 1; row <= kPositionCount; ++row)
        if (!UploadPath(row, paths.path[row - 1]))
            result = 0;
    PlayJobSound(result ? IDS_SOUND_WRITE_OK : IDS_SOUND_FAILED);
    return result;
}
