// Verifying a chip: by reading it back and comparing here, or (chip id 12) by sending the
// data and letting the device compare.
#include <cstring>
#include <vector>

#include "device/chip_frames.h"

namespace {

const uint32_t kT5VerifyLength = 0x42000; // 8 KB of the high area, then a 256 KB window
const uint32_t kWindow = 0x40000;

// Areas of a 256 KB window that these adapters do not compare: they hold data the device
// rewrites itself.
bool SkippedByVerify(ChipId chip, uint32_t address)
{
    if (chip != 7 && chip != 9 && chip != 10)
        return false;
    uint32_t a = address % kWindow;
    if (a <= 0x1FFF || (a >= 0x10000 && a <= 0x11FFF) || (a >= 0x1E000 && a <= 0x21FFF) ||
        (a >= 0x30000 && a <= 0x31FFF))
        return true;
    return chip != 9 && a >= 0x3FF00;
}

DeviceResult ReadForVerify(DeviceChannel& channel, std::vector<uint8_t>& readBack, ChipId chip, uint32_t start,
                           uint32_t length, ProgressCallback progress)
{
    if (chip == 11) {
        DeviceResult result = ReadChip(channel, readBack.data(), chip, start + 0x800000, 0x2000, progress);
        if (result < 0)
            return result;
        return ReadChip(channel, readBack.data() + 0x2000, chip, start, kWindow, progress);
    }
    return ReadChip(channel, readBack.data(), chip, start, length, progress);
}

// Refuses what cannot be compared: a length past the chip, or an id 11 request that is not
// one aligned high-area-plus-window read.
bool Comparable(const uint8_t* local, ChipId chip, uint32_t start, uint32_t length)
{
    return local != nullptr && length <= ChipSize(chip) &&
           !(chip == 11 && (start % kWindow != 0 || length != kT5VerifyLength));
}

DeviceResult CompareWithReadBack(DeviceChannel& channel, const uint8_t* local, ChipId chip, uint32_t start,
                                 uint32_t length, ProgressCallback progress)
{
    std::vector<uint8_t> readBack(chip == 11 ? kT5VerifyLength : ChipSize(chip));
    DeviceResult result = ReadForVerify(channel, readBack, chip, start, length, progress);
    if (result < 0)
        return result;
    for (uint32_t i = 0; i < length; ++i) {
        if (SkippedByVerify(chip, start + i) || local[i] == readBack[i])
            continue;
        LogPrintf(channel.logTarget,
                  "KVChipwise: Chip Verify failed at offset 0x%.6X. Local Buffer: 0x%.2X. Chip: 0x%.2X", i, local[i],
                  readBack[i]);
        return 0;
    }
    return 1;
}

// Sends each 256-byte block for the device to compare with what it holds.
DeviceResult CompareInDevice(DeviceChannel& channel, const uint8_t* local, uint32_t start, uint32_t length,
                             ProgressReporter& reporter)
{
    // The time-out stays as it is. The queues are purged all the same: a stale "O" left by
    // an earlier failed request would otherwise pass a block that differs.
    RequestScope request(channel, kKeepReadTimeout, kScopeNoRestore);
    if (request.busy())
        return CW_E_PORT_BUSY;
    uint8_t frame[263];
    DeferredStep step(channel, reporter);
    for (uint32_t done = 0; done < length; done += 256) {
        if (channel.cancelRequested.load()) {
            step.Flush();
            return CW_E_OPERATION_CANCELED;
        }
        uint32_t address = start + done;
        uint32_t size = ChipCommandHeader(frame, '8', 'V', 256, address, 3);
        memcpy(frame + size, local + done, 256);
        frame[262] = ByteSum(frame, 262);
        const DeviceResult sent = request.WriteFrame(frame, sizeof frame);
        // The previous block's step goes out while the device compares; it carries that
        // block's text, so this block's is set only after it.
        uint8_t reply = 0;
        if (!step.ReportAfterSend()) {
            if (sent >= 0)
                request.Read(&reply, 1);
            return CW_E_OPERATION_CANCELED;
        }
        reporter.SetText("Verifying address %.6X", address);
        if (sent < 0)
            return CW_E_COMM_WRITE_FAILURE;
        if (request.Read(&reply, 1) < 1)
            return CW_E_COMM_READ_FAILURE;
        if (reply != 'O')
            return 0;
        step.Done();
    }
    step.Flush();
    return 1;
}

} // namespace

// Both report their end on every exit, refusals included, so a job's progress bar always
// finishes.
DeviceResult VerifyChip(DeviceChannel& channel, const uint8_t* local, ChipId chip, uint32_t start, uint32_t length,
                        ProgressCallback progress)
{
    DeviceResult result = ChipCommonChecks(channel, true);
    if (result >= 0 && !Comparable(local, chip, start, length))
        result = CW_E_INVALID_FUNC_PARAM;
    if (result >= 0 && chip == kChipT6ViaOrrery)
        return DeviceVerifyBlocks(channel, local, start, length, progress);
    ProgressReporter reporter(progress, nullptr, 0);
    if (result >= 0)
        result = CompareWithReadBack(channel, local, chip, start, length, progress);
    reporter.End(kProgressEnd | kProgressText);
    return result;
}

DeviceResult DeviceVerifyBlocks(DeviceChannel& channel, const uint8_t* local, uint32_t start, uint32_t length,
                                ProgressCallback progress)
{
    DeviceResult result = ChipCommonChecks(channel, true);
    if (result >= 0 && (local == nullptr || length % 256 != 0))
        result = CW_E_INVALID_FUNC_PARAM;
    char text[kVerifyTextSize];
    ProgressReporter reporter(progress, text, sizeof text);
    if (result >= 0) {
        reporter.Begin(length / 256);
        result = CompareInDevice(channel, local, start, length, reporter);
    }
    reporter.info().current = 0;
    reporter.End(kProgressEnd | kProgressText);
    return result;
}
