// The one object through which the program talks to the device: it owns the serial port,
// the request lock that admits one request at a time, the cancel flag, and what discovery
// learnt about the attached device.
#pragma once
#include <atomic>
#include <cstdint>

#include "device/log.h"
#include "device/models.h"
#include "device/platform.h"
#include "device/progress.h"
#include "device/result.h"
#include "device/serial_port.h"

// The 8-bit additive checksum that ends command frames and data replies.
uint8_t ByteSum(const void* bytes, uint32_t count);

enum : uint32_t {
    kDefaultReadTimeoutMs = 300,
    kRequestLockWaitMs = 1200,
    kInitialUsbBaudIndex = 7,
};

// Bank kinds, and the flag of bank requests made by a caller that holds the lock.
enum : uint32_t { kBankEmulation = 0, kBankReadWrite = 1 };
enum : uint32_t { kBankLockHeld = 1 };

// TransferFlags of the block and bulk transfers.
enum : uint32_t {
    kTransferAltWrite = 0x01,   // "X" frames, answered by the 16-bit sum of the data
    kTransferLowerW = 0x02,     // "w" in place of "W" (not with the extended protocol)
    kTransferNoBulk = 0x04,     // slow frames only
    kTransferSpace10 = 0x10,    // memory space 0x10 of a 24-bit-address model
    kTransferSpace20 = 0x20,    // memory space 0x20
    kTransferSpaceNamed = 0x40, // a space was named, for BulkWritePair
};

// The position the bulk and slow transfers of a Palomar reach its registers at.
enum : uint32_t {
    kPalomarModeRegister = 0x200000,
    kPalomarBankRegister = 0x200001,
    kPalomarUnlockRegister = 0x200002,
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
    DeviceCaps IdentifyDevice(const uint8_t version[3]);
    // Scans the COM ports for the device; options bit 0: from COM0, and forget nothing.
    DeviceCaps FindHardware(uint8_t* versionOut, uint32_t options, char* nameOut, uint32_t nameSize);

    // Banks and modes.
    DeviceResult GetBank(uint8_t* bankOut, uint32_t kind, bool staticBank, uint32_t flags);
    DeviceResult SetBank(uint8_t bank, uint32_t kind, bool persistent, uint32_t flags);
    DeviceResult GetPalomarMode();
    // Transfers page 64 KB at a time while the device shows the model's large-bin bank.
    bool LargeBinPaging() const;

    // Block and bulk transfers.
    DeviceResult ReadBlock(uint8_t* buffer, uint32_t address, uint32_t size, uint32_t flags);
    DeviceResult WriteBlock(const uint8_t* buffer, uint32_t size, uint32_t address, uint32_t flags,
                            ProgressCallback progress);
    DeviceResult BulkWrite(const uint8_t* buffer, uint32_t size, uint32_t address, uint32_t flags,
                           ProgressCallback progress);
    DeviceResult BulkWritePair(const uint8_t* buffer, uint32_t size, uint32_t address, uint32_t flags,
                               ProgressCallback progress);
    DeviceResult BulkRead(uint8_t* buffer, uint32_t address, uint32_t size, uint32_t flags);

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
    // Where discovery looks: entry n stands for port n. Null: the platform's own names
    // (DefaultPortPath).
    const char* const* portCandidates;
    uint32_t portCandidateCount;

private:
    DeviceResult BankCommandGet(uint8_t* bankOut, uint32_t kind, bool staticBank, uint32_t flags);
    DeviceResult BankCommandSet(uint8_t bank, uint32_t kind, bool persistent, uint32_t flags);
    DeviceResult PalomarSetBank(uint8_t bank);
    DeviceResult SlowRead(uint8_t* buffer, uint32_t address, uint32_t size, uint32_t flags);
    DeviceResult SlowWrite(const uint8_t* buffer, uint32_t size, uint32_t address, uint32_t flags,
                           ProgressReporter& progress);
    DeviceResult BulkWriteFrames(const uint8_t* buffer, uint32_t size, uint32_t address, uint32_t flags,
                                 ProgressReporter& progress);
    // Before each slow frame: a cancel check, the frame's length, the R/W page it needs.
    DeviceResult NextSlowFrame(uint32_t frameAddress, uint32_t remaining, bool paging, const char* request,
                               uint32_t* length);
    bool TryFirmwareVersion();
};

// The device path of port number n: the channel's n-th candidate when it has a list, else
// DefaultPortPath. False when there is no such port.
bool PortPathForIndex(const DeviceChannel& channel, uint32_t index, char* out, uint32_t size);
// "\\.\COMn" on Windows; /dev/ttyUSB0-7, then /dev/ttyACM0-7 on POSIX.
bool DefaultPortPath(uint32_t index, char* out, uint32_t size);

// How a request holds the channel (RequestScope flags).
enum : unsigned {
    kScopeLockHeld = 1,  // the caller holds the lock already: neither take nor release it
    kScopeNoPurge = 2,   // keep what is in the queues
    kScopeNoRestore = 4, // leave the read time-out as it is on exit
};
// Passed as the time-out: keep the one the port has.
enum : uint32_t { kKeepReadTimeout = 0 };

// One request's hold on the channel, from taking the lock to releasing it: sets the
// request's read time-out and purges on entry; restores the default time-out and releases
// the lock on exit, whatever the result. A request that could not take the lock touches
// nothing, so the holder's time-out stays as the holder set it.
class RequestScope {
public:
    RequestScope(DeviceChannel& channel, uint32_t readTimeoutMs, unsigned flags = 0);
    ~RequestScope();
    RequestScope(const RequestScope&) = delete;
    RequestScope& operator=(const RequestScope&) = delete;

    bool busy() const { return !held_; }
    // One write of the whole frame; CW_E_COMM_WRITE_FAILURE when fewer bytes went out.
    DeviceResult WriteFrame(const void* frame, uint32_t count);
    uint32_t Read(void* reply, uint32_t count);

private:
    DeviceChannel& channel_;
    unsigned flags_;
    bool held_;
};
