#include "jobs/verify_jobs.h"

#include <memory>
#include <new>

#include "app/app_state.h"
#include "app/position_paths.h"
#include "device/chip.h"
#include "jobs/job_thread.h"
#include "jobs/job_ui_calls.h"
#include "resources/resource.h"
#include "tune/tune_file.h"

namespace {

// The calibration bank held in each quarter of the image.
const int kBankLabels[4] = {0, 1, 8, 9};

// Only the bank bodies are compared: the first 8 KB of each quarter, which holds the
// record in quarter 3, may differ.
int CompareBanks(int position, const TuneImage& image)
{
    for (int b = 0; b < 4; ++b) {
        UiStatus(1, "    Verifying bank %X...", kBankLabels[b]);
        UiSetSelectorIndex(kSelectorIndexDuringJobs);
        const uint32_t offset = uint32_t(b) * kQuarterSize + kBankBodyOffset;
        const DeviceResult result = VerifyChip(g_app.channel, image.bytes + offset, g_app.chipId,
                                               uint32_t(position) * kTuneImageSize + offset, kBankBodySize,
                                               JobProgressCallback);
        if (result < 0)
            UiDeviceFailed(result, "verifying bank %X of position %X", kBankLabels[b], position);
        if (result <= 0) {
            UiAppendStatus(" FAIL", 0, 0);
            return 0;
        }
        UiAppendStatus(" OK", 0, 0);
    }
    return 1;
}

int VerifyFile(int position, const char* path)
{
    std::unique_ptr<TuneFileImage> tune(new (std::nothrow) TuneFileImage);
    // A whole 256 KB image is compared as it is, without the upload's question.
    if (!tune || ReadTuneFileImage(path, tune.get()) != kTuneFileRead || !HoldsTuneImage(*tune))
        return 0;
    return CompareBanks(position, tune->image);
}

// The verify of one position against the path the job took for it.
int VerifyPath(int row, const char* path)
{
    if (row < 1 || row > kPositionCount)
        return 0;
    const int p = row - 1;
    UiStatus(1, "Verifying position %X...", p);
    const int result = VerifyFile(p, path);
    UiStatus(1, result ? "Position %X verify succeeded." : "Position %X verify failed..", p);
    return result;
}

} // namespace

int VerifyPosition(int row)
{
    char path[kPathFieldSize];
    CopyPositionPath(row - 1, path);
    return VerifyPath(row, path);
}

int JobVerifySelection()
{
    const int result = VerifyPosition(UiCurrentRow());
    PlayJobSound(result ? IDS_SOUND_VERIFY_OK : IDS_SOUND_VERIFY_FAILED);
    return result;
}

int JobVerifyAll()
{
    PositionPathSet paths;
    CopyAllPositionPaths(&paths);
    int result = 1;
    // Every position that has a file, whatever the number shown; a difference does not
    // stop the others.
    for (int row = 1; row <= kPositionCount; ++row)
        if (paths.path[row - 1][0] != '\0' && !VerifyPath(row, paths.path[row - 1]))
            result = 0;
    PlayJobSound(result ? IDS_SOUND_VERIFY_OK : IDS_SOUND_VERIFY_FAILED);
    return result;
}
