// Reading a chip: 256-byte blocks answered with their checksum, or the EEC-IV frame stream.
#include <cstring>

#include "device/chip_frames.h"

namespace {

const uint32_t kEecIvFrames = 224;
const uint32_t kEecIvFrameSize = 258; // sequence byte, 256 data bytes, checksum

DeviceResult ReadCanceled(DeviceChannel& channel)
{
    LogPrintf(channel.logTarget, "KVChipwise: ReadChip - Operation Canceled");
    return CW_E_OPERATION_CANCELED;
}

DeviceResult ReadBlocks(DeviceChannel& channel, uint8_t* destination, const ChipInfo& chip, uint32_t start,
                        uint32_t length, ProgressReporter& progress)
{
    RequestScope request(channel, 6000);
    if (request.busy())
        return CW_E_PORT_BUSY;
    uint32_t startTick = TickCount();
    DeferredStep step(channel, progress);
    for (uint32_t done = 0; done < length;) {
        if (channel.cancelRequested.load()) {
            step.Flush();
            return ReadCanceled(channel);
        }
        uint32_t address = start + done;
        uint32_t n = length - done < 256 ? length - done : 256;
        uint8_t frame[7];
        uint32_t size = ChipCommandHeader(frame, chip.readLetters[0], chip.readLetters[1], n, address,
                                          chip.addressBytes);
        frame[size] = ByteSum(frame, size);
        DeviceResult result = request.WriteFrame(frame, size + 1);
        // The previous block's step and this block's text go out while the device answers.
        if (!step.ReportAfterSend()) {
            uint8_t dropped[257];
            if (result >= 0)
                request.Read(dropped, n + 1);
            return ReadCanceled(channel);
        }
        progress.Text("Reading Address %.6X", address);
        if (result < 0)
            return result;
        uint32_t got = request.Read(destination + done, n);
        if (got < n) {
            LogPrintf(channel.logTarget, "KVChipwise: ReadChip: Read timed-out after %i bytes. Expected %i bytes.",
                      int(done + got), int(length));
            return CW_E_COMM_READ_TIMEOUT;
        }
        uint8_t checksum = 0;
        uint8_t computed = ByteSum(destination + done, n);
        if (request.Read(&checksum, 1) < 1 || checksum != computed) {
            LogPrintf(channel.logTarget,
                      "KVChipwise: ReadChip: Invalid external data checksum\r\n\tBlock Addr: %i\r\n\tCS of recvd data: "
                      "%.2X\r\n\tCS from device: %.2x",
                      int(address), computed, checksum);
            return CW_E_EXTERNAL_CS_INVALID;
        }
        step.Done();
        done += n;
    }
    step.Flush();
    LogElapsed(channel, "ReadChip", startTick);
    return CW_S_OK;
}

// One frame of the EEC-IV stream; short reads give `shortResult`.
DeviceResult ReadEecIvFrame(DeviceChannel& channel, uint8_t sequence, uint8_t* data, DeviceResult shortResult)
{
    uint8_t frame[kEecIvFrameSize];
    if (channel.port.Read(frame, sizeof frame) < sizeof frame)
        return shortResult;
    if (frame[0] != sequence || ByteSum(frame, 257) != frame[257])
        return CW_E_INVALID_RESPONSE;
    memcpy(data, frame + 1, 256);
    return CW_S_OK;
}

} // namespace

DeviceResult ReadEecIvImage(DeviceChannel& channel, uint8_t* destination, ProgressCallback progress)
{
    ProgressReporter reporter(progress, nullptr, 0);
    const uint8_t open[3] = {'J', '4', uint8_t('J' + '4')};
    if (channel.port.Write(open, sizeof open) < sizeof open)
        return CW_E_COMM_WRITE_FAILURE;
    DeviceResult result = ReadEecIvFrame(channel, 0, destination, CW_E_COMM_READ_TIMEOUT);
    for (uint32_t sequence = 1; result >= 0 && sequence < kEecIvFrames; ++sequence) {
        reporter.OpenStep();
        const uint8_t next = 'C';
        channel.port.Write(&next, 1);
        result = ReadEecIvFrame(channel, uint8_t(sequence), destination + 256 * sequence, CW_E_COMM_READ_FAILURE);
    }
    // Whatever happened, end the stream; the device's answer carries nothing.
    const uint8_t quit = 'Q';
    uint8_t ignored = 0;
    channel.port.Write(&quit, 1);
    channel.port.Read(&ignored, 1);
    return result;
}

DeviceResult ReadChip(DeviceChannel& channel, uint8_t* destination, ChipId chip, uint32_t start, uint32_t length,
                      ProgressCallback progress)
{
    char text[kChipTextSize];
    ProgressReporter reporter(progress, text, sizeof text);
    DeviceResult result = ChipCommonChecks(channel, true);
    if (result == CW_S_OK && (destination == nullptr || length == 0))
        result = CW_E_INVALID_FUNC_PARAM;
    if (result == CW_S_OK) {
        reporter.Begin(length / 256);
        memset(destination, 0, length);
        const ChipInfo* info = ChipInfoOf(chip);
        if (chip == 8) {
            result = length == ChipSize(8) ? ReadEecIvImage(channel, destination, progress) : CW_E_INVALID_FUNC_PARAM;
        } else if (info == nullptr) {
            return CW_E_INVALID_FUNC_PARAM; // refused before any exit work, as no request ran
        } else {
            result = ReadBlocks(channel, destination, *info, start + info->readOffset, length, reporter);
        }
    }
    reporter.End(kProgressEnd | kProgressText);
    channel.cancelRequested.store(0);
    return result;
}
