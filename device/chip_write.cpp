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

// The steps of blocks done but not yet reported, oldest first. A skipped block has no frame
// of its own to be reported behind, so its step waits for a later block's frame; two steps
// go out while each frame travels, which pays off a run of skipped blocks one a frame. Each
// step carries its own block's text. Nothing else is reported while steps are owed, so the
// reports stay those of one block after another.
class OwedSteps {
public:
    OwedSteps(ProgressReporter& progress, uint32_t start) : progress_(progress), next_(start) {}
    void Add() { ++count_; }
    void Report(uint32_t most)
    {
        for (; most != 0 && count_ != 0; --most, --count_, next_ += 256) {
            progress_.SetText("Writing Address %.6X", next_);
            progress_.Step();
        }
    }
    void ReportAll() { Report(count_); }

private:
    ProgressReporter& progress_;
    uint32_t next_;  // the address of the oldest block owed
    uint32_t count_ = 0;
};

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
    OwedSteps owed(progress, start);
    for (uint32_t done = 0; done < length; done += 256) {
        if (channel.cancelRequested.load()) {
            owed.ReportAll();
            LogPrintf(channel.logTarget, "KVChipwise: WriteChip - Operation Canceled");
            return CW_E_OPERATION_CANCELED;
        }
        uint32_t n = length - done < 256 ? length - done : 256;
        if (SkipsBlankBlocks(chip) && AllErased(source + done, n)) {
            owed.Add();
            continue;
        }
        uint32_t size = ChipCommandHeader(frame, info->writeLetter, 'W', n, start + done, info->addressBytes);
        memcpy(frame + size, source + done, n);
        size += n;
        frame[size] = ByteSum(frame, size);
        const DeviceResult sent = request.WriteFrame(frame, size + 1);
        // Reported while this frame travels. A cancel raised there is seen before the next
        // frame: this one is in the device already.
        owed.Report(2);
        uint8_t reply = 0;
        const DeviceResult result = sent < 0 || request.Read(&reply, 1) < 1 ? CW_E_GENERAL_ERROR
                                    : reply != 'O'                      ? CW_E_INVALID_RESPONSE
                                                                        : CW_S_OK;
        if (result == CW_E_INVALID_RESPONSE)
            LogPrintf(channel.logTarget, "WriteChip Failed. Invalid Response: '%c' (0x%.2X)", reply, reply);
        if (result < 0) {
            owed.ReportAll();
            return result;
        }
        owed.Add();
    }
    owed.ReportAll();
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
