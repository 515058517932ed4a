// The one object through which the program talks to the device: it owns the serial port,
// the request lock that admits one request at a time, the cancel flag, and what discovery
// learnt about the attached device.
#pragma once
#include <atomic>
#include <cstdint>

#include "device/log.h"
#include "device/models.h"
#include "device/platform.h"
#include "device/result.h"
#include "device/serial_port.h"

// The 8-bit additive checksum that ends command frames and data replies.
uint8_t ByteSum(const void* bytes, uint32_t count);

enum : uint32_t {
    kDefaultReadTimeoutMs = 300,
    kRequestLockWaitMs = 1200,
    kInitialUsbBaudIndex = 7,
};

class DeviceChannel {
public:
    DeviceChannel();
    ~DeviceChannel();
    DeviceChannel(const DeviceChannel&) = delete;
    DeviceChannel& operator=(const DeviceChannel&) = delete;

    bool IsPortOpen() const { return port.IsOpen(); }
    DeviceResult OpenPort(const char* path);
    void ClosePort();
    // May be called from any thread; long transfers test it before each frame.
    void Cancel() { cancelRequested.store(1); }

    // False when another holder kept the lock for the whole wait (CW_E_PORT_BUSY).
    bool AcquireRequestLock();
    void ReleaseRequestLock();

    // Attaches (or with null detaches) the diagnostic log for the channel and its port.
    void SetLogTarget(LogSink* sink);

    // Identification requests.
    DeviceResult GetFirmwareVersion(uint8_t* versionOut);
    DeviceResult SetUSBBaud(uint32_t index);
    DeviceResult ReadEEPROM(uint16_t address, uint8_t count, uint8_t* dataOut);

    LogSink* logTarget;
    std::atomic<uint32_t> cancelRequested;
    uint32_t usbBaudIndex;
    DeviceCaps capabilities;
    uint8_t firmwareVersion[3];
    uint8_t emulationBank;
    uint8_t rwBank;
    uint32_t palomarMode;
    SerialPort port;
    AutoResetEvent requestLock;
    uint32_t lastPortIndex;
    uint32_t lastUsbBaudIndex;
};

// One request's hold on the channel, from taking the lock to releasing it: sets the
// request's read time-out and purges on entry; restores the default time-out and releases
// the lock on exit, whatever the result. A request that could not take the lock touches
// nothing, so the holder's time-out stays as the holder set it.
class RequestScope {
public:
    RequestScope(DeviceChannel& channel, uint32_t readTimeoutMs);
    ~RequestScope();
    RequestScope(const RequestScope&) = delete;
    RequestScope& operator=(const RequestScope&) = delete;

    bool busy() const { return !held_; }
    // One write of the whole frame; CW_E_COMM_WRITE_FAILURE when fewer bytes went out.
    DeviceResult WriteFrame(const void* frame, uint32_t count);
    uint32_t Read(void* reply, uint32_t count);

private:
    DeviceChannel& channel_;
    bool held_;
};
