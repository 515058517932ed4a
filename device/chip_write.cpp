// Writing a chip in 256-byte commands, each acknowledged with "O".
#include <cstring>

#include "device/chip_frames.h"

namespace {

bool AllErased(const uint8_t* data, uint32_t n)
{
    for (uint32_t i = 0; i < n; ++i)
        if (data[i] != 0xFF)
            return false;
    return true;
}

// Flash parts read 0xFF where they are erased, so blank blocks need not be sent.
bool SkipsBlankBlocks(ChipId chip)
{
    return chip == 2 || chip == 10 || chip == 11 || chip == 12;
}

DeviceResult WriteBlocks(DeviceChannel& channel, const uint8_t* source, ChipId chip, uint32_t start, uint32_t length,
                         ProgressReporter& progress)
{
    RequestScope request(channel, 6000);
    if (request.busy())
        return CW_E_PORT_BUSY;
    const ChipInfo* info = ChipInfoOf(chip);
    if (info == nullptr || info->writeLetter == 0)
        return CW_E_INVALID_FUNC_PARAM;
    uint32_t startTick = TickCount();
    uint8_t frame[7 + 256];
    DeferredStep step(channel, progress);
    for (uint32_t done = 0; done < length;) {
        if (channel.cancelRequested.load()) {
            step.Flush();
            LogPrintf(channel.logTarget, "KVChipwise: WriteChip - Operation Canceled");
            return CW_E_OPERATION_CANCELED;
        }
        uint32_t n = length - done < 256 ? length - done : 256;
        uint32_t address = start + done;
        if (SkipsBlankBlocks(chip) && AllErased(source + done, n)) {
            step.Flush();
        } else {
            uint32_t size = ChipCommandHeader(frame, info->writeLetter, 'W', n, address, info->addressBytes);
            memcpy(frame + size, source + done, n);
            size += n;
            frame[size] = ByteSum(frame, size);
            const DeviceResult sent = request.WriteFrame(frame, size + 1);
            // The previous block's step goes out while this frame travels. A cancel raised
            // there is seen before the next frame: this one is in the device already.
            step.Flush();
            if (sent < 0)
                return CW_E_GENERAL_ERROR;
            uint8_t reply = 0;
            if (request.Read(&reply, 1) < 1)
                return CW_E_GENERAL_ERROR;
            if (reply != 'O') {
                LogPrintf(channel.logTarget, "WriteChip Failed. Invalid Response: '%c' (0x%.2X)", reply, reply);
                return CW_E_INVALID_RESPONSE;
            }
        }
        // Each step carries its own block's text, so it is set only after the previous step.
        progress.SetText("Writing Address %.6X", address);
        step.Done();
        done += n;
    }
    step.Flush();
    LogElapsed(channel, "WriteChip", startTick);
    return CW_S_OK;
}

} // namespace

DeviceResult WriteChip(DeviceChannel& channel, const uint8_t* source, ChipId chip, uint32_t start, uint32_t length,
                       ProgressCallback progress)
{
    DeviceResult result = ChipCommonChecks(channel, true);
    if (result == CW_S_OK && length != 0) {
        if (source == nullptr) {
            result = CW_E_INVALID_FUNC_PARAM;
        } else {
            char text[kChipTextSize];
            ProgressReporter reporter(progress, text, sizeof text);
            reporter.Begin(length / 256);
            result = WriteBlocks(channel, source, chip, start, length, reporter);
            reporter.End(kProgressEnd | kProgressText);
        }
    }
    channel.cancelRequested.store(0);
    return result;
}
