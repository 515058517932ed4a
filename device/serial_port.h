// A synchronous wrapper of one communications port. It forces the line settings the
// device needs, keeps the time-out block so single time-outs can change between
// requests, moves raw byte blocks and hex-dumps every one into the diagnostic log.
// It knows nothing of the protocol; the device channel owns exactly one.
#pragma once
#include <cstdint>

#include "device/log.h"
#include "device/serial_backend.h"

class SerialPort {
public:
    SerialPort();
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Null path: reopen the stored one.
    bool Open(const char* path);
    void Close();
    bool IsOpen() const { return handle_ != kInvalidPort; }
    uint32_t Write(const void* data, uint32_t count);
    uint32_t Read(void* data, uint32_t count);
    bool SetBaudRate(uint32_t baud);
    bool SetReadTimeout(uint32_t milliseconds);
    bool SetTimeouts(uint32_t readInterval, uint32_t readTotalMultiplier, uint32_t readTotalConstant,
                     uint32_t writeTotalMultiplier, uint32_t writeTotalConstant);
    void Purge();
    bool SetupBuffers();
    void Reset();

    LogSink* logTarget() const { return logTarget_; }
    void setLogTarget(LogSink* sink) { logTarget_ = sink; }
    const char* portName() const { return portName_; }
    const LineSettings& lineSettings() const { return lineSettings_; }
    const PortTimeouts& timeouts() const { return timeouts_; }

    // What the port itself reports now, for callers that check rather than trust the cache.
    bool QueryLineSettings(LineSettings* out) const;
    bool QueryTimeouts(PortTimeouts* out) const;

private:
    void CloseHandleAndLog();
    bool RefreshTimeouts();

    PortHandle handle_;
    LogSink* logTarget_;
    char portName_[260];
    LineSettings lineSettings_;
    PortTimeouts timeouts_;
};
