// Erasing: one sector, a 256 KB block of four, a range, or the whole chip; and switching
// the emulated chip on and off.
#include <vector>

#include "device/chip_frames.h"

namespace {

bool HasSectorErase(ChipId chip)
{
    const ChipInfo* info = ChipInfoOf(chip);
    return info != nullptr && info->eraseLetter != 0;
}

// One command of four or three bytes answered by one byte. Stale bytes are purged first: a
// leftover "O" would otherwise be taken for this command's answer.
DeviceResult OneByteExchange(DeviceChannel& channel, uint32_t readTimeoutMs, const uint8_t* frame, uint32_t size,
                             uint8_t* reply)
{
    RequestScope request(channel, readTimeoutMs);
    if (request.busy())
        return CW_E_PORT_BUSY;
    if (request.WriteFrame(frame, size) < 0)
        return CW_E_COMM_WRITE_FAILURE;
    if (request.Read(reply, 1) < 1)
        return CW_E_COMM_READ_FAILURE;
    return CW_S_OK;
}

// The whole-chip erase command of chip id 2.
DeviceResult EraseWhole27SF512(DeviceChannel& channel)
{
    DeviceResult result = ChipCommonChecks(channel, false);
    if (result < 0)
        return result;
    const uint8_t frame[3] = {'5', 'E', uint8_t('5' + 'E')};
    uint8_t reply = 0;
    result = OneByteExchange(channel, 6000, frame, sizeof frame, &reply);
    if (result < 0)
        return result;
    return reply == 'F' || reply == '?' ? CW_E_INVALID_RESPONSE : CW_S_OK;
}

// A sector erase the device did not answer at all: every further one would wait out its
// whole time-out too. A sector the device refuses says nothing about the next.
bool DeviceSilent(DeviceResult result)
{
    return result == CW_E_COMM_READ_FAILURE;
}

// Erases `count` sectors from `first`, reporting each; a refused sector does not stop the
// rest, a silent device does.
DeviceResult EraseSectorRun(DeviceChannel& channel, ChipId chip, uint32_t first, uint32_t count,
                            ProgressReporter& progress, const char* textFormat, bool stopOnCancel)
{
    DeviceResult last = CW_S_OK;
    progress.Begin(count);
    for (uint32_t k = 0; k < count; ++k) {
        if (stopOnCancel && channel.cancelRequested.load())
            break;
        progress.Text(textFormat, int(k + 1), int(count));
        DeviceResult result = EraseSector(channel, chip, first + k);
        if (result < 0)
            last = result;
        progress.Step();
        if (DeviceSilent(result))
            break;
    }
    return last;
}

// The whole-chip erase by kind of part; an unknown id erases nothing and succeeds.
DeviceResult EraseWholeChipOf(DeviceChannel& channel, ChipId chip, ProgressReporter& reporter,
                              ProgressCallback progress)
{
    if (chip == 0) {
        // A part without an erase command is erased by writing it blank.
        std::vector<uint8_t> blank(ChipSize(chip), 0xFF);
        return WriteChip(channel, blank.data(), chip, 0, uint32_t(blank.size()), progress);
    }
    if (HasSectorErase(chip))
        return EraseSectorRun(channel, chip, 0, ChipSize(chip) / SectorSize(chip), reporter,
                              "Erasing Sector %i of %i...", false);
    if (chip == 2)
        return EraseWhole27SF512(channel);
    return CW_S_OK;
}

} // namespace

DeviceResult EraseSector(DeviceChannel& channel, ChipId chip, uint32_t sector)
{
    DeviceResult result = ChipCommonChecks(channel, false);
    if (result < 0)
        return result;
    if (SectorSize(chip) == 0 || sector > ChipSize(chip) / SectorSize(chip) - 1)
        return CW_E_INVALID_FUNC_PARAM;
    if (!HasSectorErase(chip)) {
        // Refused under the lock, as a device request.
        RequestScope request(channel, 6000);
        return request.busy() ? CW_E_PORT_BUSY : CW_E_REQUEST_NOT_SUPPORTED;
    }
    uint8_t frame[4] = {uint8_t(ChipInfoOf(chip)->eraseLetter), 'E', uint8_t(sector), 0};
    frame[3] = ByteSum(frame, 3);
    uint8_t reply = 0;
    result = OneByteExchange(channel, 6000, frame, sizeof frame, &reply);
    if (result < 0)
        return result;
    return reply == 'F' || reply == '?' ? CW_E_INVALID_REQUEST_PARAM : CW_S_OK;
}

DeviceResult EraseWholeChip(DeviceChannel& channel, ChipId chip, ProgressCallback progress)
{
    DeviceResult result = ChipCommonChecks(channel, true);
    char text[kChipTextSize];
    ProgressReporter reporter(progress, text, sizeof text);
    if (result >= 0)
        result = EraseWholeChipOf(channel, chip, reporter, progress);
    // Refused or not, the end is reported, so a job's progress bar finishes.
    reporter.End(kProgressEnd);
    return result;
}

DeviceResult EraseBlock(DeviceChannel& channel, ChipId chip, uint32_t block, ProgressCallback progress)
{
    if (chip != 10 && chip != 11 && chip != 12)
        return CW_E_REQUEST_NOT_SUPPORTED;
    char text[kChipTextSize];
    ProgressReporter reporter(progress, text, sizeof text);
    DeviceResult result = EraseSectorRun(channel, chip, 4 * block, 4, reporter, "Erasing sector %i of %i...", false);
    reporter.End(kProgressEnd | kProgressText);
    return result;
}

DeviceResult EraseChip(DeviceChannel& channel, ProgressCallback progress, ChipId chip, uint32_t mode, uint32_t first,
                       uint32_t count)
{
    DeviceResult last = CW_S_OK;
    if (mode == kEraseWholeChip) {
        last = EraseWholeChip(channel, chip, progress);
    } else if (mode == kEraseSectors) {
        char text[kEraseTextSize];
        ProgressReporter reporter(progress, text, sizeof text);
        last = EraseSectorRun(channel, chip, first, count, reporter, "Erasing Sector %i of %i...", true);
        reporter.End(kProgressEnd);
    } else if (mode == kEraseBlocks) {
        for (uint32_t k = 0; k < count; ++k) {
            if (channel.cancelRequested.exchange(0))
                return CW_E_OPERATION_CANCELED;
            DeviceResult result = EraseBlock(channel, chip, first + k, progress);
            if (result < 0)
                last = result;
            if (DeviceSilent(result))
                break;
        }
    }
    if (channel.cancelRequested.exchange(0))
        return CW_E_OPERATION_CANCELED;
    return last;
}

DeviceResult SetChipEnabled(DeviceChannel& channel, bool enabled)
{
    DeviceResult result = ChipCommonChecks(channel, false, kCapsOrrery);
    if (result < 0)
        return result;
    uint8_t frame[4] = {'8', 'M', uint8_t(enabled ? 'Y' : 'N'), 0};
    frame[3] = ByteSum(frame, 3);
    uint8_t reply = 0;
    result = OneByteExchange(channel, kKeepReadTimeout, frame, sizeof frame, &reply);
    if (result < 0)
        return result;
    return reply == 'O' ? CW_S_OK : CW_E_INVALID_RESPONSE;
}
