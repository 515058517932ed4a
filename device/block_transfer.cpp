// Byte ranges of emulation memory and registers: slow frames of up to 256 bytes, each
// acknowledged or checksummed, and bulk frames of up to 4 KB.
#include <cstring>
#include <vector>

#include "device/channel.h"

namespace {

const uint32_t kSlowFrameMax = 256;
const uint32_t kBulkFrameMax = 4096;

bool IsSwiftlet(DeviceCaps caps)
{
    return (caps & kCapsSwiftlet) != 0;
}

// Command, length, address: [A2 | space,] A1, A0. Returns the header length.
uint32_t AddressedHeader(uint8_t* out, uint8_t command, uint32_t length, uint32_t address, bool address24,
                         uint8_t space)
{
    uint32_t n = 0;
    out[n++] = command;
    out[n++] = uint8_t(length); // 256 goes as 0
    if (address24)
        out[n++] = uint8_t(((address >> 16) & 0xFF) | space);
    out[n++] = uint8_t(address >> 8);
    out[n++] = uint8_t(address);
    return n;
}

// At most 256 bytes; under large-bin paging no frame crosses a 64 KB boundary.
uint32_t SlowFrameLength(uint32_t remaining, uint32_t frameAddress, bool paging)
{
    uint32_t length = remaining < kSlowFrameMax ? remaining : kSlowFrameMax;
    uint32_t inPage = frameAddress & 0xFFFF;
    if (paging && inPage + length > 0x10000)
        length = 0x10000 - inPage;
    return length;
}

// The Swiftlet moves 16-bit words: odd addresses and sizes are refused before any frame.
DeviceResult CheckSlowRange(DeviceChannel& channel, const uint8_t* buffer, uint32_t address, uint32_t size)
{
    if (IsSwiftlet(channel.capabilities) && ((address | size) & 1)) {
        LogPrintf(channel.logTarget, "KVChipwise: SwiftLet I/O request address/size alignment error");
        return CW_E_INVALID_FUNC_PARAM;
    }
    if (buffer == nullptr && size != 0)
        return CW_E_INVALID_FUNC_PARAM;
    return CW_S_OK;
}

} // namespace

DeviceResult DeviceChannel::NextSlowFrame(uint32_t frameAddress, uint32_t remaining, bool paging,
                                          const char* request, uint32_t* length)
{
    if (cancelRequested.load()) {
        LogPrintf(logTarget, "KVChipwise: %s - Operation Canceled", request);
        return CW_E_OPERATION_CANCELED;
    }
    *length = SlowFrameLength(remaining, frameAddress, paging);
    // Two-byte addresses reach above 64 KB through the R/W bank, switched only on a change.
    if (HasAddress24(capabilities) || !paging)
        return CW_S_OK;
    uint8_t page = uint8_t(frameAddress >> 16);
    if (page != rwBank && SetBank(page, kBankReadWrite, false, kBankLockHeld) < 0)
        return CW_E_LARGE_BIN_BANK_FAILED;
    return CW_S_OK;
}

DeviceResult DeviceChannel::ReadBlock(uint8_t* buffer, uint32_t address, uint32_t size, uint32_t flags)
{
    DeviceResult result;
    if (!port.IsOpen()) {
        LogPrintf(logTarget, "KVChipwise: ReadBlock requested on uninitialized port");
        result = CW_E_PORT_NOT_INITIALIZED;
    } else {
        result = CW_E_REQUEST_NOT_SUPPORTED;
        if (!(flags & kTransferNoBulk))
            result = BulkRead(buffer, address, size, flags);
        if (result < 0 && result != CW_E_OPERATION_CANCELED)
            result = SlowRead(buffer, address, size, flags);
    }
    cancelRequested.store(0);
    return result;
}

DeviceResult DeviceChannel::SlowRead(uint8_t* buffer, uint32_t address, uint32_t size, uint32_t flags)
{
    LogPrintf(logTarget, "KVChipwise: Slow Reading %i bytes", int(size));
    DeviceResult refused = CheckSlowRange(*this, buffer, address, size);
    if (refused < 0)
        return refused;
    const bool address24 = HasAddress24(capabilities);
    const uint8_t space = (flags & kTransferSpace10) ? 0x10 : 0x20;

    LogPrintf(logTarget, "KVChipwise ReadBlock Request initiated for %i bytes.", int(size));
    RequestScope request(*this, 300);
    if (request.busy())
        return CW_E_PORT_BUSY;
    const bool paging = LargeBinPaging();
    for (uint32_t done = 0; done < size;) {
        uint32_t frameAddress = address + done, length = 0;
        DeviceResult next = NextSlowFrame(frameAddress, size - done, paging, "ReadBlock", &length);
        if (next < 0)
            return next;
        uint8_t frame[6];
        uint32_t n = AddressedHeader(frame, 'R', length, frameAddress, address24, space);
        frame[n] = ByteSum(frame, n);
        DeviceResult result = request.WriteFrame(frame, n + 1);
        if (result < 0)
            return result;
        if (request.Read(buffer + done, length) < length) {
            LogPrintf(logTarget, "KVChipwise: ReadBlock: Read timed-out after %i bytes. Expected %i bytes.",
                      int(done), int(size));
            return CW_E_COMM_READ_TIMEOUT;
        }
        uint8_t checksum = 0;
        if (request.Read(&checksum, 1) < 1)
            return CW_E_COMM_READ_TIMEOUT;
        uint8_t computed = ByteSum(buffer + done, length);
        if (checksum != computed) {
            LogPrintf(logTarget, "KVChipwise Read Error - invalid packet checksum. Expected %.2X, Received %.2X.",
                      computed, checksum);
            return CW_E_EXTERNAL_CS_INVALID;
        }
        done += length;
    }
    return CW_S_OK;
}

DeviceResult DeviceChannel::WriteBlock(const uint8_t* buffer, uint32_t size, uint32_t address, uint32_t flags,
                                       ProgressCallback progress)
{
    if (!port.IsOpen()) {
        cancelRequested.store(0);
        return CW_E_PORT_NOT_INITIALIZED;
    }
    if (!(flags & kTransferNoBulk) && address % 256 == 0 && size % 256 == 0) {
        DeviceResult bulk = BulkWritePair(buffer, size, address, flags, progress);
        if (bulk >= 0)
            return CW_S_OK;
        // A cancelled bulk write is not redone in slow frames: the user asked it to stop.
        if (bulk == CW_E_OPERATION_CANCELED)
            return bulk;
        // Give a device that refused the bulk frame time to settle before slow frames.
        SleepMs(800);
    }
    ProgressReporter reporter(progress, nullptr, 0);
    DeviceResult result = SlowWrite(buffer, size, address, flags, reporter);
    reporter.End(kProgressEnd);
    cancelRequested.store(0);
    return result;
}

DeviceResult DeviceChannel::SlowWrite(const uint8_t* buffer, uint32_t size, uint32_t address, uint32_t flags,
                                      ProgressReporter& progress)
{
    LogPrintf(logTarget, "KVChipwise: Slow writing %i bytes", int(size));
    DeviceResult refused = CheckSlowRange(*this, buffer, address, size);
    if (refused < 0)
        return refused;
    progress.Begin(size / 256);
    RequestScope request(*this, 300);
    if (request.busy())
        return CW_E_PORT_BUSY;

    if (capabilities & kCapsExtendedProtocol)
        flags &= ~kTransferLowerW;
    const bool alternate = (flags & kTransferAltWrite) != 0;
    const uint8_t command = alternate ? 'X' : (flags & kTransferLowerW) ? 'w' : 'W';
    const bool address24 = HasAddress24(capabilities);
    const uint8_t space = (flags & kTransferSpace10) ? 0x10 : (flags & kTransferSpace20) ? 0x20 : 0;
    const bool paging = LargeBinPaging();
    uint8_t frame[6 + kSlowFrameMax];
    for (uint32_t done = 0; done < size;) {
        uint32_t frameAddress = address + done, length = 0;
        DeviceResult next = NextSlowFrame(frameAddress, size - done, paging, "WriteBlock", &length);
        if (next < 0)
            return next;
        uint32_t n = AddressedHeader(frame, command, length, frameAddress, address24, space);
        memcpy(frame + n, buffer + done, length);
        n += length;
        frame[n] = ByteSum(frame, n);
        uint32_t dataSum = 0;
        for (uint32_t i = 0; i < length; ++i)
            dataSum += buffer[done + i];
        dataSum &= 0xFFFF;

        port.Purge();
        DeviceResult result = request.WriteFrame(frame, n + 1);
        if (result < 0)
            return result;
        uint8_t reply[2] = {0, 0};
        uint32_t got = request.Read(reply, alternate ? 2 : 1);
        if (got == 0)
            return CW_E_COMM_READ_TIMEOUT;
        if (!alternate && reply[0] != 'O')
            return CW_E_INVALID_RESPONSE;
        if (alternate && uint32_t(reply[0] | reply[1] << 8) != dataSum && reply[1] != dataSum)
            return CW_E_ALT_WRITE_BAD_CHECKSUM;
        progress.Step();
        done += length;
    }
    return CW_S_OK;
}

DeviceResult DeviceChannel::BulkWritePair(const uint8_t* buffer, uint32_t size, uint32_t address, uint32_t flags,
                                          ProgressCallback progress)
{
    // A 24-bit-address model told no memory space gets the data in both.
    if (HasAddress24(capabilities) && !(flags & (kTransferSpace10 | kTransferSpace20 | kTransferSpaceNamed))) {
        DeviceResult result = BulkWrite(buffer, size, address, flags | kTransferSpace20, progress);
        if (result < 0)
            return result;
        return BulkWrite(buffer, size, address, flags | kTransferSpace10, progress);
    }
    return BulkWrite(buffer, size, address, flags, progress);
}

DeviceResult DeviceChannel::BulkWrite(const uint8_t* buffer, uint32_t size, uint32_t address, uint32_t flags,
                                      ProgressCallback progress)
{
    ProgressReporter reporter(progress, nullptr, 0);
    DeviceResult result;
    if (!(capabilities & kCapsBulk)) {
        result = CW_E_REQUEST_NOT_SUPPORTED;
    } else if (size % 256 != 0 || address % 256 != 0) {
        // Bulk frames carry no low address byte: a misaligned address would land elsewhere.
        LogPrintf(logTarget, "VardenWare: BulkWrite failure. Size/Address must be divisible by 256.");
        result = CW_E_INVALID_FUNC_PARAM;
    } else if (!port.IsOpen()) {
        LogPrintf(logTarget, "VardenWare: BulkWrite failure. Uninitialized Port.");
        result = CW_E_PORT_NOT_INITIALIZED;
    } else if (buffer == nullptr && size != 0) {
        result = CW_E_INVALID_FUNC_PARAM;
    } else {
        result = BulkWriteFrames(buffer, size, address, flags, reporter);
    }
    reporter.End(kProgressEnd);
    cancelRequested.store(0);
    return result;
}

DeviceResult DeviceChannel::BulkWriteFrames(const uint8_t* buffer, uint32_t size, uint32_t address, uint32_t flags,
                                            ProgressReporter& progress)
{
    LogPrintf(logTarget, "KVChipwise: Bulk writing %iKB", int(size / 1024));
    progress.Begin(size / kBulkFrameMax);
    RequestScope request(*this, kKeepReadTimeout, kScopeNoPurge);
    if (request.busy())
        return CW_E_PORT_BUSY;
    if (LargeBinPaging() && SetBank(uint8_t(LargeBinBank(capabilities)), kBankReadWrite, false, kBankLockHeld) < 0)
        return CW_E_LARGE_BIN_BANK_FAILED;
    port.SetReadTimeout(6000);
    port.Purge();

    const bool address24 = HasAddress24(capabilities);
    std::vector<uint8_t> frame(6 + kBulkFrameMax);
    for (uint32_t done = 0; done < size;) {
        if (cancelRequested.load()) {
            LogPrintf(logTarget, "VardenWare: BulkWrite - Operation Canceled");
            return CW_E_OPERATION_CANCELED;
        }
        uint32_t length = size - done < kBulkFrameMax ? size - done : kBulkFrameMax;
        uint32_t frameAddress = address + done;
        uint8_t space = 0;
        if (address24) {
            if (flags & kTransferSpace10)
                space = 0x10;
            else if (flags & kTransferSpace20)
                space = 0x20;
            else
                return CW_E_INVALID_REQUEST_PARAM;
        }
        uint32_t n = 0;
        frame[n++] = 'Z';
        frame[n++] = 'W';
        frame[n++] = uint8_t(length / 256);
        frame[n++] = uint8_t(((frameAddress >> 16) & 0xFF) | space);
        frame[n++] = uint8_t(frameAddress >> 8);
        memcpy(&frame[n], buffer + done, length);
        n += length;
        frame[n] = ByteSum(frame.data(), n);
        DeviceResult result = request.WriteFrame(frame.data(), n + 1);
        if (result < 0)
            return result;
        uint8_t reply = 0;
        if (request.Read(&reply, 1) < 1)
            return CW_E_COMM_READ_TIMEOUT;
        if (reply != 'O')
            return CW_E_INVALID_RESPONSE;
        progress.Step();
        done += length;
    }
    return CW_S_OK;
}

DeviceResult DeviceChannel::BulkRead(uint8_t*, uint32_t address, uint32_t size, uint32_t)
{
    // No bulk read frame exists: aligned ranges are refused too and go by slow frames.
    DeviceResult result = CW_E_REQUEST_NOT_SUPPORTED;
    if ((capabilities & kCapsBulk) && (size % 256 != 0 || address % 256 != 0)) {
        LogPrintf(logTarget, "VardenWare: BulkRead failure. Size/Address must be divisible by 256.");
        result = CW_E_INVALID_FUNC_PARAM;
    }
    cancelRequested.store(0);
    return result;
}
