#include "device/channel.h"

uint8_t ByteSum(const void* bytes, uint32_t count)
{
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    uint8_t sum = 0;
    for (uint32_t i = 0; i < count; ++i)
        sum = uint8_t(sum + p[i]);
    return sum;
}

DeviceChannel::DeviceChannel()
    : logTarget(nullptr),
      cancelRequested(0),
      usbBaudIndex(kInitialUsbBaudIndex),
      capabilities(0),
      firmwareVersion{0, 0, 0},
      emulationBank(0),
      rwBank(0),
      palomarMode(0),
      requestLock(true),
      lastPortIndex(0),
      lastUsbBaudIndex(kInitialUsbBaudIndex),
      portCandidates(nullptr),
      portCandidateCount(0)
{
}

DeviceChannel::~DeviceChannel()
{
    // The device's USB baud is deliberately not restored here; ClosePort does that.
    if (port.IsOpen())
        port.Close();
}

void DeviceChannel::SetLogTarget(LogSink* sink)
{
    logTarget = sink;
    port.setLogTarget(sink);
}

DeviceResult DeviceChannel::OpenPort(const char* path)
{
    if (port.IsOpen())
        port.Close();
    if (!port.Open(path) || !port.SetupBuffers() || !port.SetTimeouts(200, 1, kDefaultReadTimeoutMs, 0, 300)) {
        // Logs "Port Closed" whether or not the port got as far as opening.
        port.Close();
        return CW_E_PORT_NOT_INITIALIZED;
    }
    SleepMs(100);
    return CW_S_OK;
}

void DeviceChannel::ClosePort()
{
    if (usbBaudIndex != kInitialUsbBaudIndex)
        SetUSBBaud(kInitialUsbBaudIndex);
    if (port.IsOpen())
        port.Close();
    capabilities = 0;
    emulationBank = 0;
    rwBank = 0;
    LogPrintf(logTarget, "KVChipwise: COM Port closed.");
}

bool DeviceChannel::AcquireRequestLock()
{
    // A failed wait lets the request go on as holder; only a time-out means busy.
    return requestLock.Wait(kRequestLockWaitMs) != AutoResetEvent::kTimedOut;
}

void DeviceChannel::ReleaseRequestLock()
{
    requestLock.Set();
}

RequestScope::RequestScope(DeviceChannel& channel, uint32_t readTimeoutMs, unsigned flags)
    : channel_(channel), flags_(flags), held_((flags & kScopeLockHeld) || channel.AcquireRequestLock())
{
    if (!held_)
        return;
    if (readTimeoutMs != kKeepReadTimeout)
        channel_.port.SetReadTimeout(readTimeoutMs);
    if (!(flags & kScopeNoPurge))
        channel_.port.Purge();
}

RequestScope::~RequestScope()
{
    if (!held_)
        return;
    if (!(flags_ & kScopeNoRestore) && channel_.port.IsOpen())
        channel_.port.SetReadTimeout(kDefaultReadTimeoutMs);
    if (!(flags_ & kScopeLockHeld))
        channel_.ReleaseRequestLock();
}

DeviceResult RequestScope::WriteFrame(const void* frame, uint32_t count)
{
    return channel_.port.Write(frame, count) < count ? CW_E_COMM_WRITE_FAILURE : CW_S_OK;
}

uint32_t RequestScope::Read(void* reply, uint32_t count)
{
    return channel_.port.Read(reply, count);
}
